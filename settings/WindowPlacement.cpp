#include "settings/WindowPlacement.h"

#include <optional>

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include "components/WindowFrame.h"

namespace kpx {

namespace {

// Far beyond any desktop; larger values can only come from a garbled file.
constexpr qint64 MaxCoordinate = 100000;

// The corner placements are measured from, and the scale of the pixels they
// count: the primary screen's, the one every window opens on.
struct TScreenScale
{
    QPoint Origin;
    qreal DevicePixels = 1.0;
};

TScreenScale PlacementScale()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->availableGeometry().topLeft(), screen->devicePixelRatio()};
}

std::optional<QRect> StoredRect(const TPlacementValues &values, const TScreenScale &scale)
{
    const qint64 width = qint64(values.Right) - values.Left;
    const qint64 height = qint64(values.Bottom) - values.Top;
    if (width <= 0 || height <= 0 || width > MaxCoordinate || height > MaxCoordinate
        || qAbs(qint64(values.Left)) > MaxCoordinate || qAbs(qint64(values.Top)) > MaxCoordinate)
        return std::nullopt;
    const QPoint offset(qRound(values.Left / scale.DevicePixels), qRound(values.Top / scale.DevicePixels));
    return QRect(scale.Origin + offset, QSize(int(width), int(height)));
}

// The stored rectangle as the window can take it (a fixed size wins), with
// the frame the window will have, put on a screen.
QRect OnScreen(QWidget &window, QRect rect)
{
    rect.setSize(rect.size().expandedTo(window.minimumSize()).boundedTo(window.maximumSize()));
    const QMargins frame = FrameMargins(&window);
    return OnNearestScreen(rect.marginsAdded(frame)).marginsRemoved(frame);
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
    const TScreenScale scale = PlacementScale();
    const QPoint offset = normal.topLeft() - scale.Origin;
    TPlacementValues values;
    values.Left = qRound(offset.x() * scale.DevicePixels);
    values.Top = qRound(offset.y() * scale.DevicePixels);
    values.Right = values.Left + normal.width();
    values.Bottom = values.Top + normal.height();
    values.State = applicationMinimized || window.isMinimized() ? wsMinimized
                   : window.isMaximized()                       ? wsMaximized
                                                                : wsNormal;
    return values;
}

void ApplyPlacement(QWidget &window, const TPlacementValues &values, TRestorePlacement allowed)
{
    const std::optional<QRect> rect = StoredRect(values, PlacementScale());
    if (!rect)
        return;
    // The stored rectangle is the normal-state one: leave any other state
    // first, so that maximizing afterwards keeps it as the normal geometry.
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(OnScreen(window, *rect));
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
