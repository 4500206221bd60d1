#include "app/publish/PublishRun.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

#include <QFileInfo>

#include "app/publish/PublishOptions.h"
#include "app/publish/PublishReport.h"
#include "app/publish/PublishSettings.h"
#include "app/publish/TerminalPrompt.h"
#include "pages/EarlierCopies.h"
#include "settings/file/IniDocument.h"
#include "settings/file/IniStorage.h"
#include "settings/file/ProgramName.h"
#include "settings/file/RunSettings.h"
#include "text/Cp932.h"

namespace kpx {

namespace fs = std::filesystem;

namespace {

constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// Ends the run before anything is written; what() is one UTF-8 line (or two,
// where the desktop program's text has two) for the user.
class TRunStop : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A stop because the command line names what is not there: it cannot run.
class TNothingThere : public TRunStop
{
public:
    using TRunStop::TRunStop;
};

int FailUsage(const QString &reason)
{
    std::cerr << "kpx_publish: " << reason.toStdString() << "\n\n" << PublishUsage().toStdString();
    return ExitUsage;
}

TPublishSettings ReadSettingsFile(const std::optional<QString> &named)
{
    const QString path = named ? *named : DesktopSettingsPath();
    const std::optional<std::string> bytes = TIniFileStorage().Read(path);
    if (!bytes && named)
        throw TNothingThere("設定ファイル「" + path.toStdString() + "」がありません。");
    // Without a file, as at the desktop program's first start: defaults throughout.
    return ReadPublishSettings(bytes ? TIniDocument::Parse(*bytes) : TIniDocument(), QFileInfo(path).absoluteDir());
}

void RequireFolder(const std::string &cp932Folder, const char *label, bool written)
{
    const fs::path path = Cp932ToNativePath(cp932Folder);
    const std::string named = std::string(label) + "「" + path.native() + "」";
    // The trailing delimiter makes the system refuse anything but a folder.
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOTDIR)
            throw TNothingThere(named + "はフォルダではありません。");
        if (errno == ENOENT)
            throw TNothingThere(named + "が見つかりません。");
        throw TRunStop(named + "が見つかりません。");
    }
    if (::access(path.c_str(), (written ? W_OK : R_OK) | X_OK) != 0)
        throw TRunStop(named + (written ? "に書き込めません。" : "を読み込めません。"));
}

void RequireFolders(const TPublishSettings &settings)
{
    RequireFolder(settings.SourceDir, "元ezmovieディレクトリ", false);
    RequireFolder(settings.HtmlDir, "htmlディレクトリ", true);
    RequireFolder(settings.MovieDir, "ezmovieディレクトリ", true);
}

// The entry list and page layout as a fresh "タグ設定" leaves them.
TEntryList ScanEntries(const TPublishSettings &settings)
{
    TEntryList list;
    std::vector<TLeftOutEntry> leftOut;
    // After a failed listing the desktop program keeps its count of 0.
    if (ScanPublication(settings.SourceDir, settings.HtmlDir, settings.MovieDir, settings.Scan, list.FEntries, {},
                        &leftOut))
        UseAllEntries(list);
    for (const TLeftOutEntry &entry : leftOut)
        std::cerr << "kpx_publish: 動画ではないため除外しました: " << TerminalText(DescribeLeftOut(entry)) << '\n';
    if (list.FEntryCount == 0)
        throw TRunStop(TerminalText(Sjis("指定された元ezmovieディレクトリに\r\nezmovieファイルが存在しません。")));
    LayOutPages(list, settings.PageItemCount);
    return list;
}

int Publish(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, bool quiet)
{
    TPublishReport report(std::cerr, entries.FPageCount, !quiet);
    const TRunSummary summary = MakeHtmlFiles(job, entries, prompt, &report);
    if (summary.End == TRunEnd::Refused)
        return ExitFailure;
    if (!quiet) {
        std::cerr << TerminalText(CountsLine(summary)) << '\n';
        if (const std::string early = EarlyEndLines(summary); !early.empty())
            std::cerr << TerminalText(early) << '\n';
    }
    // Trouble is told even when quiet; it leaves the exit status as it is.
    if (const std::string unreadable = UnreadableWarning(summary); !unreadable.empty())
        std::cerr << "kpx_publish: " << TerminalText(unreadable) << '\n';
    return summary.Complete() && !summary.AnyFailed() ? ExitSuccess : ExitFailure;
}

int DryRun(const TPublishJob &job, const TEntryList &entries, TTerminalPrompt &prompt, bool quiet)
{
    // Each line goes out as it is planned: the list is never held whole.
    size_t steps = 0;
    const bool canAsk = prompt.Interactive();
    if (!PlanHtmlFiles(job, entries, prompt, [&](const TPlannedCopy &step) {
            PrintPlannedCopy(std::cout, step, canAsk);
            ++steps;
        }))
        return ExitFailure;
    if (!quiet)
        std::cerr << "ドライラン: " << steps << " ファイルの予定です。何も書き込んでいません。\n";
    return ExitSuccess;
}

int Run(const QStringList &arguments)
{
    const auto parsed = ParsePublishOptions(arguments);
    if (const auto *error = std::get_if<TUsageError>(&parsed))
        return FailUsage(error->Reason);
    const TPublishOptions &options = std::get<TPublishOptions>(parsed);
    if (options.Help) {
        std::cout << PublishUsage().toStdString();
        return ExitSuccess;
    }
    if (options.Version) {
        std::cout << ProgramName << ' ' << ProgramVersion() << '\n';
        return ExitSuccess;
    }

    const auto applied = ApplyPublishOptions(ReadSettingsFile(options.IniFile), options);
    if (const auto *error = std::get_if<TUsageError>(&applied))
        return FailUsage(error->Reason);
    const TPublishSettings &settings = std::get<TPublishSettings>(applied);
    if (const std::optional<TUsageError> missing = MissingFolder(settings))
        return FailUsage(missing->Reason);
    RequireFolders(settings);

    const TEntryList entries = ScanEntries(settings);
    const TPublishJob job = MakePublishJob(settings, PageFileNames(settings.HtmlFileName, entries.FPageCount));
    TTerminalPrompt prompt(std::cin, std::cerr, ::isatty(STDIN_FILENO) == 1);
    return options.DryRun ? DryRun(job, entries, prompt, options.Quiet) : Publish(job, entries, prompt, options.Quiet);
}

} // namespace

int RunPublish(const QStringList &arguments)
{
    try {
        return Run(arguments);
    } catch (const TNothingThere &error) {
        std::cerr << "kpx_publish: " << error.what() << '\n';
        return ExitUsage;
    } catch (const std::exception &error) {
        // TRunStop, an unreadable settings file, or anything unforeseen: one line, no crash.
        std::cerr << "kpx_publish: " << error.what() << '\n';
        return ExitFailure;
    }
}

} // namespace kpx
