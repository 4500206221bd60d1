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

TFileOutcome Failed(TFileStep step, int error, std::string path)
{
    return {TCopyResult::Failed, 0, {step, error, std::move(path)}};
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
// put, or the outcome when nothing is to be written.
std::optional<TPut> Resolve(TCopyAction action, const TPlace &destination, TUserPrompt &prompt,
                            TFileOutcome &outcome)
{
    switch (action) {
    case TCopyAction::Copy:
        return TPut::New;
    case TCopyAction::AskToReplace:
        if (MayReplace(destination, prompt))
            return TPut::Replace;
        outcome.Result = TCopyResult::Declined;
        return std::nullopt;
    case TCopyAction::Replace:
        return TPut::Replace;
    case TCopyAction::KeepSameFile:
        outcome.Result = TCopyResult::SameFile;
        return std::nullopt;
    case TCopyAction::KeepSource:
        outcome = Failed(TFileStep::KeepSource, 0, destination.Path());
        return std::nullopt;
    case TCopyAction::KeepCurrent:
        outcome.Result = TCopyResult::Unchanged;
        return std::nullopt;
    case TCopyAction::Skip:
        break;
    }
    outcome.Result = TCopyResult::Skipped;
    return std::nullopt;
}

// Makes the file with `fill` (0 or an errno) and puts it in place as the
// decision said, with these permission bits. A destination that appears
// meanwhile is decided again, as if it had been there from the start; one
// still not to be seen then (a dangling link) is replaced. `fillStep` is the
// step a failure to fill is told as.
TFileOutcome MakeAndPlace(const TPlace &destination, TPut put, std::uintmax_t size, mode_t permissions,
                          TPlacementWays &ways, TFileStep fillStep, const std::function<int(TAtomicFile &)> &fill,
                          const std::function<TCopyAction()> &decideAgain, TUserPrompt &prompt)
{
    TFileOutcome outcome;
    const auto reconsider = [&] {
        if (!Resolve(decideAgain(), destination, prompt, outcome))
            return true;
        put = TPut::Replace;
        return false;
    };
    for (;;) {
        TAtomicFile file(destination, put == TPut::Replace, size, permissions, ways);
        int error = file.Open();
        if (error == EEXIST && put == TPut::New) {
            if (reconsider())
                return outcome;
            continue;
        }
        if (error != 0)
            return Failed(TFileStep::Create, error, destination.Path());
        if ((error = fill(file)) != 0)
            return Failed(fillStep, error, destination.Path());
        for (;;) {
            error = file.Commit(put == TPut::Replace);
            if (error == 0)
                return {TCopyResult::Copied, CreationMode(permissions), {}};
            if (error != EEXIST || put == TPut::Replace)
                return Failed(fillStep, error, destination.Path());
            if (reconsider())
                return outcome;
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
        return Failed(TFileStep::ReadSource, error, source.Folder.PathOf(source.Name));
    return MakeAndPlace(
        destination, put, static_cast<std::uintmax_t>(sourceStat.st_size), sourceStat.st_mode, ways,
        TFileStep::CopyInto, [&](TAtomicFile &file) { return FillFromSource(in.Get(), sourceStat, file, progress); },
        decideAgain, prompt);
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
    // The copy asks before replacing unless told not to: the decision of
    // the policies that do the same.
    const TFileOutcome outcome =
        CopyUnderPolicy({sourceFolder, sourceName, 0, std::nullopt}, {folder, name},
                        overwriteSilently ? TOverwritePolicy::Overwrite : TOverwritePolicy::Confirm, prompt, progress);
    if (outcome.Result == TCopyResult::Failed)
        prompt.Error(FailureText(outcome.Failure));
    return outcome;
}

TFileOutcome CopyUnderPolicy(const TMovieSource &source, const TPlace &destination, TOverwritePolicy policy,
                             TUserPrompt &prompt, const TCopyProgress &progress, TRunKnowledge known)
{
    TFileOutcome outcome;
    const std::optional<TPut> put =
        Resolve(DecideCopy(policy, FindDestination(source, destination, known)), destination, prompt, outcome);
    if (!put)
        return outcome;
    // A name that appeared meanwhile is in no listing: look at it.
    const auto decideAgain = [&]() {
        return DecideCopy(policy, FindDestination(source, destination, {known.Sources, nullptr, nullptr}));
    };
    TPlacementWays ownWays;
    return Copy(source, destination, *put, decideAgain, prompt, progress, known.Ways ? *known.Ways : ownWays);
}

TFileOutcome WriteUnderPolicy(std::string_view bytes, const TPlace &destination, TOverwritePolicy policy,
                              TUserPrompt &prompt, TRunKnowledge known)
{
    constexpr mode_t PageMode = 0666;
    TFileOutcome outcome;
    const std::optional<TPut> put =
        Resolve(DecideWrite(policy, bytes, destination, known), destination, prompt, outcome);
    if (!put)
        return outcome;
    const auto decideAgain = [&]() {
        return DecideWrite(policy, bytes, destination, {known.Sources, nullptr, nullptr});
    };
    TPlacementWays ownWays;
    return MakeAndPlace(
        destination, *put, bytes.size(), PageMode, known.Ways ? *known.Ways : ownWays, TFileStep::Write,
        [bytes](TAtomicFile &file) { return WriteAll(file.Fd(), bytes); }, decideAgain, prompt);
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
