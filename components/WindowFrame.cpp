#include "components/WindowFrame.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kpx {

namespace {

QMargins KnownFrame(const QWidget *window)
{
    const QWindow *native = window->windowHandle();
    return native ? native->frameMargins() : QMargins();
}

} // namespace

QMargins FrameMargins(QWidget *window)
{
    window->winId(); // some platforms know the frame as soon as the native window exists
    for (const QWidget *w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (const QMargins frame = KnownFrame(w); !frame.isNull())
            return frame;
    // The same window manager draws every frame of the program.
    for (const QWidget *other : QApplication::topLevelWidgets())
        if (other->isVisible() && other->windowType() != Qt::Popup && other->windowType() != Qt::ToolTip)
            if (const QMargins frame = KnownFrame(other); !frame.isNull())
                return frame;
    return {};
}

void ResizeWithFrame(QWidget *window, QSize wholeWindow)
{
    window->resize(wholeWindow.shrunkBy(FrameMargins(window)).expandedTo(window->minimumSize()));
}

QRect WorkArea(const QScreen &screen)
{
    // On a scaled screen the window manager's frame is whole device pixels,
    // which round either way: a pixel to spare on each side.
    const int spare = screen.devicePixelRatio() > 1.0 ? 1 : 0;
    return screen.availableGeometry().adjusted(spare, spare, -spare, -spare);
}

QRect AvailableArea(const QWidget *window)
{
    const QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? WorkArea(*screen) : QRect();
}

QRect FitWithin(QRect frame, const QRect &area)
{
    if (area.isEmpty())
        return frame;
    frame.setWidth(std::min(frame.width(), area.width()));
    frame.setHeight(std::min(frame.height(), area.height()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() + 1 - frame.height()));
    return frame;
}

QRect OnNearestScreen(const QRect &frame)
{
    QRect nearest = frame;
    qint64 leastMove = -1;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect fitted = FitWithin(frame, WorkArea(*screen));
        const QPoint moved = fitted.center() - frame.center();
        const qint64 move = qint64(moved.x()) * moved.x() + qint64(moved.y()) * moved.y();
        if (leastMove < 0 || move < leastMove) {
            nearest = fitted;
            leastMove = move;
        }
    }
    return nearest;
}

int TitleBarWidth(const QWidget *window)
{
    QFont font = window->font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Title bars are about one and a half lines high; their buttons are square.
    const int button = metrics.height() * 3 / 2;
    return metrics.horizontalAdvance(window->windowTitle()) + 4 * button + 2 * metrics.height();
}

void KeepOnScreen(QWidget *window)
{
    if (!window || !window->isWindow()
        || (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QMargins frame = FrameMargins(window);
    const QRect client = window->geometry();
    const QRect fitted = FitWithin(client.marginsAdded(frame), AvailableArea(window)).marginsRemoved(frame);
    const QSize size = fitted.size().expandedTo(window->minimumSize()).boundedTo(window->maximumSize());
    const QRect placed(fitted.topLeft(), size);
    if (placed != client)
        window->setGeometry(placed);
}

} // namespace kpx
