// Small rules on names: base name, extension, zero padding. May touch: nothing (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/AsciiChars.h"

namespace kpx {

// Small rules on names that pages, copies and the rename pattern share.

// The name before its last dot; the whole name when it has none.
std::string_view BaseName(std::string_view fileName);

// The last dot and what follows it; empty when the name has no dot.
std::string_view Extension(std::string_view fileName);

// `value` in decimal with at least `width` digits.
std::string ZeroPadded(int value, int width);

// A name as one field of one line: control bytes and the backslash written
// as \t, \n, \\ and \xHH, so that no name adds a line or a column.
std::string EscapedName(std::string_view name);

// The name back from EscapedName's text; nullopt for text it never gives.
std::optional<std::string> UnescapedName(std::string_view text);

} // namespace kpx
