#include "pages/CopyRecord.h"

#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/FileBytes.h"
#include "text/NameParts.h"

namespace kpx {

namespace {

constexpr std::string_view Header = "kinopage-copies 1\n";
// A record is a line of names per copy: one this large is no record of ours.
constexpr off_t MostBytes = 256 << 20;

constexpr char StateLetters[] = {'C', 'S', 'T'};

template <typename T>
bool ParseNumber(std::string_view text, T &value)
{
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), value).ptr == text.data() + text.size();
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}

std::optional<TRecordedCopy> ParseLine(std::string_view line)
{
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 5 || fields[0].size() != 1)
        return std::nullopt;
    TRecordedCopy copy;
    const auto letter = std::string_view(StateLetters, std::size(StateLetters)).find(fields[0][0]);
    if (letter == std::string_view::npos)
        return std::nullopt;
    copy.State = static_cast<TRecordedCopy::TState>(letter);
    std::optional<std::string> copyName = UnescapedName(fields[1]);
    std::optional<std::string> movieName = UnescapedName(fields[2]);
    const size_t dot = fields[4].find('.');
    if (!copyName || !movieName || copyName->empty() || movieName->empty() || !ParseNumber(fields[3], copy.Size)
        || dot == std::string_view::npos || !ParseNumber(fields[4].substr(0, dot), copy.Modified.tv_sec)
        || !ParseNumber(fields[4].substr(dot + 1), copy.Modified.tv_nsec))
        return std::nullopt;
    copy.Copy = std::move(*copyName);
    copy.Movie = std::move(*movieName);
    return copy;
}

} // namespace

std::string FormatCopyRecord(const std::vector<TRecordedCopy> &copies)
{
    std::string text(Header);
    for (const TRecordedCopy &copy : copies) {
        text += StateLetters[static_cast<int>(copy.State)];
        text += '\t' + EscapedName(copy.Copy) + '\t' + EscapedName(copy.Movie) + '\t' + std::to_string(copy.Size) + '\t'
                + std::to_string(copy.Modified.tv_sec) + '.' + std::to_string(copy.Modified.tv_nsec) + '\n';
    }
    return text;
}

std::optional<std::vector<TRecordedCopy>> ParseCopyRecord(std::string_view text)
{
    if (!text.starts_with(Header) || !text.ends_with('\n'))
        return std::nullopt;
    text.remove_prefix(Header.size());
    std::vector<TRecordedCopy> copies;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::optional<TRecordedCopy> copy = ParseLine(text.substr(0, end));
        if (!copy)
            return std::nullopt;
        copies.push_back(std::move(*copy));
        text.remove_prefix(end + 1);
    }
    return copies;
}

std::optional<std::vector<TRecordedCopy>> ReadCopyRecord(int folder)
{
    const TFileDescriptor file(::openat(folder, CopyRecordName, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat info = {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MostBytes)
        return std::nullopt;
    std::string text(static_cast<size_t>(info.st_size), '\0');
    if (ReadUpTo(file.Get(), text.data(), text.size()) != info.st_size)
        return std::nullopt;
    return ParseCopyRecord(text);
}

} // namespace kpx
