#include "pages/MovieCopy.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

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
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
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

// Whether `file` holds exactly `bytes` (a page written before).
bool HoldsBytes(const std::string &file, std::string_view bytes)
{
    FileDescriptor in(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info{};
    if (in.get() < 0 || ::fstat(in.get(), &info) != 0 || static_cast<std::uintmax_t>(info.st_size) != bytes.size())
        return false;
    std::string held(bytes.size(), '\0');
    for (size_t done = 0; done < held.size();) {
        const ssize_t n = ::read(in.get(), held.data() + done, held.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return held == bytes;
}

// Copies `size` bytes of `in` (the file as it was when opened, less if it
// shrank) to `out` through the kernel, a chunk at a time so that a window can
// repaint between chunks; returns 0 or an errno.
int CopyContents(int in, int out, std::uintmax_t size, const TCopyProgress &progress)
{
    bool kernelCopy = true;
    std::uintmax_t copied = 0;
    std::uintmax_t reported = 0;
    while (copied < size) {
        const size_t wanted = static_cast<size_t>(std::min(size - copied, CopyChunkBytes));
        ssize_t n;
        if (kernelCopy) {
            n = ::copy_file_range(in, nullptr, out, nullptr, wanted, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
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

bool UnnamedFilesUsed = true;

// Giving an unnamed file a name goes through its /proc entry (a link by
// descriptor alone needs a privilege a user does not have).
bool UnnamedFilesPossible()
{
    static const bool procMounted = ::access("/proc/self/fd", X_OK) == 0;
    return UnnamedFilesUsed && procMounted;
}

std::string FolderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Short and never derived from the destination's name, so that every name
// the file system takes can be written.
std::string HiddenNameBeside(const std::string &destination)
{
    static const std::string process = std::to_string(::getpid());
    static unsigned counter = 0;
    return FolderOf(destination) + "/.kpx" + process + "-" + std::to_string(++counter) + ".tmp";
}

// Holds off the signals that end a process (Ctrl+C, a logout, kill) while a
// file under its final name is being filled: it ends complete, and the
// signal ends the process right after.
class THeldTermination
{
public:
    THeldTermination()
    {
        sigset_t held;
        ::sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            ::sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &FPrevious);
    }
    ~THeldTermination() { ::pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr); }
    THeldTermination(const THeldTermination &) = delete;
    THeldTermination &operator=(const THeldTermination &) = delete;

private:
    sigset_t FPrevious;
};

enum class TPut
{
    New,
    Replace,
};

// A file the kernel fills in one call is made under its final name at once,
// with termination held off: no other way is as cheap, and the file is never
// seen partial. Larger ones take longer than holding off a Ctrl+C should.
constexpr std::uintmax_t OneCallBytes = CopyChunkBytes;

// A new file's contents before it is in place. A failure or a termination
// never leaves a partial file under the destination's name, and what is not
// placed goes. Three ways:
// - a small new file: under its own name at once, created exclusively, with
//   termination held off until complete, removed again on a failure;
// - otherwise a file without a name in the destination's folder, given its
//   name when complete;
// - where the file system has no such files, a hidden name beside the
//   destination, created exclusively and never through a link.
class TPendingFile
{
public:
    // `error` gets 0 or the errno that kept the file from being made; EEXIST
    // when a new file's name is taken after all.
    TPendingFile(const std::string &destination, TPut put, std::uintmax_t size, int &error)
    {
        if (put == TPut::New && size <= OneCallBytes) {
            FHeld.emplace();
            FFd.reset(::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            error = FFd.get() >= 0 ? 0 : errno;
            if (error == 0)
                FUnfinishedName = destination;
            else
                FHeld.reset();
            return;
        }
        if (UnnamedFilesPossible()) {
            FFd.reset(::open(FolderOf(destination).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
            error = FFd.get() >= 0 ? 0 : errno;
            // EOPNOTSUPP: this file system has no unnamed files; EISDIR: nor has the kernel.
            if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
                return;
        }
        error = CreateHidden(destination);
    }
    ~TPendingFile()
    {
        FFd.reset(-1);
        if (!FUnfinishedName.empty())
            ::unlink(FUnfinishedName.c_str());
    }
    TPendingFile(const TPendingFile &) = delete;
    TPendingFile &operator=(const TPendingFile &) = delete;

    int Fd() const { return FFd.get(); }

    // After the contents: 0 or an errno. A named file is closed now, so that a
    // failure to write it out is seen before it counts as complete.
    int Complete()
    {
        if (FUnfinishedName.empty())
            return 0; // without a name: closed once it has one
        const int error = FFd.close() != 0 ? errno : 0;
        if (FHeld && error == 0)
            FUnfinishedName.clear(); // made under its own name: in place
        FHeld.reset();
        return error;
    }

    // Gives the complete file the destination's name: 0 or an errno, EEXIST
    // when the name is taken and not to be replaced.
    int Place(const std::string &destination, bool replace)
    {
        if (FUnfinishedName.empty() && FFd.get() < 0)
            return 0; // made under its own name
        if (FUnfinishedName.empty() && !replace) {
            const std::string self = "/proc/self/fd/" + std::to_string(FFd.get());
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, destination.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                                            : errno;
        }
        // Replacing needs a rename, and a rename needs a name to start from.
        if (FUnfinishedName.empty())
            if (const int error = NameBeside(destination))
                return error;
        const int rc = replace ? ::rename(FUnfinishedName.c_str(), destination.c_str())
                               : ::renameat2(AT_FDCWD, FUnfinishedName.c_str(), AT_FDCWD, destination.c_str(),
                                             RENAME_NOREPLACE);
        if (rc != 0)
            return !replace && (errno == EINVAL || errno == ENOSYS) ? LinkWithoutReplacing(destination) : errno;
        FUnfinishedName.clear();
        return 0;
    }

private:
    int CreateHidden(const std::string &destination)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            FUnfinishedName = HiddenNameBeside(destination);
            FFd.reset(::open(FUnfinishedName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (FFd.get() >= 0)
                return 0;
            if (errno != EEXIST)
                break;
        }
        FUnfinishedName.clear();
        return errno;
    }

    // Links the unnamed file under a hidden name of its own.
    int NameBeside(const std::string &destination)
    {
        const std::string self = "/proc/self/fd/" + std::to_string(FFd.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = HiddenNameBeside(destination);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                FUnfinishedName = std::move(name);
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    // Where a rename cannot refuse to replace, a link can.
    int LinkWithoutReplacing(const std::string &destination)
    {
        if (::link(FUnfinishedName.c_str(), destination.c_str()) != 0)
            return errno;
        ::unlink(FUnfinishedName.c_str());
        FUnfinishedName.clear();
        return 0;
    }

    FileDescriptor FFd;
    std::string FUnfinishedName; // the name the file has while not complete and in place
    std::optional<THeldTermination> FHeld;
};

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

TCopyResult Fail(TUserPrompt &prompt, const std::string &file, const char *failureUtf8, int error)
{
    prompt.Error(FileErrorMessage(file, Sjis(failureUtf8), error));
    return TCopyResult::Failed;
}

TCopyResult KeepSource(TUserPrompt &prompt, const std::string &destination)
{
    prompt.Error(Sjis("ファイル「") + DisplayPath(destination) + Sjis("」は元の動画ファイルなので、置き換えません。"));
    return TCopyResult::Failed;
}

bool MayReplace(const std::string &destination, TUserPrompt &prompt)
{
    return prompt.Ask(Sjis("ファイル「") + DisplayPath(destination) + Sjis("」は既に存在します。\r\n置き換えますか？"));
}

// What the decision leaves to do, the user asked where it asks: a file to
// put, or the result when nothing is to be written.
std::optional<TPut> Resolve(TCopyAction action, const std::string &destination, TUserPrompt &prompt,
                            TCopyResult &result)
{
    switch (action) {
    case TCopyAction::Copy:
        return TPut::New;
    case TCopyAction::AskToReplace:
        if (MayReplace(destination, prompt))
            return TPut::Replace;
        result = TCopyResult::Declined;
        return std::nullopt;
    case TCopyAction::Replace:
        return TPut::Replace;
    case TCopyAction::KeepSameFile:
        result = TCopyResult::SameFile;
        return std::nullopt;
    case TCopyAction::KeepSource:
        result = KeepSource(prompt, destination);
        return std::nullopt;
    case TCopyAction::KeepCurrent:
        result = TCopyResult::Unchanged;
        return std::nullopt;
    case TCopyAction::Skip:
        break;
    }
    result = TCopyResult::Skipped;
    return std::nullopt;
}

// Why a file could not be made: the step and its errno.
struct TMakeFailure
{
    bool Filling = false; // else creating
    int Error = 0;
};

// Makes the file with `fill` (0 or an errno) and puts it in place as the
// decision said. A destination that appears meanwhile is decided again, as if
// it had been there from the start; one still not to be seen then (a dangling
// link) is replaced. Nullopt when the file could not be made or filled.
std::optional<TCopyResult> MakeAndPlace(const std::string &destination, TPut put, std::uintmax_t size,
                                        const std::function<int(int fd)> &fill,
                                        const std::function<TCopyAction()> &decideAgain, TUserPrompt &prompt,
                                        TMakeFailure &failure)
{
    const auto reconsider = [&]() -> std::optional<TCopyResult> {
        TCopyResult result{};
        if (!Resolve(decideAgain(), destination, prompt, result))
            return result;
        put = TPut::Replace;
        return std::nullopt;
    };
    for (;;) {
        int error = 0;
        TPendingFile file(destination, put, size, error);
        if (error == EEXIST && put == TPut::New) {
            if (const std::optional<TCopyResult> result = reconsider())
                return result;
            continue;
        }
        if (error != 0) {
            failure = {false, error};
            return std::nullopt;
        }
        error = fill(file.Fd());
        if (error == 0)
            error = file.Complete();
        if (error != 0) {
            failure = {true, error};
            return std::nullopt;
        }
        for (;;) {
            error = file.Place(destination, put == TPut::Replace);
            if (error == 0)
                return TCopyResult::Copied;
            if (error != EEXIST || put == TPut::Replace)
                return Fail(prompt, destination, "へコピーできません。", error);
            if (const std::optional<TCopyResult> result = reconsider())
                return result;
        }
    }
}

// Copies `source` to `destination` as the decision said.
TCopyResult Copy(const std::string &source, const std::string &destination, TPut put,
                 const std::function<TCopyAction()> &decideAgain, TUserPrompt &prompt, const TCopyProgress &progress)
{
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceStat{};
    if (in.get() < 0 || ::fstat(in.get(), &sourceStat) != 0)
        return Fail(prompt, source, "を読み込めません。", errno);
    if (S_ISDIR(sourceStat.st_mode))
        return Fail(prompt, source, "を読み込めません。", EISDIR);
    const auto size = static_cast<std::uintmax_t>(sourceStat.st_size);
    const auto fill = [&](int out) {
        const int error = CopyContents(in.get(), out, size, progress);
        // The source's time, so that the next run under the update policy finds the copy current.
        const timespec times[2] = {{0, UTIME_OMIT}, sourceStat.st_mtim};
        return error != 0 ? error : ::futimens(out, times) == 0 ? 0 : errno;
    };
    TMakeFailure failure;
    const std::optional<TCopyResult> result = MakeAndPlace(destination, put, size, fill, decideAgain, prompt, failure);
    if (result)
        return *result;
    return Fail(prompt, destination, failure.Filling ? "へコピーできません。" : "を作成できません。", failure.Error);
}

} // namespace

TOverwritePolicy OverwritePolicyFromIndex(int index)
{
    return index >= 0 && index <= 4 ? static_cast<TOverwritePolicy>(index) : TOverwritePolicy::Confirm;
}

TCopyResult ShellCopyFile(const std::string &source, const std::string &destination, bool overwriteSilently,
                          TUserPrompt &prompt, const TCopyProgress &progress)
{
    const auto decide = [&]() {
        const TDestination found = FindDestination(source, destination);
        if (found == TDestination::Missing)
            return TCopyAction::Copy;
        if (found == TDestination::TheSource)
            return TCopyAction::KeepSameFile;
        return overwriteSilently ? TCopyAction::Replace : TCopyAction::AskToReplace;
    };
    TCopyResult result{};
    const std::optional<TPut> put = Resolve(decide(), destination, prompt, result);
    return put ? Copy(source, destination, *put, decide, prompt, progress) : result;
}

TRunSources::TRunSources(std::function<std::vector<std::string>()> listFiles) : FListFiles(std::move(listFiles)) {}

bool TRunSources::Holds(dev_t device, ino_t inode) const
{
    if (!FLookedUp) {
        for (const std::string &file : FListFiles()) {
            struct stat info{};
            if (::stat(file.c_str(), &info) == 0)
                FIdentities.emplace_back(info.st_dev, info.st_ino);
        }
        std::sort(FIdentities.begin(), FIdentities.end());
        FLookedUp = true;
    }
    return std::binary_search(FIdentities.begin(), FIdentities.end(), std::pair(device, inode));
}

TFolderNames::TFolderNames(const std::string &folder)
{
    DIR *listing = ::opendir(folder.empty() ? "." : folder.c_str());
    FListed = listing != nullptr;
    if (!listing)
        return;
    while (const dirent *entry = ::readdir(listing))
        FNames.insert(FoldAsciiCase(entry->d_name));
    ::closedir(listing);
}

bool TFolderNames::MayHold(std::string_view name) const
{
    return !FListed || !IsAscii(name) || FNames.count(FoldAsciiCase(name)) > 0;
}

TDestination FindDestination(const std::string &source, const std::string &destination, TRunKnowledge known)
{
    if (known.Names && !known.Names->MayHold(std::string_view(destination).substr(destination.rfind('/') + 1)))
        return TDestination::Missing;
    struct stat destinationStat{};
    if (::stat(destination.c_str(), &destinationStat) != 0)
        return TDestination::Missing; // what cannot be looked at, the copy reports
    struct stat sourceStat{};
    const bool sourceSeen = !source.empty() && ::stat(source.c_str(), &sourceStat) == 0;
    if (sourceSeen && SameFile(sourceStat, destinationStat))
        return TDestination::TheSource;
    if (known.Sources && known.Sources->Holds(destinationStat.st_dev, destinationStat.st_ino))
        return TDestination::AnotherSource;
    // Whole seconds, as rsync compares: some file systems keep no finer time.
    if (sourceSeen && sourceStat.st_size == destinationStat.st_size
        && sourceStat.st_mtim.tv_sec == destinationStat.st_mtim.tv_sec)
        return TDestination::Current;
    return TDestination::Other;
}

TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination)
{
    if (destination == TDestination::Missing)
        return TCopyAction::Copy;
    if (policy == TOverwritePolicy::Skip || policy == TOverwritePolicy::WarnAndStop)
        return TCopyAction::Skip;
    if (destination == TDestination::TheSource)
        return TCopyAction::KeepSameFile;
    if (destination == TDestination::AnotherSource)
        return TCopyAction::KeepSource;
    switch (policy) {
    case TOverwritePolicy::Confirm:
        return TCopyAction::AskToReplace;
    case TOverwritePolicy::Update:
        if (destination == TDestination::Current)
            return TCopyAction::KeepCurrent;
        break;
    case TOverwritePolicy::Overwrite:
    case TOverwritePolicy::Skip:
    case TOverwritePolicy::WarnAndStop:
        break;
    }
    return TCopyAction::Replace;
}

TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const std::string &destination,
                        TRunKnowledge known)
{
    const TCopyAction action = DecideCopy(policy, FindDestination({}, destination, known));
    return policy == TOverwritePolicy::Update && action == TCopyAction::Replace && HoldsBytes(destination, bytes)
               ? TCopyAction::KeepCurrent
               : action;
}

TCopyResult CopyUnderPolicy(const std::string &source, const std::string &destination, TOverwritePolicy policy,
                            TUserPrompt &prompt, const TCopyProgress &progress, TRunKnowledge known)
{
    TCopyResult result{};
    const std::optional<TPut> put =
        Resolve(DecideCopy(policy, FindDestination(source, destination, known)), destination, prompt, result);
    // A name that appeared meanwhile is in no listing: look at it.
    const auto decideAgain = [&]() {
        return DecideCopy(policy, FindDestination(source, destination, {known.Sources, nullptr}));
    };
    return put ? Copy(source, destination, *put, decideAgain, prompt, progress) : result;
}

TCopyResult WriteUnderPolicy(std::string_view bytes, const std::string &destination, TOverwritePolicy policy,
                             TUserPrompt &prompt, TRunKnowledge known)
{
    TCopyResult result{};
    const std::optional<TPut> put = Resolve(DecideWrite(policy, bytes, destination, known), destination, prompt, result);
    if (!put)
        return result;
    const auto decideAgain = [&]() { return DecideWrite(policy, bytes, destination, {known.Sources, nullptr}); };
    TMakeFailure failure;
    if (const std::optional<TCopyResult> placed =
            MakeAndPlace(destination, *put, bytes.size(), [bytes](int out) { return WriteAll(out, bytes); },
                         decideAgain, prompt, failure))
        return *placed;
    throw TFileError(
        FileErrorMessage(destination, Sjis(failure.Filling ? "を書き込めません。" : "を作成できません。"), failure.Error));
}

bool SetUnnamedFilesUsed(bool used)
{
    return std::exchange(UnnamedFilesUsed, used);
}

bool PreCheckTargets(const TEntryList &entries, const std::string &movieDir, const std::string &htmlDir,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt)
{
    const auto exists = [](const std::string &cp932Path) {
        struct stat info{};
        return ::stat(Cp932ToNativePath(cp932Path).c_str(), &info) == 0;
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
