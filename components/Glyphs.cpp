#include "components/Glyphs.h"

#include <QApplication>
#include <QStyle>

namespace kpx {

namespace {

struct TGlyphSource
{
    const char *ThemeName; // the name icon themes on Linux desktops share
    QStyle::StandardPixmap Fallback;
};

TGlyphSource SourceOf(TGlyph glyph)
{
    switch (glyph) {
    case TGlyph::Folder:
        return {"folder-open", QStyle::SP_DirOpenIcon};
    case TGlyph::PageSettings:
        return {"document-properties", QStyle::SP_FileDialogDetailedView};
    case TGlyph::MakePages:
        return {"document-save", QStyle::SP_DialogSaveButton};
    case TGlyph::Close:
        return {"window-close", QStyle::SP_DialogCloseButton};
    case TGlyph::Up:
        return {"go-up", QStyle::SP_ArrowUp};
    case TGlyph::Down:
        return {"go-down", QStyle::SP_ArrowDown};
    case TGlyph::Delete:
        return {"edit-delete", QStyle::SP_TrashIcon};
    }
    return {"", QStyle::SP_CustomBase};
}

} // namespace

QIcon GlyphIcon(TGlyph glyph)
{
    const TGlyphSource source = SourceOf(glyph);
    return QIcon::fromTheme(QLatin1String(source.ThemeName), QApplication::style()->standardIcon(source.Fallback));
}

} // namespace kpx
