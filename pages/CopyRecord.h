// The record of copies made beside their movies, its text and its reading. May touch: the file system (reads the record).
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kpx {

// When the movie folder is the source folder, a run keeps there a record of
// the copies it made beside their movies (under a lower-cased or pattern
// name), so that the next scan knows them for certain instead of taking them
// for movies. Names are the file system's own bytes.

// The record's name in the folder: hidden, and no movie's.
inline constexpr char CopyRecordName[] = ".kinopage-copies";

struct TRecordedCopy
{
    enum class TState
    {
        Current,   // the copy of its movie as the run published it
        Stale,     // its movie is gone or published under another name; not yet named to the user
        StaleTold, // the same, named to the user once already
    };
    TState State = TState::Current;
    std::string Copy;
    std::string Movie;
    std::int64_t Size = 0;    // the movie's, as it was copied
    timespec Modified = {};   // the movie's modification time, as it was copied
};

// One line per copy, names escaped so that no byte of a name ends a field or
// a line.
std::string FormatCopyRecord(const std::vector<TRecordedCopy> &copies);

// Nullopt for text that is no record of this program's (garbled, cut short,
// another version): the scan then knows no copy for certain.
std::optional<std::vector<TRecordedCopy>> ParseCopyRecord(std::string_view text);

// The record of the folder open at `folder`; nullopt when there is none or
// it cannot be read.
std::optional<std::vector<TRecordedCopy>> ReadCopyRecord(int folder);

} // namespace kpx
