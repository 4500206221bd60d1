#include "pages/PathRoutines.h"

#include "text/Cp932Walk.h"

namespace kpx {

namespace {

// True when the last byte is a delimiter standing alone, not the second byte
// of a double-byte character. A lead byte before a delimiter stands alone, so
// the delimiter after it still counts and adding one is never done twice.
bool EndsWithDelimiter(std::string_view path)
{
    if (path.empty() || path.back() != PathDelim)
        return false;
    size_t i = 0;
    size_t lastStart = 0;
    while (i < path.size()) {
        lastStart = i;
        i += Cp932CharLength(path, i);
    }
    return lastStart == path.size() - 1;
}

// The system reads "a//b/" as "a/b/"; an empty name between two delimiters
// must not count as a folder to climb out of.
std::string CollapseDelimiters(std::string_view path)
{
    std::string result;
    result.reserve(path.size());
    bool afterDelimiter = false;
    for (size_t i = 0; i < path.size();) {
        const size_t length = Cp932CharLength(path, i);
        const bool isDelimiter = length == 1 && path[i] == PathDelim;
        if (!(isDelimiter && afterDelimiter))
            result += path.substr(i, length);
        afterDelimiter = isDelimiter;
        i += length;
    }
    return result;
}

} // namespace

std::string IncludePathDelimiter(std::string_view path)
{
    std::string result(path);
    if (!EndsWithDelimiter(path))
        result += PathDelim;
    return result;
}

std::string ExcludePathDelimiter(std::string_view path)
{
    if (EndsWithDelimiter(path))
        path.remove_suffix(1);
    return std::string(path);
}

int CountPathDelimiters(std::string_view path)
{
    int count = 0;
    for (char c : path)
        count += c == PathDelim;
    return count;
}

std::string GetRelativeLinkPath(std::string_view fromFolder, std::string_view toFolder)
{
    const std::string fromWithDelim = IncludePathDelimiter(CollapseDelimiters(fromFolder));
    const std::string toWithDelim = IncludePathDelimiter(CollapseDelimiters(toFolder));
    std::string_view from = fromWithDelim;
    std::string_view to = toWithDelim;
    while (!from.empty()) {
        const size_t length = from.find(PathDelim) + 1; // from always ends with a delimiter
        if (to.substr(0, length) != from.substr(0, length))
            break;
        from.remove_prefix(length);
        to.remove_prefix(length);
    }
    std::string link;
    for (int i = CountPathDelimiters(from); i > 0; --i)
        link += "../";
    // Links always use "/"; only whole single-byte characters are delimiters.
    for (size_t i = 0; i < to.size();) {
        const size_t length = Cp932CharLength(to, i);
        if (length == 1 && to[i] == PathDelim)
            link += '/';
        else
            link += to.substr(i, length);
        i += length;
    }
    return link;
}

} // namespace kpx
