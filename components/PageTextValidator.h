// Keeps a line edit to text that reaches a page as typed. May touch: the line edit it is given.
#pragma once

class QLineEdit;

namespace kpx {

// Keeps a single-line box to text that reaches a page, a file name and the
// settings file as it was typed. Line breaks, which a paste, a drop or an
// input method can bring and a line edit keeps, are dropped. An edit that
// would bring in a character code page 932 cannot hold is refused whole, and a
// tooltip at the box names the characters: stored, each would become 〓.
void RestrictToPageText(QLineEdit *edit);

} // namespace kpx
