// A valid date (from the first four bytes) and arbitrary pattern bytes through
// FormatRenamePattern: no crash, bounded growth, and quoted text comes out as
// it went in.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "pages/RenamePattern.h"

namespace {

using kpx::fuzz::Require;

// The longest expansion of one pattern letter is a long date with weekday.
constexpr size_t MaxBytesPerPatternByte = 32;

std::chrono::year_month_day DateFrom(const uint8_t *bytes)
{
    using namespace std::chrono;
    const int yearValue = 1 + (bytes[0] << 8 | bytes[1]) % 9999;
    const month monthValue{1u + bytes[2] % 12u};
    const year_month_day_last last{year{yearValue}, month_day_last{monthValue}};
    const day dayValue{1u + bytes[3] % static_cast<unsigned>(last.day())};
    return year_month_day{year{yearValue}, monthValue, dayValue};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const std::chrono::year_month_day date = DateFrom(data);
    Require(date.ok());
    const std::string_view pattern(reinterpret_cast<const char *>(data + 4), size - 4);

    const std::string name = kpx::FormatRenamePattern(pattern, date);
    Require(name.size() <= MaxBytesPerPatternByte * pattern.size() + MaxBytesPerPatternByte);
    Require(kpx::FormatRenamePattern(pattern, date) == name);

    if (pattern.find('\'') == std::string_view::npos)
        Require(kpx::FormatRenamePattern("'" + std::string(pattern) + "'", date) == pattern);
    return 0;
}
