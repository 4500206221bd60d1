#include "text/RB4471HenkanFnc.h"

#include "text/AsciiChars.h"

namespace kpx {

using namespace henkan;

namespace {

constexpr std::uint16_t JisKatakanaRow = 0x2500;
constexpr std::uint16_t JisAlphanumericRow = 0x2300;
constexpr std::uint16_t JisFullVoicedMark = 0x212B; // ゛; ゜ follows it

constexpr unsigned char HalfVoicedMark = 0xDE;     // ﾞ
constexpr unsigned char HalfSemiVoicedMark = 0xDF; // ﾟ

// Every byte's FullSymbols code, 0 for bytes that are not in HalfSymbols, so a
// lookup costs one index instead of a scan.
constexpr std::array<std::uint16_t, 256> FullSymbolByByte = [] {
    std::array<std::uint16_t, 256> codes{};
    for (std::size_t n = 0; n < HalfSymbols.size(); ++n)
        codes[HalfSymbols[n]] = static_cast<std::uint16_t>(FullSymbols[2 * n] << 8 | FullSymbols[2 * n + 1]);
    return codes;
}();

bool isInRange(unsigned char byte, unsigned char first, unsigned char last)
{
    return first <= byte && byte <= last;
}

bool isSoundMark(unsigned char byte)
{
    return byte == HalfVoicedMark || byte == HalfSemiVoicedMark;
}

// ｰ sits inside the kana block but converts through FullSymbols.
bool hasKanaCell(unsigned char byte)
{
    return isInRange(byte, 0xA6, 0xAF) || isInRange(byte, 0xB1, 0xDF);
}

// Only ﾊ-ﾎ have a semi-voiced form two cells on.
bool takesSemiVoicedMark(unsigned char kana)
{
    return isInRange(kana, 0xCA, 0xCE);
}

bool isAsciiAlphanumeric(unsigned char byte)
{
    return isInRange(byte, '0', '9') || isInRange(byte, 'A', 'Z') || isInRange(byte, 'a', 'z');
}

// 0 when there is none; 0 is never a sound mark.
unsigned char secondByte(std::string_view text)
{
    return text.size() > 1 ? static_cast<unsigned char>(text[1]) : 0;
}

void appendSjisCode(std::string &out, std::uint16_t code)
{
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

void appendJis(std::string &out, std::uint16_t jisCode)
{
    appendSjisCode(out, JisToSjis(jisCode));
}

// Copies the character at the front of `text` as it is.
std::size_t appendUnchanged(std::string &out, std::string_view text)
{
    const std::size_t length = Cp932CharLength(text, 0);
    out.append(text.substr(0, length));
    return length;
}

// A kana merges with a sound mark right after it when the table allows;
// otherwise the mark follows as a full-width character of its own.
std::size_t appendFullWidthKana(std::string &out, unsigned char kana, unsigned char next)
{
    const std::uint8_t entry = KanaCellTable[kana - KanaCellTableFirst];
    if (entry == 0) { // a sound mark on its own
        out.push_back(static_cast<char>(kana));
        return 1;
    }
    const auto code = static_cast<std::uint16_t>(JisKatakanaRow + (entry & KanaCellMask));
    if (entry & CombiningKana) {
        if (next == HalfVoicedMark) {
            appendJis(out, code + 1);
            return 2;
        }
        if (next == HalfSemiVoicedMark && takesSemiVoicedMark(kana)) {
            appendJis(out, code + 2);
            return 2;
        }
    }
    appendJis(out, code);
    if (!isSoundMark(next))
        return 1;
    appendJis(out, JisFullVoicedMark + (next - HalfVoicedMark));
    return 2;
}

// Converts the character at the front of non-empty `text`; returns the number
// of bytes it consumed. Double-byte characters and bytes without a full-width
// form pass unchanged.
std::size_t appendFullWidth(std::string &out, std::string_view text)
{
    const auto byte = static_cast<unsigned char>(text[0]);
    if (hasKanaCell(byte))
        return appendFullWidthKana(out, byte, secondByte(text));
    if (isAsciiAlphanumeric(byte)) {
        appendJis(out, JisAlphanumericRow + byte);
        return 1;
    }
    if (FullSymbolByByte[byte] != 0) {
        appendSjisCode(out, FullSymbolByByte[byte]);
        return 1;
    }
    return appendUnchanged(out, text);
}

// Both converters at most double the length: reserving that once keeps the
// per-file-name cost to a single allocation.
template <typename ConvertFront>
std::string convertEach(std::string_view text, ConvertFront convertFront)
{
    std::string out;
    out.reserve(2 * text.size());
    while (!text.empty())
        text.remove_prefix(convertFront(out, text));
    return out;
}

} // namespace

std::string FoldAsciiCase(std::string_view text)
{
    std::string folded(text);
    // Only a character's first byte can be a letter: a lead byte never is one.
    for (size_t i = 0; i < folded.size(); i += Cp932CharLength(folded, i))
        folded[i] = AsciiLower(folded[i]);
    return folded;
}

std::uint16_t JisToSjis(std::uint16_t jisCode)
{
    const unsigned row = jisCode >> 8;
    const unsigned cell = jisCode & 0xFF;
    const unsigned lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
    const unsigned trail = row % 2 == 0 ? cell + 0x7E : cell + (cell < 0x60 ? 0x1F : 0x20);
    return static_cast<std::uint16_t>(lead << 8 | (trail & 0xFF));
}

std::string SjisCodeToStr(std::uint16_t code)
{
    std::string bytes;
    appendSjisCode(bytes, code);
    return bytes;
}

std::uint16_t SymbolToFullWidth(unsigned char byte)
{
    return FullSymbolByByte[byte] != 0 ? FullSymbolByByte[byte] : byte;
}

std::string HalfToFullWidth(std::string_view text)
{
    return convertEach(text, appendFullWidth);
}

std::string KanaToFullWidth(std::string_view text)
{
    return convertEach(text, [](std::string &out, std::string_view rest) {
        const bool isHalfWidthBlock = isInRange(static_cast<unsigned char>(rest[0]), 0xA0, 0xDF);
        return isHalfWidthBlock ? appendFullWidth(out, rest) : appendUnchanged(out, rest);
    });
}

} // namespace kpx
