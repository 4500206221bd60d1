#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "text/Cp932Walk.h"

using namespace kpx;
using kpx::test::Hex;

namespace {

// The character lengths of a whole text, walked from its first byte.
std::vector<size_t> Walked(std::string_view text)
{
    std::vector<size_t> lengths;
    for (size_t i = 0; i < text.size(); i += lengths.back())
        lengths.push_back(Cp932CharLength(text, i));
    return lengths;
}

} // namespace

TEST(IsSjisLeadByte, AcceptsExactlyTheTwoLeadRanges)
{
    int leadCount = 0;
    for (unsigned byte = 0; byte < 256; ++byte)
        leadCount += IsSjisLeadByte(static_cast<unsigned char>(byte));
    EXPECT_EQ(leadCount, 31 + 29);
    for (unsigned char lead : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsSjisLeadByte(lead)) << int(lead);
    for (unsigned char other : {0x80, 0xA0, 0xDF, 0xFD})
        EXPECT_FALSE(IsSjisLeadByte(other)) << int(other);
}

TEST(IsSjisTrailByte, AcceptsExactlyTheTwoTrailRanges)
{
    int trailCount = 0;
    for (unsigned byte = 0; byte < 256; ++byte)
        trailCount += IsSjisTrailByte(static_cast<unsigned char>(byte));
    EXPECT_EQ(trailCount, 63 + 125);
    for (unsigned char trail : {0x40, 0x5C, 0x7E, 0x80, 0xFC})
        EXPECT_TRUE(IsSjisTrailByte(trail)) << int(trail);
    for (unsigned char other : {0x2F, 0x3F, 0x7F, 0xFD})
        EXPECT_FALSE(IsSjisTrailByte(other)) << int(other);
}

TEST(Cp932CharLength, PairsALeadByteOnlyWithAByteThatCanTrailIt)
{
    struct
    {
        std::string text;
        std::vector<size_t> lengths;
    } const cases[] = {
        {"", {}},
        {"a/", {1, 1}},
        {"\x82\xA0", {2}},            // あ
        {"\x95\x5C/", {2, 1}},        // 表: its trail byte is the byte of "\"
        {"\x81\x40\x9F\xFC", {2, 2}}, // the first and last lead and trail bytes
        {"\xE0\x40\xFC\x80", {2, 2}},
        {"\x83\xB6", {2}},     // a half-width kana byte trails a lead byte
        {"a\x82", {1, 1}},     // a lead byte at the end
        {"\x82 a", {1, 1, 1}}, // before bytes that cannot trail it
        {"\x82'", {1, 1}},
        {"\x81\x3F\x81\x7F", {1, 1, 1, 1}},
        {"\x81\xFD\x81\xFF", {1, 1, 1, 1}},
        {"\x81\x81\x81", {2, 1}}, // a lead byte trails another
        {"\x80\x40", {1, 1}},     // no lead bytes: 0x80, 0xA0, 0xFD-0xFF
        {"\xA0\x40", {1, 1}},
        {"\xFD\x40\xFE\x40\xFF\x40", {1, 1, 1, 1, 1, 1}},
        {"\xB6\xDE\xA1\xDF", {1, 1, 1, 1}}, // half-width kana and punctuation
    };
    for (const auto &[text, lengths] : cases)
        EXPECT_EQ(Walked(text), lengths) << Hex(text);
    // Never past the end.
    EXPECT_EQ(Cp932CharLength("\x82\xA0", 2), 0u);
    EXPECT_EQ(Cp932CharLength(std::string_view("\x82\xA0", 1), 0), 1u);
}
