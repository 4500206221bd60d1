#include "components/DesktopStyle.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace kpx {

namespace {

constexpr int FocusFrameWidth = 2;

class TDesktopStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        // As on the desktops the program's users come from.
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_MenuBarItem && KeyboardInMenuBar(option, widget)) {
            // Some styles highlight a menu bar item only while its menu is
            // open: after Alt nothing would show where the keyboard is.
            QStyleOptionMenuItem item = *qstyleoption_cast<const QStyleOptionMenuItem *>(option);
            item.state |= State_Sunken;
            QProxyStyle::drawControl(element, &item, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton || element == CE_CheckBox || element == CE_RadioButton)
            DrawFocusFrame(option, painter);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ToolButton)
            DrawFocusFrame(option, painter);
    }

private:
    static bool KeyboardInMenuBar(const QStyleOption *option, const QWidget *widget)
    {
        return qstyleoption_cast<const QStyleOptionMenuItem *>(option) && (option->state & State_Selected)
               && !(option->state & State_Sunken) && qobject_cast<const QMenuBar *>(widget) && widget->hasFocus();
    }

    // Only once the keyboard has moved the focus, as styles draw focus.
    static void DrawFocusFrame(const QStyleOption *option, QPainter *painter)
    {
        if (!(option->state & State_HasFocus) || !(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), 0));
        painter->setBrush(Qt::NoBrush);
        for (int inset = 0; inset < FocusFrameWidth; ++inset)
            painter->drawRect(option->rect.adjusted(inset, inset, -inset - 1, -inset - 1));
        painter->restore();
    }
};

} // namespace

void UseDesktopStyle()
{
    if (dynamic_cast<TDesktopStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new TDesktopStyle(QApplication::style()->name()));
}

} // namespace kpx
