// The pictures of the program's buttons. May touch: the desktop's icon theme, Qt's own icons.
#pragma once

#include <QIcon>

namespace kpx {

// The pictures of the program's buttons.
enum class TGlyph
{
    Folder,
    PageSettings,
    MakePages,
    Close,
    Up,
    Down,
    Delete,
};

// The desktop's icon theme's picture where the theme has one, so the buttons
// look like the rest of the desktop; else Qt's own, which the program carries.
QIcon GlyphIcon(TGlyph glyph);

} // namespace kpx
