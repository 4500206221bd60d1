#include "sort/SortRow.h"

#include <charconv>

#include "pages/NumberFormat.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

template <size_t N>
std::array<std::string, N> ToCp932(const std::array<std::string_view, N> &table)
{
    std::array<std::string, N> converted;
    for (size_t i = 0; i < N; ++i)
        converted[i] = Sjis(table[i]);
    return converted;
}

// The display tables as CP932, converted once: rows are built by the hundred thousand.
struct TCaptionBytes
{
    std::array<std::string, DlKindCaptions.size()> DlKind = ToCp932(DlKindCaptions);
    std::array<std::string, SoundKindCaptions.size()> SoundKind = ToCp932(SoundKindCaptions);
    std::array<std::string, VideoCaptions.size()> Video = ToCp932(VideoCaptions);
};

const TCaptionBytes &CaptionBytes()
{
    static const TCaptionBytes captions;
    return captions;
}

// A value outside its table shows as an empty cell but keeps its number.
template <size_t N>
std::string CaptionOf(const std::array<std::string, N> &table, std::int32_t value)
{
    return value >= 0 && static_cast<size_t>(value) < N ? table[static_cast<size_t>(value)] : std::string();
}

} // namespace

std::int64_t SizeTextToInt(std::string_view text)
{
    std::string digits;
    digits.reserve(text.size());
    for (const char c : text)
        if (c != ',')
            digits += c;
    std::int64_t value = 0;
    const char *end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value);
    return error == std::errc() && stop == end ? value : 0;
}

TSortRow RowFromEntry(const TRecFileData &entry)
{
    TSortRow row;
    row.Cells[scOrgName] = entry.OrgName;
    row.Cells[scCopyName] = entry.CopyName;
    row.Cells[scFileSize] = FormatThousands(entry.FileSize);
    row.Cells[scLinkName] = entry.LinkName;
    row.Cells[scSaveName] = entry.SaveName;
    const TCaptionBytes &captions = CaptionBytes();
    row.Cells[scDlKind] = CaptionOf(captions.DlKind, entry.DlKind);
    row.Cells[scSoundKind] = CaptionOf(captions.SoundKind, entry.SoundKind);
    row.Cells[scVideo] = CaptionOf(captions.Video, entry.NoVideo ? 1 : 0);
    row.DlKind = entry.DlKind;
    row.SoundKind = entry.SoundKind;
    row.NoVideo = entry.NoVideo ? 1 : 0;
    row.NativeName = entry.NativeName;
    return row;
}

TRecFileData EntryFromRow(const TSortRow &row)
{
    TRecFileData entry;
    entry.OrgName = row.Cells[scOrgName];
    entry.CopyName = row.Cells[scCopyName];
    entry.FileSize = SizeTextToInt(row.Cells[scFileSize]);
    entry.LinkName = row.Cells[scLinkName];
    entry.SaveName = row.Cells[scSaveName];
    entry.DlKind = row.DlKind;
    entry.SoundKind = row.SoundKind;
    entry.NoVideo = row.NoVideo != 0;
    entry.NativeName = row.NativeName;
    return entry;
}

} // namespace kpx
