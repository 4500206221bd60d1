// A window's placement as the settings file keeps it. May touch: the window it is given.
#pragma once

#include <initializer_list>

class QWidget;

namespace kpx {

enum class TRestoreKind {
    Enabled,       // keep the window's placement at all
    AllowMinimize, // a stored minimized state may be restored
    AllowMaximize, // a stored maximized state may be restored
};

// A set of TRestoreKind.
class TRestorePlacement
{
public:
    constexpr TRestorePlacement() = default;
    constexpr TRestorePlacement(std::initializer_list<TRestoreKind> kinds)
    {
        for (const TRestoreKind kind : kinds)
            FBits |= Bit(kind);
    }
    constexpr bool Contains(TRestoreKind kind) const { return (FBits & Bit(kind)) != 0; }
    friend constexpr bool operator==(TRestorePlacement, TRestorePlacement) = default;

private:
    static constexpr unsigned Bit(TRestoreKind kind) { return 1u << static_cast<unsigned>(kind); }
    unsigned FBits = 0;
};

enum TWindowState {
    wsNormal = 0,
    wsMinimized = 1,
    wsMaximized = 2,
};

// A window's normal-state rectangle (right and bottom exclusive) and its
// state. The rectangle is the window's client geometry, excluding the frame:
// Qt knows the frame only once the window is shown, and placement is applied
// before that. Left and Top are where the window is on the screen: device
// pixels from the top-left corner of the primary screen's work area, so that
// the window keeps its place when the desktop's scale changes. Its width
// (Right - Left) and height (Bottom - Top) are in the window's own pixels,
// which its controls are laid out in. At scale 1 the two are the same.
struct TPlacementValues
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int State = wsNormal;
};

// The normal-state rectangle whatever the current state; the state is
// minimized when applicationMinimized says so, else the window's own.
TPlacementValues CapturePlacement(const QWidget &window, bool applicationMinimized);

// Sets the window's normal-state rectangle and then its state, leaving a
// hidden window hidden. A stored state the allowed set does not permit (or
// that is no state at all) becomes normal. Moving the window also stops the
// platform from placing it when it is first shown. A rectangle that lies,
// frame included, wholly on a screen's work area is used as it is; one that
// does not is moved the least distance that puts it on one (OnNearestScreen).
// Values that describe no rectangle (garbled file) leave the window untouched.
void ApplyPlacement(QWidget &window, const TPlacementValues &values, TRestorePlacement allowed);

// True when the application shows windows and every one of them is minimized.
bool AllTopLevelWindowsMinimized();

} // namespace kpx
