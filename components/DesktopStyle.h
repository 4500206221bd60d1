#pragma once

namespace kpx {

// Puts the program's style in place for the whole application, once: the
// desktop's own style, with what the keyboard needs made visible:
// - a menu bar takes Alt alone, and the item the keyboard is on is
//   highlighted as an open one is;
// - the focus on buttons, toggles, check boxes and radio buttons is a clear
//   frame in the style's highlight colour, not the faint edge some styles draw.
void UseDesktopStyle();

} // namespace kpx
