// What every window does on a desktop: placement, focus, keyboard menus. May touch: the window it is given.
#pragma once

class QMenuBar;
class QWidget;

namespace kpx {

// What every window of the program does on a desktop, whatever draws it:
// - it lies wholly on the work area of its screen, frame included, when it is
//   shown (and again once the window manager has framed it);
// - the focus is drawn from the start, not only after the first Tab;
// - its menu bar, if it has one, opens from the keyboard: Alt alone or F10
//   highlights the first menu, the arrows move, Enter or Down opens;
// - the program's style is in place (UseDesktopStyle).
// Call once for each window, Qt's own dialogs included.
void PrepareWindow(QWidget *window);

// Highlights the first item of the menu bar and gives it the keyboard, as
// Alt alone does.
void EnterMenuBar(QMenuBar *menuBar);

} // namespace kpx
