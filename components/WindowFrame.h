// Sizes a window by its outer frame. May touch: the window it is given.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace kpx {

// Sizes a window so that, frame included, it is `wholeWindow` large. Before a
// window is first shown some platforms report no frame for it yet (X11 learns
// it from the window manager); its owner's, drawn by the same window manager,
// stands in. Where no frame is reported, the client area takes the whole size.
void ResizeWithFrame(QWidget *window, QSize wholeWindow);

// The frame around the window: its own once the platform knows it, else that
// of its owner or of another shown window of the program, else none.
QMargins FrameMargins(QWidget *window);

// The screen's work area; on a scaled screen a pixel less on each side, for
// frames that round.
QRect WorkArea(const QScreen &screen);

// The work area of the screen that holds the window's centre (of its
// window's screen when no screen does).
QRect AvailableArea(const QWidget *window);

// `frame` moved, and first shrunk where it is larger, so that it lies wholly
// within `area`.
QRect FitWithin(QRect frame, const QRect &area);

// `frame` as it is when it lies wholly on a screen's work area; else moved
// (and shrunk where it must be) the least distance that puts it wholly on one.
QRect OnNearestScreen(const QRect &frame);

// How wide a window must be for its whole title to show in the title bar
// the window manager draws: the title in a bold face of the window's font,
// beside room for the bar's icon and three buttons.
int TitleBarWidth(const QWidget *window);

// Places a window wholly on the work area of its screen, frame included:
// moved where it reaches past an edge, shrunk (never below its minimum size)
// where it is larger. Minimised, maximised and full-screen windows are left
// to the window manager.
void KeepOnScreen(QWidget *window);

} // namespace kpx
