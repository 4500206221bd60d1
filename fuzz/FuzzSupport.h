#pragma once

#include <cstdlib>
#include <string_view>

#include "text/RB4471HenkanFnc.h"

namespace kpx::fuzz {

// libFuzzer keeps the input that made the process abort.
inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// Calls visit(start, length) for each character of a code page 932 string the
// way the engine walks it: a lead byte takes the next byte with it.
template <typename Visit>
void ForEachChar(std::string_view text, Visit visit)
{
    for (size_t i = 0; i < text.size();) {
        const size_t length = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        visit(i, length);
        i += length;
    }
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
