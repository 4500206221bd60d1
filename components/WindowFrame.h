#pragma once

#include <QSize>

class QWidget;

namespace kpx {

// Sizes a window so that, frame included, it is `wholeWindow` large. Before a
// window is first shown some platforms report no frame for it yet (X11 learns
// it from the window manager); its owner's, drawn by the same window manager,
// stands in. Where no frame is reported, the client area takes the whole size.
void ResizeWithFrame(QWidget *window, QSize wholeWindow);

} // namespace kpx
