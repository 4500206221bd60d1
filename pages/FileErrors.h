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

// "ファイル「<file>」<failure>" and the reason on a second line; `failure` is
// CP932, for example Sjis("をコピーできません。").
std::string FileErrorMessage(const std::filesystem::path &file, std::string_view failure, int error);

// The path as CP932 for messages; characters it lacks get a visible mark.
std::string DisplayPath(const std::filesystem::path &path);

} // namespace kpx
