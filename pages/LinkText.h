// Link texts and save names from file names. May touch: nothing (pure).
#pragma once

#include <string>
#include <string_view>

namespace kpx {

// Link texts and save names are attribute text in which a user may type
// character references (handset pictographs), so a page writes them with
// their references kept; these keep a file name's own text apart from them.

// True when `text`, which starts at an "&", begins a complete character
// reference: "&name;", "&#123;" or "&#x1F;".
bool BeginsCharacterReference(std::string_view text);

// The link text and save name a movie starts with, from its file name's base
// as text (UTF-8, or bytes that are neither UTF-8 nor CP932): half-width kana
// made full-width, each control byte shown as a blank, an "&" that would begin
// a reference written "&amp;", and a character CP932 lacks as a reference, so
// that the page shows the name as it is.
std::string LinkTextOfName(std::string_view baseNameText);

} // namespace kpx
