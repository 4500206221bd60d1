// The rename pattern for Japanese file names. May touch: the clock (today's date).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kpx {

// The pattern a fresh installation names Japanese file names with.
inline constexpr char DefaultRenamePattern[] = "'mv'yymmdd";

// Characters a file name may not hold: the rename pattern box refuses them,
// and a pattern read from elsewhere loses them.
inline constexpr std::string_view RefusedNameChars = "\\/:,;*?\"<>|";

// Formats a date with a rename pattern: 'quoted' or "quoted" text as is, yy,
// yyyy, m, mm, d, dd (and the longer month and day name forms); the date has
// no time of day, so time letters give zeros. Other characters are copied.
std::string FormatRenamePattern(std::string_view pattern, std::chrono::year_month_day date);

// The pattern's text for a date, as the start of copy names: a refused
// character would send the copy into another folder, so none is kept.
std::string RenamePatternStem(std::string_view pattern, std::chrono::year_month_day date);

// The names the pattern gives copies on any date: the stem, a serial of two
// or more digits and ".amc". The stems of every date are made once, when
// first asked.
class TPatternCopyNames
{
public:
    explicit TPatternCopyNames(std::string pattern);
    bool Holds(std::string_view name) const;

private:
    std::string FPattern;
    mutable std::optional<std::unordered_set<std::string>> FStems;
};

// Today in the local time zone.
std::chrono::year_month_day LocalToday();

} // namespace kpx
