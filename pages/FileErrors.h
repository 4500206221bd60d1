// Errno values and file failures in Japanese. May touch: nothing (pure).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kpx {

// Reasons of our own beside errno's, negative so as never to meet one.
constexpr int NotRegularFileError = -1; // a pipe, a socket or a device where a file was expected
constexpr int SourceChangedError = -2;  // the source was written to while it was copied, twice

// The reason for an errno value, or one of ours, in Japanese (CP932).
std::string DescribeErrno(int error);

// A step of putting files in place that can fail.
enum class TFileStep
{
    ReadSource, // the movie could not be opened or read
    Create,     // the file could not be made in its folder
    CopyInto,   // the movie's bytes could not be copied into it, or it not put in place
    Write,      // the page's or record's bytes could not be written
    KeepSource, // it is another movie of the run's source, which is never replaced
    WriteOut,   // what was written in a folder could not be put on disk
};

// What failed: the step, an errno or one of ours above, and the file (or
// folder) as the file system names it. Engine calls return it; FailureText
// alone words it.
struct TFileFailure
{
    TFileStep Step = TFileStep::Create;
    int Error = 0;
    std::string Path;
};

// The message for the user, CP932: the file, what failed and, on a second
// line, why.
std::string FailureText(const TFileFailure &failure);

// The path as CP932 for messages; characters it lacks get a visible mark.
std::string DisplayPath(const std::filesystem::path &path);

} // namespace kpx
