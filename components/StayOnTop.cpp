#include "components/StayOnTop.h"

#include <QWidget>

namespace kpx {

void SetStayOnTop(QWidget *window, bool onTop)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const QRect placed = window->geometry();
    const Qt::WindowStates state = window->windowState();
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    window->setGeometry(placed);
    window->setWindowState(state);
    if (wasVisible)
        window->show();
}

} // namespace kpx
