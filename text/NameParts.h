// Small rules on names: base name, extension, zero padding. May touch: nothing (pure).
#pragma once

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

} // namespace kpx
