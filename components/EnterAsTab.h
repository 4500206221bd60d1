// Enter moves the focus as Tab does in one window. May touch: that window's key events.
#pragma once

#include <QObject>

class QWidget;

namespace kpx {

// Sees every key of one window before its controls do and turns Enter into
// Tab: the focus moves to the next control, and no control (a multi-line box,
// a dialog's default button) ever acts on Enter itself.
class TEnterAsTab : public QObject
{
    Q_OBJECT

public:
    explicit TEnterAsTab(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *const FWindow;
};

} // namespace kpx
