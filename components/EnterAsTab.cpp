#include "components/EnterAsTab.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWidget>

namespace kpx {

TEnterAsTab::TEnterAsTab(QWidget *window) : QObject(window), FWindow(window)
{
    // Key events go to the focused control first; only an application-wide
    // filter sees them before any control of the window does.
    qApp->installEventFilter(this);
}

bool TEnterAsTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    auto *target = static_cast<QWidget *>(watched);
    // In the menu bar Enter chooses the item, as the keyboard user expects.
    if (target->window() != FWindow || qobject_cast<QMenuBar *>(target))
        return false;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &tab);
    return true;
}

} // namespace kpx
