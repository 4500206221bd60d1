// One row of the list window and its conversions. May touch: nothing (pure).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/RecFileData.h"

namespace kpx {

// Columns of the list, in display order; a header section has the same index.
enum TSortColumn : int {
    scOrgName,
    scCopyName,
    scFileSize,
    scLinkName,
    scSaveName,
    scDlKind,
    scSoundKind,
    scVideo,
    scColumnCount,
};

// Display texts of the coded values, indexed by the value.
inline constexpr std::array<std::string_view, 2> DlKindCaptions = {
    "ダウンロード",
    "ショートストリーミング",
};
inline constexpr std::array<std::string_view, 3> SoundKindCaptions = {
    "QLREP",
    "MP3",
    "なし",
};
inline constexpr std::array<std::string_view, 2> VideoCaptions = {
    "○", // has video
    "×", // no video
};

// One movie as the list shows it: the CP932 text of every cell and the coded
// values behind cells 5 to 7. Moves, sorts and deletes carry whole rows, so
// the values always travel with their texts.
struct TSortRow
{
    std::array<std::string, scColumnCount> Cells;
    std::int32_t DlKind = 0;    // attached to cell 5
    std::int32_t SoundKind = 0; // attached to cell 6
    std::int32_t NoVideo = 0;   // attached to cell 7, 0 or 1
    // Not shown, but an entry must keep it through the list: copying needs it.
    std::string NativeName;
};

// The size text of cell 2 read back: commas removed, empty reads as 0. Text
// that is not a decimal number fitting the size field also reads as 0.
std::int64_t SizeTextToInt(std::string_view text);

TSortRow RowFromEntry(const TRecFileData &entry);
TRecFileData EntryFromRow(const TSortRow &row);

} // namespace kpx
