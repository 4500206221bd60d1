// Descriptors and bytes: open, read, write, copy. May touch: the file system.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace kpx {

// Descriptors and bytes. Paths here are the file system's own bytes, not
// code page 932.

// Owns one descriptor.
class TFileDescriptor
{
public:
    explicit TFileDescriptor(int fd = -1) : FFd(fd) {}
    ~TFileDescriptor() { Reset(-1); }
    TFileDescriptor(const TFileDescriptor &) = delete;
    TFileDescriptor &operator=(const TFileDescriptor &) = delete;

    int Get() const { return FFd; }
    void Reset(int fd);
    // Hands the descriptor over, unclosed.
    int Release() { return std::exchange(FFd, -1); }
    // Closes now, so that a failing close (a full disk on some file systems)
    // is seen: 0 or an errno; 0 when already closed.
    int Close();

private:
    int FFd;
};

// Whether an errno says the kernel or the file system has no such call or
// takes no such flag, so that another way is to be taken.
bool NotOffered(int error);

// Writes every byte: 0 or an errno.
int WriteAll(int fd, std::string_view bytes);

// Reads up to `size` bytes from the current offset, fewer only where the
// file ends: how many, or -1 with errno set.
ssize_t ReadUpTo(int fd, char *data, size_t size);

// Whether the next bytes of the regular file open at `fd` are exactly
// `expected` and, when `thenEnd`, the file ends with them. The one way two
// contents are compared.
bool NextBytesAre(int fd, std::string_view expected, bool thenEnd);

// Told the bytes copied so far, every CopyChunkBytes and at the end.
using TCopyProgress = std::function<void(std::uintmax_t bytesCopied)>;
constexpr std::uintmax_t CopyChunkBytes = 1 << 20;

// Copies up to `size` bytes of `in` to `out` from their current offsets,
// through the kernel where it can, a chunk at a time so that a window can
// repaint between chunks; fewer when `in` ends first. 0 or an errno;
// `copied` counts what was copied.
int CopyContents(int in, int out, std::uintmax_t size, const TCopyProgress &progress, std::uintmax_t &copied);

// Opens `name` of the folder open at `folder` to read, without waiting on
// what is no file and without touching its access time where that may be
// asked: a descriptor, or -1 with errno set.
int OpenToRead(int folder, const std::string &name);

// Opens the regular file `name` of the folder open at `folder` to read.
// Never blocks: a pipe, a socket or a device under the name is refused
// (NotRegularFileError) before a byte is read.
int OpenRegularFile(int folder, const std::string &name, TFileDescriptor &file, struct stat &info);

// The permission bits a new file gets from the process's umask.
mode_t CreationMode(mode_t requested);

} // namespace kpx
