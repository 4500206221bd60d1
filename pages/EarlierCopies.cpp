#include "pages/EarlierCopies.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "pages/CopyRecord.h"
#include "pages/FileBytes.h"
#include "pages/RenamePattern.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

std::optional<struct stat> FolderStat(std::string_view cp932Folder)
{
    struct stat info{};
    if (cp932Folder.empty() || ::stat(Cp932ToNativePath(cp932Folder).c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return info;
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

bool ExistsAt(int folder, const std::string &name)
{
    struct stat info{};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// A read that comes short of the other only makes the files differ: the
// movie then keeps its own copy name, which is always safe.
bool SameBytes(int folder, const std::string &a, const std::string &b)
{
    const TFileDescriptor first(OpenToRead(folder, a));
    const TFileDescriptor second(OpenToRead(folder, b));
    if (first.Get() < 0 || second.Get() < 0)
        return false;
    constexpr size_t Chunk = 1 << 16;
    static thread_local std::array<char, Chunk> buffer;
    for (;;) {
        const ssize_t got = ReadUpTo(first.Get(), buffer.data(), Chunk);
        const bool atEnd = got >= 0 && static_cast<size_t>(got) < Chunk;
        if (got < 0 || !NextBytesAre(second.Get(), std::string_view(buffer.data(), static_cast<size_t>(got)), atEnd))
            return false;
        if (atEnd)
            return true;
    }
}

// The order in which serials were given: "mv01" before "mv02" before "mv100".
bool SerialOrder(const std::string &a, const std::string &b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

void KeepOnly(std::vector<TRecFileData> &entries, std::vector<std::string> &recorded, const std::vector<bool> &leaving)
{
    size_t kept = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (leaving[i])
            continue;
        if (kept != i) {
            entries[kept] = std::move(entries[i]);
            recorded[kept] = std::move(recorded[i]);
        }
        ++kept;
    }
    entries.resize(kept);
    recorded.resize(kept);
}

// The recorded copies leave the list; their movies take their names again.
void ApplyRecord(const std::vector<TRecordedCopy> &record, const TScanOptions &options,
                 std::vector<TRecFileData> &entries, std::vector<TLeftOutEntry> *leftOut)
{
    std::unordered_map<std::string, size_t> byName;
    for (size_t i = 0; i < entries.size(); ++i)
        byName.emplace(NativeFileName(entries[i]), i);
    std::vector<bool> leaving(entries.size());
    std::vector<std::string> recorded(entries.size());
    for (const TRecordedCopy &copy : record) {
        const auto copyEntry = byName.find(copy.Copy);
        const auto movie = byName.find(copy.Movie);
        const bool current = copy.State == TRecordedCopy::TState::Current && movie != byName.end();
        if (copyEntry != byName.end() && (movie == byName.end() || copyEntry->second != movie->second)) {
            leaving[copyEntry->second] = true;
            if (!current && copy.State != TRecordedCopy::TState::StaleTold && leftOut)
                leftOut->push_back({Utf8ToCp932Lossy(FileNameText(copy.Copy)), TLeftOutEntry::TReason::CopyOfGoneMovie});
        }
        if (current && recorded[movie->second].empty())
            recorded[movie->second] = Utf8ToCp932Lossy(FileNameText(copy.Copy));
    }
    KeepOnly(entries, recorded, leaving);
    AssignCopyNames(entries, options, recorded);
}

// Folders published before records were kept: a copy is known by its bytes,
// under a name the program could have given its movie.
bool AdoptByBytes(int folder, const TScanOptions &options, std::vector<TRecFileData> &entries,
                  const TScanProgress &progress)
{
    // A file published under its own plain name can be an earlier copy; a
    // movie that needs another name can have one. Sizes first: only those
    // that agree are looked at.
    std::vector<size_t> movies;
    std::unordered_set<std::int64_t> movieSizes;
    std::unordered_map<std::int64_t, std::vector<size_t>> copiesBySize;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TRecFileData &entry = entries[i];
        const std::optional<std::string> plain = PlainCopyName(entry.OrgName, options.LowerCase);
        if (!plain || *plain != entry.CopyName) {
            movies.push_back(i);
            movieSizes.insert(entry.FileSize);
        } else if (Cp932ToNativeName(entry.OrgName) == NativeFileName(entry)) { // its name spells the file
            copiesBySize[entry.FileSize].push_back(i);
        }
    }
    std::map<TStamp, std::vector<size_t>> copies;
    for (auto &[size, candidates] : copiesBySize) {
        if (!movieSizes.contains(size))
            continue;
        for (const size_t c : candidates)
            if (const std::optional<TStamp> stamp = StampAt(folder, NativeFileName(entries[c])))
                copies[*stamp].push_back(c);
    }
    for (auto &[stamp, candidates] : copies)
        std::sort(candidates.begin(), candidates.end(),
                  [&](size_t a, size_t b) { return SerialOrder(entries[a].OrgName, entries[b].OrgName); });

    const TPatternCopyNames patternNames(options.RenamePattern);
    const auto couldBeCopyOf = [&](const TRecFileData &copy, const TRecFileData &movie) {
        return copy.OrgName == FoldAsciiCase(movie.OrgName) || patternNames.Holds(copy.OrgName);
    };
    // Movie index -> the copy it is published through.
    std::vector<std::pair<size_t, size_t>> adopted;
    std::vector<bool> taken(entries.size());
    std::size_t compared = 0;
    for (const size_t m : movies) {
        if (!copiesBySize.contains(entries[m].FileSize))
            continue;
        const std::optional<TStamp> stamp = StampAt(folder, NativeFileName(entries[m]));
        const auto found = stamp ? copies.find(*stamp) : copies.end();
        if (found == copies.end())
            continue;
        if (progress && !progress(++compared))
            return false;
        for (const size_t c : found->second) {
            if (!taken[c] && couldBeCopyOf(entries[c], entries[m])
                && SameBytes(folder, NativeFileName(entries[m]), NativeFileName(entries[c]))) {
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
    std::vector<std::string> unused(entries.size());
    KeepOnly(entries, unused, taken);
    return true;
}

// What the record says after a run: the copies of the run's movies, and of
// the earlier record the copies still there. A stale copy was named by the
// scan before the run; one that goes stale now is named by the next.
std::vector<TRecordedCopy> RecordAfterRun(int folder, const TEntryList &entries,
                                          const std::optional<std::vector<TRecordedCopy>> &earlier)
{
    using TState = TRecordedCopy::TState;
    std::vector<TRecordedCopy> record;
    std::unordered_set<std::string> copies, movies;
    for (int k = 0; k < PublishedCount(entries); ++k) {
        const TRecFileData &entry = entries.FEntries[static_cast<size_t>(k)];
        std::string movie = NativeFileName(entry);
        std::string copy = Cp932ToNativeName(entry.CopyName);
        struct stat info{};
        if (copy == movie || ::fstatat(folder, movie.c_str(), &info, 0) != 0)
            continue;
        copies.insert(copy);
        movies.insert(movie);
        record.push_back({TState::Current, std::move(copy), std::move(movie), info.st_size, info.st_mtim});
    }
    if (!earlier)
        return record;
    for (TRecordedCopy copy : *earlier) {
        if (copies.contains(copy.Copy) || !ExistsAt(folder, copy.Copy))
            continue;
        if (copy.State != TState::Current)
            copy.State = TState::StaleTold;
        else if (!ExistsAt(folder, copy.Movie))
            copy.State = TState::StaleTold;
        else if (movies.contains(copy.Movie))
            copy.State = TState::Stale; // its movie has another copy now
        record.push_back(std::move(copy));
    }
    return record;
}

} // namespace

bool SameFolder(std::string_view a, std::string_view b)
{
    const std::optional<struct stat> first = FolderStat(a);
    const std::optional<struct stat> second = FolderStat(b);
    return first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino;
}

bool ScanPublication(std::string_view sourceDir, std::string_view htmlDir, std::string_view movieDir,
                     TScanOptions options, std::vector<TRecFileData> &entries, const TScanProgress &progress,
                     std::vector<TLeftOutEntry> *leftOut)
{
    options.FolderIsWritten = SameFolder(sourceDir, movieDir) || SameFolder(sourceDir, htmlDir);
    return ScanSourceFolder(sourceDir, options, entries, progress, leftOut)
           && AdoptEarlierCopies(sourceDir, movieDir, options, entries, progress, leftOut);
}

bool AdoptEarlierCopies(std::string_view sourceDir, std::string_view movieDir, const TScanOptions &options,
                        std::vector<TRecFileData> &entries, const TScanProgress &progress,
                        std::vector<TLeftOutEntry> *leftOut)
{
    if (!SameFolder(sourceDir, movieDir))
        return true;
    const TFileDescriptor folder(::open(Cp932ToNativePath(sourceDir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() < 0)
        return true;
    if (const std::optional<std::vector<TRecordedCopy>> record = ReadCopyRecord(folder.Get())) {
        ApplyRecord(*record, options, entries, leftOut);
        return true;
    }
    return AdoptByBytes(folder.Get(), options, entries, progress);
}

int KeepCopyRecord(const TOpenFolder &folder, const TEntryList &entries, TPlacementWays &ways)
{
    if (folder.Fd() < 0)
        return folder.OpenError();
    const std::optional<std::vector<TRecordedCopy>> earlier = ReadCopyRecord(folder.Fd());
    const std::vector<TRecordedCopy> record = RecordAfterRun(folder.Fd(), entries, earlier);
    if (!earlier && record.empty())
        return 0;
    const std::string text = FormatCopyRecord(record);
    if (earlier && text == FormatCopyRecord(*earlier))
        return 0; // a republication leaves the folder as it was
    TAtomicFile file({folder, CopyRecordName}, true, text.size(), 0666, ways);
    if (const int error = file.Open())
        return error;
    if (const int error = WriteAll(file.Fd(), text))
        return error;
    return file.Commit(true);
}

} // namespace kpx
