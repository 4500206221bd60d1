#include "pages/RenamePattern.h"

#include <algorithm>
#include <ctime>

#include "text/AsciiChars.h"
#include "text/Cp932.h"
#include "text/Cp932Walk.h"
#include "text/NameParts.h"

namespace kpx {

namespace {

constexpr const char *JapaneseDayNames[] = {"日", "月", "火", "水", "木", "金", "土"};

class TPatternFormatter
{
public:
    TPatternFormatter(std::string_view pattern, std::chrono::year_month_day date)
        : FPattern(pattern)
        , FYear(static_cast<int>(date.year()))
        , FMonth(static_cast<int>(static_cast<unsigned>(date.month())))
        , FDay(static_cast<int>(static_cast<unsigned>(date.day())))
        , FWeekday(static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()))
    {}

    std::string Run()
    {
        while (FPos < FPattern.size())
            Step();
        return FOut;
    }

private:
    // Number of times the letter at the current position repeats (any case).
    size_t RunLength() const
    {
        const char lower = AsciiLower(FPattern[FPos]);
        size_t n = 0;
        while (FPos + n < FPattern.size() && AsciiLower(FPattern[FPos + n]) == lower)
            ++n;
        return n;
    }

    bool StartsWithNoCase(std::string_view word) const
    {
        if (FPattern.size() - FPos < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (AsciiLower(FPattern[FPos + i]) != word[i])
                return false;
        return true;
    }

    void AppendShortDate() { FOut += ZeroPadded(FYear, 4) + '/' + ZeroPadded(FMonth, 2) + '/' + ZeroPadded(FDay, 2); }

    void AppendLongDate()
    {
        FOut += std::to_string(FYear) + Sjis("年") + std::to_string(FMonth) + Sjis("月") + std::to_string(FDay)
                + Sjis("日");
    }

    void Step()
    {
        const auto b = static_cast<unsigned char>(FPattern[FPos]);
        if (Cp932CharLength(FPattern, FPos) == 2) { // a trail byte may look like a pattern letter
            FOut += FPattern.substr(FPos, 2);
            FPos += 2;
            return;
        }
        const char c = AsciiLower(static_cast<char>(b));
        if (c == '\'' || c == '"') {
            const size_t close = FPattern.find(static_cast<char>(b), FPos + 1);
            const size_t end = close == std::string_view::npos ? FPattern.size() : close;
            FOut += FPattern.substr(FPos + 1, end - FPos - 1);
            FPos = std::min(end + 1, FPattern.size());
            return;
        }
        if (StartsWithNoCase("am/pm")) {
            FOut += "AM";
            FPos += 5;
            return;
        }
        if (StartsWithNoCase("a/p")) {
            FOut += "A";
            FPos += 3;
            return;
        }
        const size_t n = RunLength();
        switch (c) {
        case 'y':
            FOut += n <= 2 ? ZeroPadded(FYear % 100, 2) : ZeroPadded(FYear, 4);
            break;
        case 'm':
            if (FAfterHour)
                FOut += n == 1 ? "0" : "00"; // minutes of a date without time
            else if (n <= 2)
                FOut += ZeroPadded(FMonth, static_cast<int>(n));
            else
                FOut += std::to_string(FMonth) + Sjis("月");
            break;
        case 'd':
            if (n <= 2)
                FOut += ZeroPadded(FDay, static_cast<int>(n));
            else if (n == 3)
                FOut += Sjis(JapaneseDayNames[FWeekday]);
            else if (n == 4)
                FOut += Sjis(std::string(JapaneseDayNames[FWeekday]) + "曜日");
            else if (n == 5)
                AppendShortDate();
            else
                AppendLongDate();
            break;
        case 'h':
        case 'n':
        case 's':
            FOut += n == 1 ? "0" : "00";
            break;
        case 'z':
            FOut += n < 3 ? "0" : "000";
            break;
        case 't':
            FOut += n == 1 ? "0:00" : "0:00:00";
            break;
        case 'c':
            AppendShortDate();
            break;
        default:
            FOut += FPattern.substr(FPos, n);
            break;
        }
        if (c != ' ')
            FAfterHour = c == 'h';
        FPos += n;
    }

    std::string_view FPattern;
    size_t FPos = 0;
    std::string FOut;
    bool FAfterHour = false;
    int FYear;
    int FMonth;
    int FDay;
    int FWeekday;
};

} // namespace

std::string FormatRenamePattern(std::string_view pattern, std::chrono::year_month_day date)
{
    return TPatternFormatter(pattern, date).Run();
}

std::string RenamePatternStem(std::string_view pattern, std::chrono::year_month_day date)
{
    std::string stem = FormatRenamePattern(pattern, date);
    std::erase_if(stem, [](char c) { return RefusedNameChars.find(c) != std::string_view::npos; });
    return stem;
}

TPatternCopyNames::TPatternCopyNames(std::string pattern) : FPattern(std::move(pattern)) {}

bool TPatternCopyNames::Holds(std::string_view name) const
{
    constexpr std::string_view Extension = ".amc";
    if (!name.ends_with(Extension))
        return false;
    if (!FStems) {
        // Every date a copy can have been made on: from the first dates a
        // FAT disk holds to the end of the century.
        FStems.emplace();
        using namespace std::chrono;
        for (sys_days day = sys_days(year(1980) / January / 1); day <= sys_days(year(2099) / December / 31); day += days(1))
            FStems->insert(RenamePatternStem(FPattern, year_month_day(day)));
    }
    name.remove_suffix(Extension.size());
    // The stem may end with digits itself: every split of the serial is tried.
    for (size_t serialDigits = 1; serialDigits <= name.size() && IsAsciiDigit(name[name.size() - serialDigits]);
         ++serialDigits)
        if (serialDigits >= 2 && FStems->contains(std::string(name.substr(0, name.size() - serialDigits))))
            return true;
    return false;
}

std::chrono::year_month_day LocalToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::year_month_day(std::chrono::year(local.tm_year + 1900),
                                       std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                       std::chrono::day(static_cast<unsigned>(local.tm_mday)));
}

} // namespace kpx
