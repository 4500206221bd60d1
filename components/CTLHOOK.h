// A hook that sees a widget's events before the widget does. May touch: the hooked widget and its native window.
#pragma once

#include <cstdint>
#include <stdexcept>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QEvent;

namespace kpx {

// Which widget a control hook sits on.
enum THookTarget : std::uint8_t {
    htControl = 0, // the widget named by Control, if any
    htForm = 1,    // the window holding Control, or else the hook's own window
};

// Why HandleChanged runs.
enum THandleChange : std::uint8_t {
    hcWindowGone = 1,
    hcWindowNew = 2,
};

// Raised when a hook must sit on a form but none can be found.
class THookError : public std::runtime_error
{
public:
    explicit THookError(const QString &message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// The window on which x sits: x itself when it is a window, the window of a
// child widget, or else the first window along x's owner chain. Null if none.
QWidget *FindOwnerForm(QObject *x);

// Sees every event of one widget before the widget does, and keeps track of
// the widget's native window being destroyed and created anew while the widget,
// and the hook on it, live on. The owner is the hook's QObject parent.
class TControlHook : public QObject
{
    Q_OBJECT

public:
    // HookedWindow from the creation of a new native window until a later
    // event finds the widget with it.
    static constexpr WId NewWindowMarker = ~WId{0};

    explicit TControlHook(QObject *owner);
    ~TControlHook() override;

    // Assigning either re-hooks, even with the current value. With htForm and
    // nothing to hook they throw THookError and the hook stays off.
    QWidget *Control() const { return FControl; }
    void SetControl(QWidget *control);
    THookTarget Target() const { return FTarget; }
    void SetTarget(THookTarget target);

    QWidget *HookedControl() const { return FHookedControl; }
    // 0 when nothing is hooked or the window is gone, else the native window
    // id or NewWindowMarker.
    WId HookedWindow() const { return FHookedWindow; }

    // Called once all properties are set: hooks again with them in place.
    virtual void Loaded();

protected:
    void SetHook(bool on);
    virtual void HandleChanged(THandleChange reason);
    // One event of the hooked widget; true consumes it. The base lets every
    // event go on to the widget's own handling.
    virtual bool MessageProc(QEvent *event);

    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void Notification(QObject *component);

private:
    QWidget *GetHookControl();

    THookTarget FTarget = htControl;
    QPointer<QWidget> FControl;
    QWidget *FHookedControl = nullptr;
    WId FHookedWindow = 0;
};

} // namespace kpx
