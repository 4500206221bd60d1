// The program's font. May touch: the installed fonts (read only), the window it is given.
#pragma once

class QFont;
class QWidget;

namespace kpx {

// The program's font: "ＭＳ Ｐゴシック" at 12 pixels, with the Japanese
// gothic faces of this system standing in when it is not installed.
QFont ProgramFont();
void ApplyWindowFont(QWidget *window);

} // namespace kpx
