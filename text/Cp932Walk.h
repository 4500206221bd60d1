// The one walk through code page 932 text: what one character is. May touch: nothing (pure).
#pragma once

#include <cstddef>
#include <string_view>

namespace kpx {

// 0x81-0x9F and 0xE0-0xFC: a byte that starts a double-byte character.
bool IsSjisLeadByte(unsigned char byte);

// 0x40-0x7E and 0x80-0xFC: a byte that can follow a lead byte.
bool IsSjisTrailByte(unsigned char byte);

// Bytes in the character that starts at `at`: 2 for a lead byte followed by a
// byte that can trail it, 1 for any other byte (a lead byte at the end or
// before a byte that cannot trail it stands alone), 0 at or past the end.
// Every unit that steps through such text steps with this, so a stray lead
// byte never swallows a quote, a delimiter or a digit in one unit and not in
// another.
std::size_t Cp932CharLength(std::string_view text, std::size_t at);

} // namespace kpx
