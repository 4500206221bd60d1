#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include <sys/resource.h>

#include <QTemporaryDir>

namespace kpx::test {

// Readable hex dump of a byte string, for failure messages.
std::string Hex(std::string_view bytes);

// Whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path &path);
void WriteFileBytes(const std::filesystem::path &path, std::string_view bytes);

// Every file under a folder, by path relative to it, with its bytes: two
// snapshots compare equal exactly when nothing was written in between.
std::map<std::string, std::string> FolderContents(const std::filesystem::path &folder);

// The id of a process that has ended.
pid_t EndedProcessId();

// A fresh temporary folder per test, removed afterwards.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    std::filesystem::path path() const;
    // The folder as the core holds it: CP932 with a trailing delimiter.
    std::string cp932() const;
    std::filesystem::path operator/(std::string_view utf8Name) const;

private:
    QTemporaryDir FDir;
};

// Files written while it lives may grow to `bytes` at most; the write that
// would pass the limit fails part-way (EFBIG), as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit FSaved{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace kpx::test
