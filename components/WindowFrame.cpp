#include "components/WindowFrame.h"

#include <QMargins>
#include <QWidget>
#include <QWindow>

namespace kpx {

namespace {

QMargins ReportedFrame(QWidget *window)
{
    window->winId(); // some platforms know the frame as soon as the native window exists
    for (const QWidget *w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (const QWindow *native = w->windowHandle(); native && !native->frameMargins().isNull())
            return native->frameMargins();
    return {};
}

} // namespace

void ResizeWithFrame(QWidget *window, QSize wholeWindow)
{
    const QMargins frame = ReportedFrame(window);
    window->resize(wholeWindow.shrunkBy(frame).expandedTo(window->minimumSize()));
}

} // namespace kpx
