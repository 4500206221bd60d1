#include "settings/WindowPlacement.h"

#include <optional>

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace kpx {

namespace {

// Far beyond any desktop; larger values can only come from a garbled file.
constexpr qint64 MaxCoordinate = 100000;

QPoint WorkAreaOrigin(const QWidget &window)
{
    const QScreen *screen = window.screen();
    return screen ? screen->availableGeometry().topLeft() : QPoint();
}

std::optional<QRect> StoredRect(const TPlacementValues &values, QPoint origin)
{
    const qint64 width = qint64(values.Right) - values.Left;
    const qint64 height = qint64(values.Bottom) - values.Top;
    if (width <= 0 || height <= 0 || width > MaxCoordinate || height > MaxCoordinate
        || qAbs(qint64(values.Left)) > MaxCoordinate || qAbs(qint64(values.Top)) > MaxCoordinate)
        return std::nullopt;
    return QRect(origin.x() + values.Left, origin.y() + values.Top, int(width), int(height));
}

QRect OnSomeScreen(QRect rect)
{
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(rect))
            return rect;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        rect.moveTopLeft(primary->availableGeometry().topLeft());
    return rect;
}

Qt::WindowState AllowedState(int state, TRestorePlacement allowed)
{
    if (state == wsMinimized && allowed.Contains(TRestoreKind::AllowMinimize))
        return Qt::WindowMinimized;
    if (state == wsMaximized && allowed.Contains(TRestoreKind::AllowMaximize))
        return Qt::WindowMaximized;
    return Qt::WindowNoState;
}

} // namespace

TPlacementValues CapturePlacement(const QWidget &window, bool applicationMinimized)
{
    // A window never shown yet has no normal geometry of its own.
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    const QPoint origin = WorkAreaOrigin(window);
    TPlacementValues values;
    values.Left = normal.left() - origin.x();
    values.Top = normal.top() - origin.y();
    values.Right = values.Left + normal.width();
    values.Bottom = values.Top + normal.height();
    values.State = applicationMinimized || window.isMinimized() ? wsMinimized
                   : window.isMaximized()                       ? wsMaximized
                                                                : wsNormal;
    return values;
}

void ApplyPlacement(QWidget &window, const TPlacementValues &values, TRestorePlacement allowed)
{
    const std::optional<QRect> rect = StoredRect(values, WorkAreaOrigin(window));
    if (!rect)
        return;
    // The stored rectangle is the normal-state one: leave any other state
    // first, so that maximizing afterwards keeps it as the normal geometry.
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(OnSomeScreen(*rect));
    window.setWindowState(AllowedState(values.State, allowed));
}

bool AllTopLevelWindowsMinimized()
{
    bool anyShown = false;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        if (!window->isMinimized())
            return false;
        anyShown = true;
    }
    return anyShown;
}

} // namespace kpx
