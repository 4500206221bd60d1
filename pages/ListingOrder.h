// The order in which a Windows folder listing gives names. May touch: nothing (pure).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/RecFileData.h"

namespace kpx {

// Negative, zero or positive as `a` lists before, with or after `b` in a
// Windows folder listing: by name, ASCII letters compared as upper case,
// everything else by UTF-16 code unit.
int CompareListing(std::string_view a, std::string_view b);

// Puts the entries in listing order of their names' text: `otherTexts[i]`
// where it is not empty (a CP932 name read as text), else NativeName. Names
// that differ only in letter case list alike; their own bytes then decide, so
// the order never depends on the sort.
void SortInListingOrder(std::vector<TRecFileData> &entries, const std::vector<std::string> &otherTexts);

} // namespace kpx
