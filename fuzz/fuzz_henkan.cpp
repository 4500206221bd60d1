// Arbitrary bytes through both half-width to full-width conversions: each
// character at most doubles, KanaToFullWidth touches nothing but the half-width
// block, and HalfToFullWidth leaves no printable single-byte character
// behind but lone sound marks (where no lead byte stands alone).

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "text/RB4471HenkanFnc.h"

namespace {

using kpx::fuzz::ForEachChar;
using kpx::fuzz::Require;

bool IsHalfWidthBlock(unsigned char byte)
{
    return byte >= 0xA0 && byte <= 0xDF;
}

// A sound mark with no kana before it stays half-width, and 0xA0 has no
// full-width form.
bool IsConvertibleKana(unsigned char byte)
{
    return byte >= 0xA1 && byte <= 0xDD;
}

bool IsConvertedByHalfToFull(unsigned char byte)
{
    return (byte >= 0x20 && byte <= 0x7E) || IsConvertibleKana(byte);
}

void CheckKana(std::string_view input)
{
    const std::string output = kpx::KanaToFullWidth(input);
    Require(output.size() <= 2 * input.size());
    Require(!kpx::fuzz::HasSingleByteChar(output, IsConvertibleKana));

    // Text with no half-width character passes through untouched, and a cut
    // before any character outside the block splits the output the same way.
    bool hasHalfWidth = false;
    ForEachChar(input, [&](size_t start, size_t length) {
        const bool halfWidth = length == 1 && IsHalfWidthBlock(static_cast<unsigned char>(input[start]));
        hasHalfWidth = hasHalfWidth || halfWidth;
        if (start == 0 || halfWidth)
            return;
        const std::string_view head = input.substr(0, start);
        const std::string_view tail = input.substr(start);
        Require(kpx::KanaToFullWidth(head) + kpx::KanaToFullWidth(tail) == output);
    });
    if (!hasHalfWidth)
        Require(output == input);
}

void CheckHalf(std::string_view input)
{
    const std::string output = kpx::HalfToFullWidth(input);
    Require(output.size() <= 2 * input.size());
    if (!kpx::fuzz::LeadBytesAllPair(input))
        return;
    Require(!kpx::fuzz::HasSingleByteChar(output, IsConvertedByHalfToFull));
    // Full-width output has nothing left to convert.
    Require(kpx::HalfToFullWidth(output) == output);
    Require(kpx::KanaToFullWidth(output) == output);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The split check is quadratic; long inputs add nothing the short ones miss.
    if (size > 512)
        return 0;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    CheckKana(input);
    CheckHalf(input);
    return 0;
}
