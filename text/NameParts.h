#pragma once

#include <string>
#include <string_view>

namespace kpx {

// Small rules on names that pages, copies and the rename pattern share.

// An ASCII letter lower-cased; any other byte as it is.
constexpr char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name before its last dot; the whole name when it has none.
std::string_view BaseName(std::string_view fileName);

// The last dot and what follows it; empty when the name has no dot.
std::string_view Extension(std::string_view fileName);

// `value` in decimal with at least `width` digits.
std::string ZeroPadded(int value, int width);

} // namespace kpx
