#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <utility>

#include <QString>

#include "support/TestSupport.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

using namespace kpx;
using namespace kpx::henkan;
using kpx::test::Hex;

namespace {

using Converter = std::string (*)(std::string_view);
const Converter BothConverters[] = {&KanaToFullWidth, &HalfToFullWidth};

std::string Byte(unsigned byte)
{
    return std::string(1, static_cast<char>(byte));
}

std::string Jis(std::uint16_t jisCode)
{
    return SjisCodeToStr(JisToSjis(jisCode));
}

// The Unicode compatibility (NFKC) form of CP932 text, back in CP932: an oracle
// for half-width to full-width that shares nothing with the tables under test.
std::string CompatibilityForm(std::string_view cp932)
{
    const QString folded = Cp932ToQString(cp932).normalized(QString::NormalizationForm_KC);
    return QStringToCp932(folded).value_or("<not in CP932>");
}

bool IsJisKatakana(std::string_view cp932)
{
    return cp932.size() == 2 && static_cast<unsigned char>(cp932[0]) == 0x83;
}

struct Conversion
{
    const char *input;
    const char *expected;
};

void ExpectBothConvert(std::initializer_list<Conversion> conversions)
{
    for (const auto &[input, expected] : conversions)
        for (Converter convert : BothConverters)
            EXPECT_EQ(Hex(convert(Sjis(input))), Hex(Sjis(expected))) << input;
}

} // namespace

TEST(HenkanTables, KanaCellTableAgreesWithUnicodeFullWidthKatakana)
{
    for (unsigned byte = KanaCellTableFirst; byte <= 0xDF; ++byte) {
        SCOPED_TRACE(Hex(Byte(byte)));
        const std::uint8_t entry = KanaCellTable[byte - KanaCellTableFirst];
        const std::string fullWidth = CompatibilityForm(Byte(byte));
        if (!IsJisKatakana(fullWidth)) { // ｰ and the sound marks
            EXPECT_EQ(entry, 0);
            continue;
        }
        const auto kana = static_cast<std::uint16_t>(0x2500 + (entry & KanaCellMask));
        EXPECT_EQ(Hex(Jis(kana)), Hex(fullWidth));
        // Combining exactly where the voiced kana is the next cell (so not ｳ -> ヴ).
        const bool voicedIsNextCell = CompatibilityForm(Byte(byte) + "\xDE") == Jis(kana + 1);
        EXPECT_EQ((entry & CombiningKana) != 0, voicedIsNextCell);
    }
}

TEST(HenkanTables, SymbolPairsDecodeToTheirCharacters)
{
    const std::pair<const char *, const char *> pairs[] = {
        {" ", "　"}, {"!", "！"}, {"\"", "”"}, {"#", "＃"}, {"$", "＄"}, {"%", "％"}, {"&", "＆"}, {"'", "’"},
        {"(", "（"}, {")", "）"}, {"=", "＝"}, {"`", "‘"}, {"|", "｜"}, {"-", "－"}, {"^", "＾"}, {"\\", "￥"},
        {"~", "￣"}, {"{", "｛"}, {"@", "＠"}, {"[", "［"}, {"+", "＋"}, {"*", "＊"}, {"}", "｝"}, {";", "；"},
        {":", "："}, {"]", "］"}, {"<", "＜"}, {">", "＞"}, {"?", "？"}, {"_", "＿"}, {"､", "、"}, {"｡", "。"},
        {"･", "・"}, {",", "，"}, {".", "．"}, {"/", "／"}, {"ｰ", "ー"}, {"｢", "「"}, {"｣", "」"},
    };
    ASSERT_EQ(std::size(pairs), HalfSymbols.size());
    for (std::size_t n = 0; n < HalfSymbols.size(); ++n) {
        const auto &[half, full] = pairs[n];
        SCOPED_TRACE(full);
        EXPECT_EQ(Hex(Byte(HalfSymbols[n])), Hex(Sjis(half)));
        const std::string fullBytes{static_cast<char>(FullSymbols[2 * n]), static_cast<char>(FullSymbols[2 * n + 1])};
        EXPECT_EQ(Cp932ToUtf8(fullBytes), full);
        EXPECT_EQ(Hex(SjisCodeToStr(SymbolToFullWidth(HalfSymbols[n]))), Hex(fullBytes));
    }
}

TEST(SymbolToFullWidth, ReturnsOtherBytesAsThemselves)
{
    for (unsigned byte : {0x00u, 0x30u, 0x61u, 0x7Fu, 0x80u, 0xB1u, 0xDEu, 0xFFu})
        EXPECT_EQ(SymbolToFullWidth(static_cast<unsigned char>(byte)), byte);
    EXPECT_EQ(Hex(SjisCodeToStr(0x834A)), "83 4A");
    EXPECT_EQ(SjisCodeToStr(0x0041), std::string("\0A", 2));
}

TEST(JisToSjis, ConvertsKnownCodesAndRowBoundaries)
{
    EXPECT_EQ(JisToSjis(0x212B), 0x814A); // ゛
    EXPECT_EQ(JisToSjis(0x212C), 0x814B); // ゜
    EXPECT_EQ(JisToSjis(0x2330), 0x824F); // ０
    EXPECT_EQ(JisToSjis(0x2341), 0x8260); // Ａ
    EXPECT_EQ(JisToSjis(0x2361), 0x8281); // ａ
    EXPECT_EQ(JisToSjis(0x252B), 0x834A); // カ
    EXPECT_EQ(JisToSjis(0x215F), 0x817E);
    EXPECT_EQ(JisToSjis(0x2160), 0x8180); // trail skips 0x7F
    EXPECT_EQ(JisToSjis(0x5E7E), 0x9FFC);
    EXPECT_EQ(JisToSjis(0x5F21), 0xE040); // lead skips the kana block
}

TEST(JisToSjis, MapsTheWholeJisGridOntoDistinctValidDoubleByteCodes)
{
    std::set<std::uint16_t> codes;
    for (unsigned row = 0x21; row <= 0x7E; ++row) {
        for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
            const std::uint16_t code = JisToSjis(static_cast<std::uint16_t>(row << 8 | cell));
            const unsigned trail = code & 0xFF;
            ASSERT_TRUE(IsSjisLeadByte(static_cast<unsigned char>(code >> 8))) << std::hex << row << cell;
            ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F) << std::hex << row << cell;
            codes.insert(code);
        }
    }
    EXPECT_EQ(codes.size(), 94u * 94u);
}

TEST(FullWidthConverters, ConvertEveryHalfWidthKanaAndPunctuationAsUnicodeDoes)
{
    for (unsigned byte = 0xA1; byte <= 0xDD; ++byte)
        for (Converter convert : BothConverters)
            EXPECT_EQ(Hex(convert(Byte(byte))), Hex(CompatibilityForm(Byte(byte)))) << Hex(Byte(byte));
}

TEST(FullWidthConverters, MergeOneFollowingSoundMarkOrAppendItFullWidth)
{
    ExpectBothConvert({
        {"ｶﾞ", "ガ"},
        {"ﾄﾞ", "ド"},
        {"ﾊﾞ", "バ"},
        {"ﾊﾟ", "パ"},
        {"ﾎﾟ", "ポ"},
        {"ｳﾞ", "ウ゛"},
        {"ﾜﾞ", "ワ゛"},
        {"ﾉﾟ", "ノ゜"},
        {"ﾏﾟ", "マ゜"},
        {"ｶﾟ", "カ゜"},
        {"ﾄﾟ", "ト゜"},
        {"ｶﾞﾞ", "ガﾞ"},
        {"ﾊﾟﾟ", "パﾟ"},
        {"ﾑｰﾋﾞｰ", "ムービー"},
    });
}

TEST(FullWidthConverters, KeepSoundMarksHalfWidthWithoutAKanaBefore)
{
    ExpectBothConvert({
        {"ﾞ", "ﾞ"},
        {"ﾟｱ", "ﾟア"},
        {"映ﾞ", "映ﾞ"},
        {"ｰﾞ", "ーﾞ"},
        {"｡ﾟ", "。ﾟ"},
        {"ﾞﾟ", "ﾞﾟ"},
    });
    EXPECT_EQ(Hex(KanaToFullWidth(Sjis("aﾞ"))), Hex(Sjis("aﾞ")));
    EXPECT_EQ(Hex(HalfToFullWidth(Sjis("aﾞ"))), Hex(Sjis("ａﾞ")));
}

TEST(FullWidthConverters, CopyDoubleByteCharactersWhole)
{
    for (Converter convert : BothConverters) {
        EXPECT_EQ(Hex(convert("x\x83")), Hex(convert("x")) + " 83");
        EXPECT_EQ(Hex(convert("\x83\xB6")), "83 B6");
        EXPECT_EQ(Hex(convert("\xFC\xDE\xB6")), "FC DE " + Hex(Sjis("カ")));
        // Trail bytes in the ASCII range (0x5C, 0x66) are no characters of their own.
        EXPECT_EQ(Hex(convert(Sjis("表ソ映"))), Hex(Sjis("表ソ映")));
    }
    // A lead byte before a byte that cannot trail it stands alone, and the byte
    // after it is a character of its own (it was swallowed once).
    EXPECT_EQ(Hex(HalfToFullWidth("\x83!")), "83 " + Hex(Sjis("！")));
    EXPECT_EQ(Hex(KanaToFullWidth("\x83!")), "83 21");
}

TEST(FullWidthConverters, StopAtTheEndOfTheView)
{
    const std::string voicedKa = Sjis("ｶﾞ");
    const std::string doubleByte = "\x83\x40";
    for (Converter convert : BothConverters) {
        EXPECT_EQ(Hex(convert(std::string_view(voicedKa.data(), 1))), Hex(Sjis("カ")));
        EXPECT_EQ(Hex(convert(std::string_view(doubleByte.data(), 1))), "83");
    }
}

TEST(FullWidthConverters, PassBytesWithoutFullWidthFormUnchanged)
{
    const std::string bytes("\x00\x1F\x7F\x80\xA0\xDE\xFD\xFE\xFF", 9);
    for (Converter convert : BothConverters) {
        EXPECT_EQ(Hex(convert(bytes)), Hex(bytes));
        EXPECT_EQ(convert(""), "");
    }
}

TEST(FullWidthConverters, OnlyHalfToFullWidthConvertsAscii)
{
    const std::string name = "My Clip_09-Z\\~.amc";
    EXPECT_EQ(KanaToFullWidth(name), name);
    EXPECT_EQ(Hex(HalfToFullWidth(name)), Hex(Sjis("Ｍｙ　Ｃｌｉｐ＿０９－Ｚ￥￣．ａｍｃ")));
    EXPECT_EQ(Hex(HalfToFullWidth("abc")), "82 81 82 82 82 83");
    EXPECT_EQ(Hex(HalfToFullWidth("\\ ")), "81 8F 81 40");

    for (unsigned char byte = '0'; byte <= 'z'; ++byte) {
        if (!std::isalnum(byte))
            continue;
        EXPECT_EQ(CompatibilityForm(HalfToFullWidth(Byte(byte))), Byte(byte)) << byte;
    }
}

TEST(FoldAsciiCase, FoldsAsciiLettersOnlyOutsideDoubleByteCharacters)
{
    EXPECT_EQ(FoldAsciiCase("MoVie.AMC"), "movie.amc");
    EXPECT_EQ(FoldAsciiCase("\x83\x41Z"), "\x83\x41z"); // the trail byte of ア is "A"
    EXPECT_EQ(FoldAsciiCase("\x83"), "\x83");           // a lone lead byte at the end
}
