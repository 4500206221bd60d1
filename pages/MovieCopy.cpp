#include "pages/MovieCopy.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "text/Cp932.h"

namespace kpx {

namespace fs = std::filesystem;

namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now so that a failing close (a full disk on some file systems) is seen.
    int close()
    {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }

private:
    int m_fd;
};

// Copies the whole of `in` to `out` through the kernel, a chunk at a time so
// that a window can repaint between chunks; returns 0 or an errno.
int CopyContents(int in, int out, const TCopyProgress &progress)
{
    bool kernelCopy = true;
    std::uintmax_t copied = 0;
    std::uintmax_t reported = 0;
    for (;;) {
        ssize_t n;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, CopyChunkBytes, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else {
            char buffer[1 << 16];
            n = ::read(in, buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t written = ::write(out, buffer + done, static_cast<size_t>(n - done));
                if (written < 0) {
                    if (errno == EINTR)
                        continue;
                    return errno;
                }
                done += written;
            }
        }
        if (n > 0)
            copied += static_cast<std::uintmax_t>(n);
        if (progress && (n == 0 || copied - reported >= CopyChunkBytes)) {
            progress(copied);
            reported = copied;
        }
        if (n == 0)
            return 0;
        if (n < 0 && errno != EINTR)
            return errno;
    }
}

// Creates a fresh hidden file beside `destination`; its path goes to
// `tempPath`. The name does not grow with the destination's, so every name the
// file system takes can be copied to.
int CreateTempBeside(const fs::path &destination, fs::path &tempPath, int &error)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = destination.parent_path()
                   / (".kpx" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp");
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            error = errno;
            return fd;
        }
    }
    error = EEXIST;
    return -1;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

TCopyResult Fail(TUserPrompt &prompt, const fs::path &file, const char *failureUtf8, int error)
{
    prompt.Error(FileErrorMessage(file, Sjis(failureUtf8), error));
    return TCopyResult::Failed;
}

TCopyResult KeepSource(TUserPrompt &prompt, const fs::path &destination)
{
    prompt.Error(Sjis("ファイル「") + DisplayPath(destination) + Sjis("」は元の動画ファイルなので、置き換えません。"));
    return TCopyResult::Failed;
}

bool MayReplace(const fs::path &destination, TUserPrompt &prompt)
{
    return prompt.Ask(Sjis("ファイル「") + DisplayPath(destination) + Sjis("」は既に存在します。\r\n置き換えますか？"));
}

// Renames `source` onto `destination`, replacing it only when `replace`; on
// another file system, or where a rename cannot refuse to replace, it copies.
TCopyResult MoveFile(const fs::path &source, const fs::path &destination, bool replace, TUserPrompt &prompt)
{
    const int rc = replace ? ::rename(source.c_str(), destination.c_str())
                           : ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE);
    if (rc == 0)
        return TCopyResult::Copied;
    // EEXIST: the destination appeared since it was looked at; the copy asks.
    if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EEXIST)
        return ShellCopyFile(source, destination, replace, prompt);
    return Fail(prompt, destination, "へコピーできません。", errno);
}

} // namespace

TOverwritePolicy OverwritePolicyFromIndex(int index)
{
    return index >= 0 && index <= 3 ? static_cast<TOverwritePolicy>(index) : TOverwritePolicy::Confirm;
}

TCopyResult ShellCopyFile(const fs::path &source, const fs::path &destination, bool overwriteSilently,
                          TUserPrompt &prompt, const TCopyProgress &progress)
{
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat{};
    if (in.get() < 0 || ::fstat(in.get(), &sourceStat) != 0)
        return Fail(prompt, source, "を読み込めません。", errno);
    if (S_ISDIR(sourceStat.st_mode))
        return Fail(prompt, source, "を読み込めません。", EISDIR);

    struct stat destinationStat{};
    if (::stat(destination.c_str(), &destinationStat) == 0) {
        if (SameFile(sourceStat, destinationStat))
            return TCopyResult::SameFile;
        if (!overwriteSilently && !MayReplace(destination, prompt))
            return TCopyResult::Declined;
    }

    fs::path tempPath;
    int error = 0;
    FileDescriptor out(CreateTempBeside(destination, tempPath, error));
    if (out.get() < 0)
        return Fail(prompt, destination, "を作成できません。", error);

    error = CopyContents(in.get(), out.get(), progress);
    if (error == 0 && out.close() != 0)
        error = errno;
    if (error == 0 && ::rename(tempPath.c_str(), destination.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempPath.c_str());
        return Fail(prompt, destination, "へコピーできません。", error);
    }
    return TCopyResult::Copied;
}

TRunSources::TRunSources(std::vector<fs::path> files) : FFiles(std::move(files)) {}

bool TRunSources::Holds(dev_t device, ino_t inode) const
{
    if (!FLookedUp) {
        for (const fs::path &file : FFiles) {
            struct stat info{};
            if (::stat(file.c_str(), &info) == 0)
                FIdentities.emplace(info.st_dev, info.st_ino);
        }
        FLookedUp = true;
    }
    return FIdentities.count({device, inode}) > 0;
}

TDestination FindDestination(const fs::path &source, const fs::path &destination, const TRunSources *sources)
{
    struct stat destinationStat{};
    if (::stat(destination.c_str(), &destinationStat) != 0)
        return TDestination::Missing; // what cannot be looked at, the copy reports

    struct stat sourceStat{};
    if (::stat(source.c_str(), &sourceStat) == 0 && SameFile(sourceStat, destinationStat))
        return TDestination::TheSource;
    if (sources && sources->Holds(destinationStat.st_dev, destinationStat.st_ino))
        return TDestination::AnotherSource;
    return TDestination::Other;
}

TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination)
{
    if (destination == TDestination::Missing)
        return TCopyAction::Copy;
    switch (policy) {
    case TOverwritePolicy::Confirm:
    case TOverwritePolicy::Overwrite:
        if (destination == TDestination::TheSource)
            return TCopyAction::KeepSameFile;
        if (destination == TDestination::AnotherSource)
            return TCopyAction::KeepSource;
        return policy == TOverwritePolicy::Confirm ? TCopyAction::AskToReplace : TCopyAction::Replace;
    case TOverwritePolicy::Skip:
    case TOverwritePolicy::WarnAndStop:
        break;
    }
    return TCopyAction::Skip;
}

TCopyResult CopyUnderPolicy(const fs::path &source, const fs::path &destination, TOverwritePolicy policy,
                            TUserPrompt &prompt, const TCopyProgress &progress, const TRunSources *sources)
{
    switch (DecideCopy(policy, FindDestination(source, destination, sources))) {
    case TCopyAction::Copy:
    case TCopyAction::AskToReplace:
        return ShellCopyFile(source, destination, false, prompt, progress);
    case TCopyAction::Replace:
        return ShellCopyFile(source, destination, true, prompt, progress);
    case TCopyAction::KeepSameFile:
        return TCopyResult::SameFile;
    case TCopyAction::KeepSource:
        return KeepSource(prompt, destination);
    case TCopyAction::Skip:
        break;
    }
    return TCopyResult::Skipped;
}

TCopyResult MoveUnderPolicy(const fs::path &source, const fs::path &destination, TOverwritePolicy policy,
                            TUserPrompt &prompt, const TRunSources *sources)
{
    switch (DecideCopy(policy, FindDestination(source, destination, sources))) {
    case TCopyAction::Copy:
        return MoveFile(source, destination, false, prompt);
    case TCopyAction::AskToReplace:
        if (!MayReplace(destination, prompt))
            return TCopyResult::Declined;
        [[fallthrough]];
    case TCopyAction::Replace:
        return MoveFile(source, destination, true, prompt);
    case TCopyAction::KeepSameFile:
        return TCopyResult::SameFile;
    case TCopyAction::KeepSource:
        return KeepSource(prompt, destination);
    case TCopyAction::Skip:
        break;
    }
    return TCopyResult::Skipped;
}

bool PreCheckTargets(const TEntryList &entries, const std::string &movieDir, const std::string &htmlDir,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt)
{
    const auto exists = [](const std::string &cp932Path) {
        std::error_code ec;
        return fs::exists(Cp932ToNativePath(cp932Path), ec);
    };
    const auto conflict = [&prompt](const char *folderUtf8, const std::string &name) {
        prompt.Warning(Sjis(folderUtf8) + Sjis("ディレクトリに同名のファイル「") + name + Sjis("」が") + "\r\n"
                       + Sjis("存在しますので、実行を中止します。"));
        return false;
    };
    for (const TRecFileData &entry : entries.FEntries)
        if (exists(movieDir + entry.CopyName))
            return conflict("ezmovie", entry.CopyName);
    for (int r = 0; r < entries.FPageCount && r < static_cast<int>(pageNames.size()); ++r)
        if (exists(htmlDir + pageNames[r]))
            return conflict("html", pageNames[r]);
    return true;
}

} // namespace kpx
