#pragma once

#include <cstdlib>
#include <string_view>

#include "text/Cp932Walk.h"

namespace kpx::fuzz {

// libFuzzer keeps the input that made the process abort.
inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Calls visit(start, length) for each character of a code page 932 string the
// way the engine walks it.
template <typename Visit>
void ForEachChar(std::string_view text, Visit visit)
{
    for (size_t i = 0; i < text.size();) {
        const size_t length = Cp932CharLength(text, i);
        visit(i, length);
        i += length;
    }
}

// True when no lead byte stands alone: only then is a converted text walked
// again the way its input was (a lone lead byte before a converted character
// pairs with the character's own lead byte).
inline bool LeadBytesAllPair(std::string_view text)
{
    bool pair = true;
    ForEachChar(text, [&](size_t start, size_t length) {
        pair = pair && (length == 2 || !IsSjisLeadByte(static_cast<unsigned char>(text[start])));
    });
    return pair;
}

inline bool HasSingleByteChar(std::string_view text, bool (*match)(unsigned char))
{
    bool found = false;
    ForEachChar(text, [&](size_t start, size_t length) {
        found = found || (length == 1 && match(static_cast<unsigned char>(text[start])));
    });
    return found;
}

} // namespace kpx::fuzz
