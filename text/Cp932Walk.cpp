#include "text/Cp932Walk.h"

namespace kpx {

namespace {

bool IsInRange(unsigned char byte, unsigned char first, unsigned char last)
{
    return first <= byte && byte <= last;
}

} // namespace

bool IsSjisLeadByte(unsigned char byte)
{
    return IsInRange(byte, 0x81, 0x9F) || IsInRange(byte, 0xE0, 0xFC);
}

bool IsSjisTrailByte(unsigned char byte)
{
    return IsInRange(byte, 0x40, 0x7E) || IsInRange(byte, 0x80, 0xFC);
}

std::size_t Cp932CharLength(std::string_view text, std::size_t at)
{
    if (at >= text.size())
        return 0;
    const bool pairs = at + 1 < text.size() && IsSjisLeadByte(static_cast<unsigned char>(text[at]))
                       && IsSjisTrailByte(static_cast<unsigned char>(text[at + 1]));
    return pairs ? 2 : 1;
}

} // namespace kpx
