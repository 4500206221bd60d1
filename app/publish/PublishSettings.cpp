#include "app/publish/PublishSettings.h"

#include <QDir>
#include <QFileInfo>

#include "pages/PathRoutines.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

std::optional<std::string> FolderFromCommandLine(const QString &folder)
{
    QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!absolute.endsWith(QLatin1Char(PathDelim)))
        absolute += QLatin1Char(PathDelim);
    return QStringToCp932(absolute);
}

QString CannotHold(const char *option, const QString &value)
{
    return QStringLiteral("%1 の「%2」には、ページに書けない文字が含まれています。").arg(QLatin1String(option), value);
}

} // namespace

std::variant<TPublishSettings, TUsageError> ApplyPublishOptions(TPublishSettings settings,
                                                                const TPublishOptions &options)
{
    struct TFolderOption
    {
        const char *Name;
        const std::optional<QString> &Value;
        std::string &Folder;
    };
    const TFolderOption folders[] = {
        {"--source", options.SourceDir, settings.SourceDir},
        {"--html-dir", options.HtmlDir, settings.HtmlDir},
        {"--movie-dir", options.MovieDir, settings.MovieDir},
    };
    for (const TFolderOption &folder : folders) {
        if (!folder.Value)
            continue;
        const std::optional<std::string> cp932 = FolderFromCommandLine(*folder.Value);
        if (!cp932)
            return TUsageError{CannotHold(folder.Name, *folder.Value)};
        folder.Folder = *cp932;
    }
    // As the html folder button does, a new html folder takes the movies along.
    if ((options.HtmlDir && !options.MovieDir) || settings.MovieDir.empty())
        settings.MovieDir = settings.HtmlDir;
    if (options.HtmlFileName) {
        const std::optional<std::string> name = QStringToCp932(*options.HtmlFileName);
        if (!name)
            return TUsageError{CannotHold("--name", *options.HtmlFileName)};
        settings.HtmlFileName = *name;
    }
    if (options.PageItemCount)
        settings.PageItemCount = *options.PageItemCount;
    if (options.Policy)
        settings.Policy = *options.Policy;
    if (options.Date)
        settings.Scan.Date = *options.Date;
    return settings;
}

std::optional<TUsageError> MissingFolder(const TPublishSettings &settings)
{
    if (settings.SourceDir.empty())
        return TUsageError{QStringLiteral("元ezmovieディレクトリを選択してください。(--source DIR)")};
    if (settings.HtmlDir.empty())
        return TUsageError{QStringLiteral("htmlディレクトリを選択してください。(--html-dir DIR)")};
    return std::nullopt;
}

} // namespace kpx
