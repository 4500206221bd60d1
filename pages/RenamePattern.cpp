#include "pages/RenamePattern.h"

#include <algorithm>
#include <ctime>

#include "text/Cp932.h"
#include "text/NameParts.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

constexpr const char *JapaneseDayNames[] = {"日", "月", "火", "水", "木", "金", "土"};

class PatternFormatter
{
public:
    PatternFormatter(std::string_view pattern, std::chrono::year_month_day date)
        : m_pattern(pattern)
        , m_year(static_cast<int>(date.year()))
        , m_month(static_cast<int>(static_cast<unsigned>(date.month())))
        , m_day(static_cast<int>(static_cast<unsigned>(date.day())))
        , m_weekday(static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()))
    {
    }

    std::string run()
    {
        while (m_pos < m_pattern.size())
            step();
        return m_out;
    }

private:
    // Number of times the letter at the current position repeats (any case).
    size_t runLength() const
    {
        const char lower = AsciiLower(m_pattern[m_pos]);
        size_t n = 0;
        while (m_pos + n < m_pattern.size() && AsciiLower(m_pattern[m_pos + n]) == lower)
            ++n;
        return n;
    }

    bool startsWithNoCase(std::string_view word) const
    {
        if (m_pattern.size() - m_pos < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (AsciiLower(m_pattern[m_pos + i]) != word[i])
                return false;
        return true;
    }

    void appendShortDate() { m_out += ZeroPadded(m_year, 4) + '/' + ZeroPadded(m_month, 2) + '/' + ZeroPadded(m_day, 2); }

    void appendLongDate()
    {
        m_out += std::to_string(m_year) + Sjis("年") + std::to_string(m_month) + Sjis("月") + std::to_string(m_day) + Sjis("日");
    }

    void step()
    {
        const auto b = static_cast<unsigned char>(m_pattern[m_pos]);
        if (IsSjisLeadByte(b)) { // a trail byte may look like a pattern letter
            m_out += m_pattern.substr(m_pos, 2);
            m_pos += 2;
            return;
        }
        const char c = AsciiLower(static_cast<char>(b));
        if (c == '\'' || c == '"') {
            const size_t close = m_pattern.find(static_cast<char>(b), m_pos + 1);
            const size_t end = close == std::string_view::npos ? m_pattern.size() : close;
            m_out += m_pattern.substr(m_pos + 1, end - m_pos - 1);
            m_pos = std::min(end + 1, m_pattern.size());
            return;
        }
        if (startsWithNoCase("am/pm")) {
            m_out += "AM";
            m_pos += 5;
            return;
        }
        if (startsWithNoCase("a/p")) {
            m_out += "A";
            m_pos += 3;
            return;
        }
        const size_t n = runLength();
        switch (c) {
        case 'y':
            m_out += n <= 2 ? ZeroPadded(m_year % 100, 2) : ZeroPadded(m_year, 4);
            break;
        case 'm':
            if (m_afterHour)
                m_out += n == 1 ? "0" : "00"; // minutes of a date without time
            else if (n <= 2)
                m_out += ZeroPadded(m_month, static_cast<int>(n));
            else
                m_out += std::to_string(m_month) + Sjis("月");
            break;
        case 'd':
            if (n <= 2)
                m_out += ZeroPadded(m_day, static_cast<int>(n));
            else if (n == 3)
                m_out += Sjis(JapaneseDayNames[m_weekday]);
            else if (n == 4)
                m_out += Sjis(std::string(JapaneseDayNames[m_weekday]) + "曜日");
            else if (n == 5)
                appendShortDate();
            else
                appendLongDate();
            break;
        case 'h':
        case 'n':
        case 's':
            m_out += n == 1 ? "0" : "00";
            break;
        case 'z':
            m_out += n < 3 ? "0" : "000";
            break;
        case 't':
            m_out += n == 1 ? "0:00" : "0:00:00";
            break;
        case 'c':
            appendShortDate();
            break;
        default:
            m_out += m_pattern.substr(m_pos, n);
            break;
        }
        if (c != ' ')
            m_afterHour = c == 'h';
        m_pos += n;
    }

    std::string_view m_pattern;
    size_t m_pos = 0;
    std::string m_out;
    bool m_afterHour = false;
    int m_year;
    int m_month;
    int m_day;
    int m_weekday;
};

} // namespace

std::string FormatRenamePattern(std::string_view pattern, std::chrono::year_month_day date)
{
    return PatternFormatter(pattern, date).run();
}

std::string RenamePatternStem(std::string_view pattern, std::chrono::year_month_day date)
{
    std::string stem = FormatRenamePattern(pattern, date);
    std::erase_if(stem, [](char c) { return RefusedNameChars.find(c) != std::string_view::npos; });
    return stem;
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
