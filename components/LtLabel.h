// A label that behaves like a hyperlink. May touch: widgets, the desktop's open action.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

class QEnterEvent;
class QEvent;
class QMouseEvent;

namespace kpx {

// What a click on the label hands to the desktop.
enum TJumpType : std::uint8_t {
    jtNone = 0,
    jtCust = 1,
    jtHome = 2,
    jtMail = 3,
    jtFile = 4,
    jtCaption = 5,
};

// A font together with its text colour: one look's lettering.
struct TLabelFont
{
    QFont Font;
    QColor Color;

    bool operator==(const TLabelFont &) const = default;
};

// Hands a target string to the desktop's open action (web page, new mail,
// file). Replaceable so that tests can watch what would be opened.
void OpenTarget(const QString &target);
using TTargetOpener = std::function<void(const QString &target)>;
// Returns the previous opener.
TTargetOpener SetTargetOpener(TTargetOpener opener);

// A label that behaves like a hyperlink: a default look at rest, a light look
// while the pointer is over it and a click look while a button is held down.
// A click opens the target built from JumpTo and JumpType, then emits clicked().
class TLightLabel : public QLabel
{
    Q_OBJECT

public:
    using TLabelEvent = std::function<void(TLightLabel *sender)>;

    explicit TLightLabel(QWidget *parent = nullptr);

    QColor LightColor() const { return FLightColor; }
    void SetLightColor(const QColor &color) { FLightColor = color; }
    const TLabelFont &LightFont() const { return FLightFont; }
    void SetLightFont(const TLabelFont &font) { FLightFont = font; }
    bool LightEnabled() const { return FLightEnabled; }
    void SetLightEnabled(bool enabled) { FLightEnabled = enabled; }

    QColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(const QColor &color);
    const TLabelFont &DefaultFont() const { return FDefaultFont; }
    void SetDefaultFont(const TLabelFont &font);
    bool DefaultEnabled() const { return FDefaultEnabled; }
    void SetDefaultEnabled(bool enabled) { FDefaultEnabled = enabled; }

    QColor ClickColor() const { return FClickColor; }
    void SetClickColor(const QColor &color) { FClickColor = color; }
    const TLabelFont &ClickFont() const { return FClickFont; }
    void SetClickFont(const TLabelFont &font) { FClickFont = font; }
    bool ClickEnabled() const { return FClickEnabled; }
    void SetClickEnabled(bool enabled) { FClickEnabled = enabled; }

    TJumpType JumpType() const { return FJumpType; }
    void SetJumpType(TJumpType type) { FJumpType = type; }
    const QString &JumpTo() const { return FJumpTo; }
    void SetJumpTo(const QString &target) { FJumpTo = target; }

    void SetOnMouseEnter(TLabelEvent handler) { FOnMouseEnter = std::move(handler); }
    void SetOnMouseLeave(TLabelEvent handler) { FOnMouseLeave = std::move(handler); }

    bool MouseIn() const { return FMouseIn; }

    // The look shown right now: background colour and lettering.
    QColor Color() const;
    TLabelFont CurrentFont() const;

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void SetColor(const QColor &color);
    void SetCurrentFont(const TLabelFont &font);
    void ApplyLook(const QColor &color, const TLabelFont &font);
    void ApplyLight();
    void ApplyDefault();
    void Click();
    void ExecuteJump();
    QString JumpTarget() const;

    QColor FLightColor;
    TLabelFont FLightFont;
    bool FLightEnabled = true;
    QColor FDefaultColor;
    TLabelFont FDefaultFont;
    bool FDefaultEnabled = true;
    QColor FClickColor;
    TLabelFont FClickFont;
    bool FClickEnabled = true;
    TLabelEvent FOnMouseEnter;
    TLabelEvent FOnMouseLeave;
    TJumpType FJumpType = jtCust;
    QString FJumpTo;
    bool FMouseIn = false;
    bool FDoubleClicked = false; // the release after a double-click is no second click
};

} // namespace kpx
