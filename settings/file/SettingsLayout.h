// Every section and key of the settings file, with defaults and ranges. May touch: nothing (constants).
#pragma once

#include <algorithm>
#include <array>
#include <optional>

#include <QString>

#include "pages/OverwritePolicy.h"
#include "pages/RenamePattern.h"

// Every section and key of the settings file, with defaults and ranges. The
// windows name their values only through these, so the file's layout lives in
// one place. Values read back are brought into range with Clamp before they
// reach a control: a hand-edited or garbled file must not push a spinner out
// of its range or make a column count zero.
namespace kpx::ini {

struct TIntKey
{
    const char *Name;
    int Default;
    int Min;
    int Max;
    constexpr int Clamp(int value) const { return std::clamp(value, Min, Max); }
};

struct TBoolKey
{
    const char *Name;
    bool Default;
};

struct TTextKey
{
    const char *Name;
    const char *Default;
};

// A list of texts kept as one section with one key per item: the prefix and
// the item's zero-based index ("Items0", "Items1", ...).
struct TListSection
{
    const char *Section;
    const char *KeyPrefix;
    QString ItemKey(int index) const { return QLatin1String(KeyPrefix) + QString::number(index); }
};

// Main window.
namespace Dirs {
inline constexpr char Section[] = "Dirs";
inline constexpr TTextKey OrgMovDir{"org_mov_dir", ""};
inline constexpr TTextKey HtmlDir{"html_dir", ""};
inline constexpr TTextKey EzmovieDir{"ezmovie_dir", ""};
} // namespace Dirs

namespace Html {
inline constexpr char Section[] = "html";
inline constexpr TIntKey ItemCount{"ItemCount", 3, 1, 10};
} // namespace Html

inline constexpr TListSection HtmlnameHistory{"htmlname_history", "Items"};

// Settings dialog.
namespace AlwaysTop {
inline constexpr char Section[] = "AlwaysTop";
inline constexpr TBoolKey Checked{"Checked", false};
} // namespace AlwaysTop

namespace LowerCase {
inline constexpr char Section[] = "LowerCase";
inline constexpr TBoolKey Checked{"Checked", true};
} // namespace LowerCase

namespace AutoComplete {
inline constexpr char Section[] = "AutoComplete";
inline constexpr TBoolKey Checked{"Checked", true};
} // namespace AutoComplete

namespace FilenameHistory {
inline constexpr char Section[] = "filename_history";
inline constexpr TIntKey Count{"Count", 10, 0, 50};
} // namespace FilenameHistory

namespace OverWrite {
inline constexpr char Section[] = "OverWrite";
inline constexpr TIntKey Index{"Index", FirstOverwriteIndex, FirstOverwriteIndex, LastOverwriteIndex};
} // namespace OverWrite

namespace ReName {
inline constexpr char Section[] = "ReName";
inline constexpr TTextKey Format{"Format", DefaultRenamePattern};
} // namespace ReName

inline constexpr TListSection HtmlHeader{"html_header", "Lines"};
inline constexpr TListSection HtmlFooter1{"html_footer1", "Lines"};
inline constexpr TListSection HtmlFooter2{"html_footer2", "Lines"};
inline constexpr TListSection HtmlFooter3{"html_footer3", "Lines"};
// In the order the settings dialog hands them to its load handler.
inline constexpr std::array<TListSection, 4> Templates{HtmlHeader, HtmlFooter1, HtmlFooter2, HtmlFooter3};
// Beside a template's lines: 0 when its text does not end with a line break
// (a missing key reads as 1, as files written before it were read).
inline constexpr char TemplateLineBreakAtEnd[] = "LineBreakAtEnd";

// Page settings window.
namespace TagForm {
inline constexpr char Section[] = "TagForm";
inline constexpr TIntKey ColCount{"ColCount", 1, 1, 3};
} // namespace TagForm

// List window.
namespace SortGrid {
inline constexpr char Section[] = "Sort_Grid";
inline constexpr char KeyPrefix[] = "ColWidth";
inline constexpr int ColumnCount = 8;
inline constexpr std::array<int, ColumnCount> DefaultWidths{80, 110, 90, 80, 90, 100, 60, 40};
// Narrower than this a column can no longer be grabbed to widen it again.
inline constexpr int MinWidth = 10;
inline constexpr int MaxWidth = 2000;

constexpr int ClampWidth(int width)
{
    return std::clamp(width, MinWidth, MaxWidth);
}

// The key of a column's width is ColWidths.ItemKey(column).
inline constexpr TListSection ColWidths{Section, KeyPrefix};
// The column of a "ColWidth0".."ColWidth7" key (prefix in any letter case);
// nullopt for every other key.
std::optional<int> ColumnOfKey(const QString &key);
} // namespace SortGrid

// Preview window: its placement in a section of its own (the key suffixes
// of WindowPlacement without the window's name) and the page width it shows.
namespace PreviewForm {
inline constexpr char Section[] = "PreviewForm";
inline constexpr TIntKey Width{"Width", 240, 240, 480};
// The widths its menu offers; a stored value of another width is ignored.
inline constexpr std::array<int, 3> Widths{240, 320, 480};
} // namespace PreviewForm

// Window placements: the window's name followed directly by each suffix.
namespace WindowPlacement {
inline constexpr char Section[] = "WindowPlacement";
inline constexpr std::array<const char *, 5> KeySuffixes{"Left", "Top", "Right", "Bottom", "State"};
inline constexpr char MainWindow[] = "kpx_MainFrm";
inline constexpr char TagsWindow[] = "kpx_TagsFrm";
inline constexpr char SortWindow[] = "kpx_sortFrm";
} // namespace WindowPlacement

} // namespace kpx::ini
