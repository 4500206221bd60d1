#include "components/LtLabel.h"

#include <utility>

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

namespace kpx {

namespace {

TTargetOpener &CurrentOpener()
{
    static TTargetOpener opener = [](const QString &target) {
        QDesktopServices::openUrl(QUrl(target));
    };
    return opener;
}

// The label's lettering in the given colour, plain or underlined, without any
// other emphasis it may have carried.
TLabelFont Restyled(TLabelFont font, const QColor &color, bool underline)
{
    font.Color = color;
    font.Font.setBold(false);
    font.Font.setItalic(false);
    font.Font.setStrikeOut(false);
    font.Font.setUnderline(underline);
    return font;
}

} // namespace

void OpenTarget(const QString &target)
{
    CurrentOpener()(target);
}

TTargetOpener SetTargetOpener(TTargetOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}

TLightLabel::TLightLabel(QWidget *parent)
    : QLabel(parent)
{
    const QColor buttonFace = palette().color(QPalette::Button);
    FLightColor = buttonFace;
    FDefaultColor = buttonFace;
    FClickColor = buttonFace;

    setAutoFillBackground(true);
    FLightFont = Restyled({}, Qt::blue, true);
    FDefaultFont = Restyled(CurrentFont(), Qt::blue, false);
    ApplyDefault();
    FClickFont = Restyled(CurrentFont(), Qt::red, false);
}

void TLightLabel::SetDefaultColor(const QColor &color)
{
    if (color == FDefaultColor)
        return;
    FDefaultColor = color;
    if (FDefaultEnabled)
        SetColor(color);
}

void TLightLabel::SetDefaultFont(const TLabelFont &font)
{
    FDefaultFont = font;
    if (FDefaultEnabled)
        SetCurrentFont(font);
}

QColor TLightLabel::Color() const
{
    return palette().color(QPalette::Window);
}

TLabelFont TLightLabel::CurrentFont() const
{
    return {font(), palette().color(QPalette::WindowText)};
}

void TLightLabel::SetColor(const QColor &color)
{
    QPalette look = palette();
    look.setColor(QPalette::Window, color);
    setPalette(look);
}

void TLightLabel::SetCurrentFont(const TLabelFont &font)
{
    QPalette look = palette();
    look.setColor(QPalette::WindowText, font.Color);
    setPalette(look);
    setFont(font.Font);
}

void TLightLabel::ApplyLook(const QColor &color, const TLabelFont &font)
{
    SetColor(color);
    SetCurrentFont(font);
}

void TLightLabel::ApplyLight()
{
    ApplyLook(FLightColor, FLightFont);
}

void TLightLabel::ApplyDefault()
{
    ApplyLook(FDefaultColor, FDefaultFont);
}

void TLightLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    FMouseIn = true;
    if (FLightEnabled)
        ApplyLight();
    if (FOnMouseEnter)
        FOnMouseEnter(this);
}

void TLightLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    FMouseIn = false;
    if (FDefaultEnabled)
        ApplyDefault();
    if (FOnMouseLeave)
        FOnMouseLeave(this);
}

void TLightLabel::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    // Keep the press: the release, and with it the click, must come back here.
    event->accept();
    if (FClickEnabled)
        ApplyLook(FClickColor, FClickFont);
}

void TLightLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    // The enabled flags do not apply here: a release always ends the click look.
    if (FMouseIn)
        ApplyLight();
    else
        ApplyDefault();
    if (event->button() != Qt::LeftButton)
        return;
    const bool endsDoubleClick = std::exchange(FDoubleClicked, false);
    if (!endsDoubleClick && rect().contains(event->position().toPoint()))
        Click();
}

void TLightLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The press before it has already been handled; a double-click is one click.
    event->accept();
    if (event->button() == Qt::LeftButton)
        FDoubleClicked = true;
}

void TLightLabel::Click()
{
    ExecuteJump();
    emit clicked();
}

void TLightLabel::ExecuteJump()
{
    const QString target = JumpTarget();
    if (!target.isEmpty())
        OpenTarget(target);
}

QString TLightLabel::JumpTarget() const
{
    if (FJumpType == jtCaption)
        return text();
    if (FJumpTo.isEmpty())
        return {};
    switch (FJumpType) {
    case jtCust:
    case jtHome:
        return FJumpTo;
    case jtMail:
        return QStringLiteral("mailto:") + FJumpTo;
    case jtFile:
        return QStringLiteral("file:///") + FJumpTo;
    case jtNone:
    case jtCaption:
        break;
    }
    return {};
}

} // namespace kpx
