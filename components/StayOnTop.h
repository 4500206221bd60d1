// Makes a window topmost or ordinary again. May touch: the window it is given.
#pragma once

class QWidget;

namespace kpx {

// Makes a window topmost or an ordinary window again, leaving it as it was
// otherwise: shown or hidden, placed, in its state. Its show handlers do not
// run again, and a modal dialog stays open.
void SetStayOnTop(QWidget *window, bool onTop);

} // namespace kpx
