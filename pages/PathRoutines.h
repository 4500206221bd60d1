// Folder paths in code page 932 and the link between two folders. May touch: nothing (pure).
#pragma once

#include <string>
#include <string_view>

namespace kpx {

// Folder paths are code page 932 byte strings held with a trailing delimiter.
inline constexpr char PathDelim = '/';

std::string IncludePathDelimiter(std::string_view path);
std::string ExcludePathDelimiter(std::string_view path);
int CountPathDelimiters(std::string_view path);

// Relative link from the html folder to the movie folder: "" or a path ending
// in "/", climbing with "../". Compares whole folder names, letter case counts.
std::string GetRelativeLinkPath(std::string_view from, std::string_view to);

} // namespace kpx
