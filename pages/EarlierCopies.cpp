#include "pages/EarlierCopies.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "pages/EntryList.h"
#include "pages/FileBytes.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

std::optional<struct stat> FolderStat(std::string_view cp932Folder)
{
    struct stat info{};
    if (cp932Folder.empty() || ::stat(Cp932ToNativePath(cp932Folder).c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return info;
}

// Whatever names lead to them (a link, another spelling of the path).
bool SameFolder(std::string_view a, std::string_view b)
{
    const std::optional<struct stat> first = FolderStat(a);
    const std::optional<struct stat> second = FolderStat(b);
    return first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino;
}

// Size and modification time of a regular file, as an update run compares them.
using TStamp = std::pair<off_t, time_t>;

std::optional<TStamp> StampAt(int folder, const std::string &name)
{
    struct stat info{};
    if (::fstatat(folder, name.c_str(), &info, 0) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return TStamp{info.st_size, info.st_mtim.tv_sec};
}

// A read that comes short of the other only makes the files differ: the
// movie then keeps its own copy name, which is always safe.
bool SameBytes(int folder, const std::string &a, const std::string &b)
{
    // O_NONBLOCK: a name that became a pipe since the scan must not hang it.
    constexpr int Flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    const TFileDescriptor first(::openat(folder, a.c_str(), Flags));
    const TFileDescriptor second(::openat(folder, b.c_str(), Flags));
    if (first.Get() < 0 || second.Get() < 0)
        return false;
    constexpr size_t Chunk = 1 << 16;
    static thread_local std::array<char, 2 * Chunk> buffer;
    for (;;) {
        const ssize_t got = ::read(first.Get(), buffer.data(), Chunk);
        if (got < 0 || ::read(second.Get(), buffer.data() + Chunk, Chunk) != got
            || std::memcmp(buffer.data(), buffer.data() + Chunk, static_cast<size_t>(got)) != 0)
            return false;
        if (got == 0)
            return true;
    }
}

// The order in which serials were given: "mv01" before "mv02" before "mv100".
bool SerialOrder(const std::string &a, const std::string &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

} // namespace

bool AdoptEarlierCopies(std::string_view sourceDir, std::string_view movieDir, const TScanOptions &options,
                        std::vector<TRecFileData> &entries, const TScanProgress &progress)
{
    if (!SameFolder(sourceDir, movieDir))
        return true;
    const TFileDescriptor folder(::open(Cp932ToNativePath(sourceDir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return true;

    // A file published under its own plain name can be an earlier copy; a
    // pattern-named movie can have one. Sizes first: only those that agree
    // are looked at.
    std::vector<size_t> movies;
    std::unordered_set<std::int64_t> movieSizes;
    std::unordered_map<std::int64_t, std::vector<size_t>> copiesBySize;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TRecFileData &entry = entries[i];
        const std::optional<std::string> plain = PlainCopyName(entry.OrgName, options.LowerCase);
        if (!plain || *plain != entry.CopyName) {
            movies.push_back(i);
            movieSizes.insert(entry.FileSize);
        } else if (Cp932ToNativePath(entry.OrgName).native() == NativeFileName(entry)) { // its name spells the file
            copiesBySize[entry.FileSize].push_back(i);
        }
    }
    std::map<TStamp, std::vector<size_t>> copies;
    for (auto &[size, candidates] : copiesBySize) {
        if (!movieSizes.contains(size))
            continue;
        for (const size_t c : candidates)
            if (const std::optional<TStamp> stamp = StampAt(folder.Get(), NativeFileName(entries[c])))
                copies[*stamp].push_back(c);
    }
    for (auto &[stamp, candidates] : copies)
        std::sort(candidates.begin(), candidates.end(),
                  [&](size_t a, size_t b) { return SerialOrder(entries[a].OrgName, entries[b].OrgName); });

    // Movie index -> the copy it is published through.
    std::vector<std::pair<size_t, size_t>> adopted;
    std::vector<bool> taken(entries.size());
    std::size_t compared = 0;
    for (const size_t m : movies) {
        if (!copiesBySize.contains(entries[m].FileSize))
            continue;
        const std::optional<TStamp> stamp = StampAt(folder.Get(), NativeFileName(entries[m]));
        const auto found = stamp ? copies.find(*stamp) : copies.end();
        if (found == copies.end())
            continue;
        if (progress && !progress(++compared))
            return false;
        for (const size_t c : found->second) {
            if (!taken[c] && SameBytes(folder.Get(), NativeFileName(entries[m]), NativeFileName(entries[c]))) {
                taken[c] = true;
                adopted.emplace_back(m, c);
                break;
            }
        }
    }
    if (adopted.empty())
        return true;

    // The copy's own copy name, which only letter case can tell from its
    // name, was unique folded and leaves with it: the names stay unique.
    for (const auto &[m, c] : adopted)
        entries[m].CopyName = entries[c].OrgName;
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (taken[i])
            continue;
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
    return true;
}

} // namespace kpx
