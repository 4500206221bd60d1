#pragma once

class QWidget;

namespace kpx {

// Makes a window topmost or an ordinary window again without moving or
// resizing it. Changing the flag recreates the native window, which hides a
// visible window and would shift a restored placement by its frame and drop
// its state; all three are put back.
void SetStayOnTop(QWidget *window, bool onTop);

} // namespace kpx
