#include "pages/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "pages/TestSeams.h"

namespace kpx {

void TFileDescriptor::Reset(int fd)
{
    if (FFd >= 0)
        CloseDescriptor(FFd);
    FFd = fd;
}

int TFileDescriptor::Close()
{
    if (FFd < 0)
        return 0;
    const int rc = CloseDescriptor(FFd);
    FFd = -1;
    return rc == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno != EINTR)
            return errno;
        if (n > 0)
            bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

bool NotOffered(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

bool NextBytesAre(int fd, std::string_view expected, bool thenEnd)
{
    // A byte more than expected tells a file that goes on; a regular file
    // gives all it has in one read, so most calls make one.
    std::string held(expected.size() + (thenEnd ? 1 : 0), '\0');
    size_t got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, held.data() + got, held.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        got += static_cast<size_t>(n);
        // A read that comes back short once all is there has met the end.
        if (n == 0 || got >= expected.size())
            break;
    }
    return got == expected.size() && std::string_view(held.data(), got) == expected;
}

ssize_t ReadUpTo(int fd, char *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

int CopyContents(int in, int out, std::uintmax_t size, const TCopyProgress &progress, std::uintmax_t &copied)
{
    bool kernelCopy = true;
    std::uintmax_t reported = 0;
    copied = 0;
    while (copied < size) {
        const size_t wanted = static_cast<size_t>(std::min(size - copied, CopyChunkBytes));
        ssize_t n;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, wanted, 0);
            if (n < 0 && (errno == EXDEV || NotOffered(errno))) {
                kernelCopy = false;
                continue;
            }
        } else {
            char buffer[1 << 16];
            n = ::read(in, buffer, std::min(sizeof buffer, wanted));
            if (n > 0)
                if (const int error = WriteAll(out, std::string_view(buffer, static_cast<size_t>(n))))
                    return error;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        copied += static_cast<std::uintmax_t>(n);
        if (progress && copied < size && copied - reported >= CopyChunkBytes) {
            progress(copied);
            reported = copied;
        }
    }
    if (progress)
        progress(copied);
    return 0;
}

int OpenToRead(int folder, const std::string &name)
{
    // Reading leaves the access time alone: publishing writes nothing it need
    // not, to the source disk least of all. Only the owner may ask that;
    // anyone else reads as usual.
    constexpr int Flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::openat(folder, name.c_str(), Flags | O_NOATIME);
    return fd < 0 && errno == EPERM ? ::openat(folder, name.c_str(), Flags) : fd;
}

int OpenRegularFile(int folder, const std::string &name, TFileDescriptor &file, struct stat &info)
{
    file.Reset(OpenToRead(folder, name));
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0)
        return errno;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    return S_ISREG(info.st_mode) ? 0 : NotRegularFileError;
}

} // namespace kpx
