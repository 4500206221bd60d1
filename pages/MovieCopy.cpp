#include "pages/MovieCopy.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

TCopyResult Fail(TUserPrompt &prompt, const std::string &file, const char *failureUtf8, int error)
{
    prompt.Error(FileErrorMessage(file, Sjis(failureUtf8), error));
    return TCopyResult::Failed;
}

TCopyResult KeepSource(TUserPrompt &prompt, const TPlace &destination)
{
    prompt.Error(Sjis("ファイル「") + DisplayPath(destination.Path()) + Sjis("」は元の動画ファイルなので、置き換えません。"));
    return TCopyResult::Failed;
}

bool MayReplace(const TPlace &destination, TUserPrompt &prompt)
{
    return prompt.MayReplace(Sjis("ファイル「") + DisplayPath(destination.Path())
                             + Sjis("」は既に存在します。\r\n置き換えますか？"));
}

enum class TPut
{
    New,
    Replace,
};

// What the decision leaves to do, the user asked where it asks: a file to
// put, or the result when nothing is to be written.
std::optional<TPut> Resolve(TCopyAction action, const TPlace &destination, TUserPrompt &prompt,
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
std::optional<TCopyResult> MakeAndPlace(const TPlace &destination, TPut put, std::uintmax_t size,
                                        mode_t permissions, TPlacementWays &ways,
                                        const std::function<int(TAtomicFile &)> &fill,
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
        TAtomicFile file(destination, put == TPut::Replace, size, permissions, ways);
        int error = file.Open();
        if (error == EEXIST && put == TPut::New) {
            if (const std::optional<TCopyResult> result = reconsider())
                return result;
            continue;
        }
        if (error != 0) {
            failure = {false, error};
            return std::nullopt;
        }
        if ((error = fill(file)) != 0) {
            failure = {true, error};
            return std::nullopt;
        }
        for (;;) {
            error = file.Commit(put == TPut::Replace);
            if (error == 0)
                return TCopyResult::Copied;
            if (error != EEXIST || put == TPut::Replace)
                return Fail(prompt, destination.Path(), "へコピーできません。", error);
            if (const std::optional<TCopyResult> result = reconsider())
                return result;
        }
    }
}

// Copies the open source's contents into the file and gives it the source's
// times. A source whose size or time changed meanwhile was written to while
// copied: it is copied once more, and a second change is a failure.
int FillFromSource(int in, struct stat &source, TAtomicFile &file, const TCopyProgress &progress)
{
    const int out = file.Fd();
    for (int attempt = 0;; ++attempt) {
        std::uintmax_t copied = 0;
        const auto size = static_cast<std::uintmax_t>(source.st_size);
        if (const int error = CopyContents(in, out, size, progress, copied))
            return error;
        struct stat after = {};
        if (::fstat(in, &after) != 0)
            return errno;
        if (copied == size && after.st_size == source.st_size && after.st_mtim.tv_sec == source.st_mtim.tv_sec
            && after.st_mtim.tv_nsec == source.st_mtim.tv_nsec)
            break;
        if (attempt == 1)
            return SourceChangedError;
        source = after;
        if (::lseek(in, 0, SEEK_SET) < 0 || ::ftruncate(out, 0) != 0 || ::lseek(out, 0, SEEK_SET) < 0)
            return errno;
    }
    return file.SetTimes(source.st_atim, source.st_mtim);
}

// Copies `source` to `destination` as the decision said.
TFileOutcome Copy(const TMovieSource &source, const TPlace &destination, TPut put,
                  const std::function<TCopyAction()> &decideAgain, TUserPrompt &prompt, const TCopyProgress &progress,
                  TPlacementWays &ways)
{
    TFileDescriptor in;
    struct stat sourceStat = {};
    const int error = source.Folder.Fd() < 0
                          ? source.Folder.OpenError()
                          : OpenRegularFile(source.Folder.Fd(), std::string(source.Name), in, sourceStat);
    if (error != 0)
        return {Fail(prompt, source.Folder.PathOf(source.Name), "を読み込めません。", error)};
    const auto fill = [&](TAtomicFile &file) { return FillFromSource(in.Get(), sourceStat, file, progress); };
    TMakeFailure failure;
    const std::optional<TCopyResult> result =
        MakeAndPlace(destination, put, static_cast<std::uintmax_t>(sourceStat.st_size), sourceStat.st_mode, ways, fill,
                     decideAgain, prompt, failure);
    if (result)
        return {*result, CreationMode(sourceStat.st_mode)};
    return {Fail(prompt, destination.Path(), failure.Filling ? "へコピーできません。" : "を作成できません。",
                 failure.Error)};
}

// A path as its folder and its name there.
std::pair<std::string, std::string> FolderAndName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::pair(std::string(), path)
                                      : std::pair(path.substr(0, slash + 1), path.substr(slash + 1));
}

} // namespace

TFileOutcome ShellCopyFile(const std::string &source, const std::string &destination, bool overwriteSilently,
                           TUserPrompt &prompt, const TCopyProgress &progress)
{
    const auto [sourceFolderPath, sourceName] = FolderAndName(source);
    const auto [folderPath, name] = FolderAndName(destination);
    const TOpenFolder sourceFolder(sourceFolderPath), folder(folderPath);
    const TMovieSource movie{sourceFolder, sourceName, 0, std::nullopt};
    const TPlace place{folder, name};
    const auto decide = [&]() {
        const TDestination found = FindDestination(movie, place);
        if (found == TDestination::Missing)
            return TCopyAction::Copy;
        if (found == TDestination::TheSource)
            return TCopyAction::KeepSameFile;
        if (found == TDestination::Unfinished)
            return TCopyAction::Replace;
        return overwriteSilently ? TCopyAction::Replace : TCopyAction::AskToReplace;
    };
    TCopyResult result{};
    const std::optional<TPut> put = Resolve(decide(), place, prompt, result);
    TPlacementWays ways;
    return put ? Copy(movie, place, *put, decide, prompt, progress, ways) : TFileOutcome{result};
}

TFileOutcome CopyUnderPolicy(const TMovieSource &source, const TPlace &destination, TOverwritePolicy policy,
                             TUserPrompt &prompt, const TCopyProgress &progress, TRunKnowledge known)
{
    TCopyResult result{};
    const std::optional<TPut> put =
        Resolve(DecideCopy(policy, FindDestination(source, destination, known)), destination, prompt, result);
    // A name that appeared meanwhile is in no listing: look at it.
    const auto decideAgain = [&]() {
        return DecideCopy(policy, FindDestination(source, destination, {known.Sources, nullptr, nullptr}));
    };
    TPlacementWays ownWays;
    return put ? Copy(source, destination, *put, decideAgain, prompt, progress, known.Ways ? *known.Ways : ownWays)
               : TFileOutcome{result};
}

TFileOutcome WriteUnderPolicy(std::string_view bytes, const TPlace &destination, TOverwritePolicy policy,
                              TUserPrompt &prompt, TRunKnowledge known)
{
    constexpr mode_t PageMode = 0666;
    TCopyResult result{};
    const std::optional<TPut> put =
        Resolve(DecideWrite(policy, bytes, destination, known), destination, prompt, result);
    if (!put)
        return {result};
    const auto decideAgain = [&]() {
        return DecideWrite(policy, bytes, destination, {known.Sources, nullptr, nullptr});
    };
    TPlacementWays ownWays;
    TMakeFailure failure;
    if (const std::optional<TCopyResult> placed = MakeAndPlace(
            destination, *put, bytes.size(), PageMode, known.Ways ? *known.Ways : ownWays,
            [bytes](TAtomicFile &file) { return WriteAll(file.Fd(), bytes); }, decideAgain, prompt, failure))
        return {*placed, CreationMode(PageMode)};
    return {Fail(prompt, destination.Path(), failure.Filling ? "を書き込めません。" : "を作成できません。",
                 failure.Error)};
}

bool PreCheckTargets(const TEntryList &entries, const TOpenFolder &movies, const TOpenFolder &html,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt)
{
    const auto exists = [](const TOpenFolder &folder, const std::string &cp932Name) {
        struct stat info = {};
        return ::fstatat(folder.Fd(), Cp932ToNativePath(cp932Name).c_str(), &info, 0) == 0 && !IsUnfinishedFile(info);
    };
    const std::optional<TTargetConflict> conflict = FindFirstConflict(
        entries, pageNames, [&](const std::string &name) { return exists(movies, name); },
        [&](const std::string &name) { return exists(html, name); });
    if (!conflict)
        return true;
    prompt.Warning(Sjis(conflict->InMovieFolder ? "ezmovie" : "html") + Sjis("ディレクトリに同名のファイル「")
                   + conflict->Name + Sjis("」が") + "\r\n" + Sjis("存在しますので、実行を中止します。"));
    return false;
}

} // namespace kpx
