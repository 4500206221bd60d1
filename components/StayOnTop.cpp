#include "components/StayOnTop.h"

#include <QWidget>
#include <QWindow>

namespace kpx {

void SetStayOnTop(QWidget *window, bool onTop)
{
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow *native = window->windowHandle()) {
        // The native window takes the hint as it is. setWindowFlags would
        // recreate it, hiding and showing the window: its show handlers would
        // run again, and hiding a modal dialog ends it.
        window->overrideWindowFlags(flags);
        native->setFlags(flags);
        return;
    }
    // Nothing native to recreate yet, but the change would still shift a
    // placement restored before the first show by its frame and drop its state.
    const QRect placed = window->geometry();
    const Qt::WindowStates state = window->windowState();
    window->setWindowFlags(flags);
    window->setGeometry(placed);
    window->setWindowState(state);
}

} // namespace kpx
