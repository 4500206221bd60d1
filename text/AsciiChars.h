// ASCII character classes. May touch: nothing (pure).
#pragma once

namespace kpx {

// ASCII character classes, independent of the locale. In CP932 text a byte
// below 0x80 that is no trail byte is the ASCII character itself.

constexpr bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

constexpr bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr bool IsAsciiHexDigit(char c)
{
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// An ASCII letter lower-cased; any other byte as it is.
constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// An ASCII letter upper-cased; any other byte as it is.
constexpr char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace kpx
