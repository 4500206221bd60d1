// Half-width to full-width conversion of code page 932 text. May touch: nothing (pure).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/Cp932Walk.h"

namespace kpx {

// Half-width to full-width conversion of CP932 byte strings. Pure functions on
// constant tables: safe to call from anywhere, never fail, accept any bytes.

// ASCII letters lower-cased; double-byte characters stay whole, so a trail
// byte that looks like a letter is never touched. For comparing names the way
// a case-insensitive file system or INI reader does.
std::string FoldAsciiCase(std::string_view text);

// JIS X 0208 code (row << 8 | cell) -> CP932 double-byte code (lead << 8 | trail).
std::uint16_t JisToSjis(std::uint16_t jisCode);

// Double-byte code -> its two bytes, lead byte first.
std::string SjisCodeToStr(std::uint16_t code);

// The full-width code of an ASCII symbol or half-width punctuation byte; any
// other byte comes back as itself (high byte zero).
std::uint16_t SymbolToFullWidth(unsigned char byte);

// Converts half-width kana, sound marks, punctuation and all printable ASCII.
std::string HalfToFullWidth(std::string_view text);

// Converts only the half-width block 0xA0-0xDF; ASCII stays as it is.
std::string KanaToFullWidth(std::string_view text);

namespace henkan {

inline constexpr unsigned char KanaCellTableFirst = 0xA6;
inline constexpr std::uint8_t CombiningKana = 0x80;
inline constexpr std::uint8_t KanaCellMask = 0x7F;

// One entry per byte 0xA6-0xDF: the JIS row 0x25 cell of the full-width kana,
// CombiningKana if a following sound mark merges into it, 0 for no kana.
inline constexpr std::array<std::uint8_t, 58> KanaCellTable = {
    0x72,                                                       // ｦ
    0x21, 0x23, 0x25, 0x27, 0x29,                               // ｧ-ｫ
    0x63, 0x65, 0x67,                                           // ｬ-ｮ
    0x43,                                                       // ｯ
    0x00,                                                       // ｰ
    0x22, 0x24, 0x26, 0x28, 0x2A,                               // ｱ-ｵ
    0xAB, 0xAD, 0xAF, 0xB1, 0xB3, 0xB5, 0xB7, 0xB9, 0xBB, 0xBD, // ｶ-ｿ
    0xBF, 0xC1, 0xC4, 0xC6, 0xC8,                               // ﾀ-ﾄ
    0x4A, 0x4B, 0x4C, 0x4D, 0x4E,                               // ﾅ-ﾉ
    0xCF, 0xD2, 0xD5, 0xD8, 0xDB,                               // ﾊ-ﾎ
    0x5E, 0x5F, 0x60, 0x61, 0x62,                               // ﾏ-ﾓ
    0x64, 0x66, 0x68,                                           // ﾔ-ﾖ
    0x69, 0x6A, 0x6B, 0x6C, 0x6D,                               // ﾗ-ﾛ
    0x6F,                                                       // ﾜ
    0x73,                                                       // ﾝ
    0x00, 0x00,                                                 // ﾞ ﾟ
};

// HalfSymbols[n] converts to the double-byte code at FullSymbols[2n], FullSymbols[2n + 1].
inline constexpr std::array<unsigned char, 39> HalfSymbols = {
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, //  ! " # $ % & ' ( )
    0x3D, 0x60, 0x7C, 0x2D, 0x5E, 0x5C, 0x7E, 0x7B, 0x40, 0x5B, // = ` | - ^ \ ~ { @ [
    0x2B, 0x2A, 0x7D, 0x3B, 0x3A, 0x5D, 0x3C, 0x3E, 0x3F, 0x5F, // + * } ; : ] < > ? _
    0xA4, 0xA1, 0xA5, 0x2C, 0x2E, 0x2F, 0xB0, 0xA2, 0xA3,       // ､ ｡ ･ , . / ｰ ｢ ｣
};

inline constexpr std::array<unsigned char, 78> FullSymbols = {
    0x81, 0x40, 0x81, 0x49, 0x81, 0x68, 0x81, 0x94, 0x81, 0x90, // 　！”＃＄
    0x81, 0x93, 0x81, 0x95, 0x81, 0x66, 0x81, 0x69, 0x81, 0x6A, // ％＆’（）
    0x81, 0x81, 0x81, 0x65, 0x81, 0x62, 0x81, 0x7C, 0x81, 0x4F, // ＝‘｜－＾
    0x81, 0x8F, 0x81, 0x50, 0x81, 0x6F, 0x81, 0x97, 0x81, 0x6D, // ￥￣｛＠［
    0x81, 0x7B, 0x81, 0x96, 0x81, 0x70, 0x81, 0x47, 0x81, 0x46, // ＋＊｝；：
    0x81, 0x6E, 0x81, 0x83, 0x81, 0x84, 0x81, 0x48, 0x81, 0x51, // ］＜＞？＿
    0x81, 0x41, 0x81, 0x42, 0x81, 0x45, 0x81, 0x43, 0x81, 0x44, // 、。・，．
    0x81, 0x5E, 0x81, 0x5B, 0x81, 0x75, 0x81, 0x76,             // ／ー「」
};

static_assert(FullSymbols.size() == 2 * HalfSymbols.size());

} // namespace henkan

} // namespace kpx
