#include "pages/NumberFormat.h"

#include <cstdio>

namespace kpx {

std::string FormatThousands(std::int64_t value)
{
    const bool negative = value < 0;
    // Unsigned arithmetic keeps the most negative value representable.
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed += ',';
        reversed += static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (negative)
        reversed += '-';
    return std::string(reversed.rbegin(), reversed.rend());
}

namespace {

std::string FormatMillions(std::uintmax_t bytes, const char *unit)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.1f %s", static_cast<double>(bytes) / (1024.0 * 1024.0), unit);
    return text;
}

} // namespace

std::string FormatMebibytes(std::uintmax_t bytes)
{
    return FormatMillions(bytes, "MiB");
}

std::string FormatMegabytes(std::uintmax_t bytes)
{
    return FormatMillions(bytes, "MB");
}

} // namespace kpx
