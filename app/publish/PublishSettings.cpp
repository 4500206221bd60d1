#include "app/publish/PublishSettings.h"

#include <array>
#include <stdexcept>

#include <QDir>
#include <QFileInfo>

#include "pages/PathRoutines.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/IniDocument.h"
#include "settings/file/SettingsLayout.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

// The desktop program holds every text in a Unicode control, so a stored
// value reaches its pages in the canonical CP932 spelling of each character.
std::string AsDesktopText(const QString &text)
{
    return QStringToCp932Lossy(text);
}

// A declared value loads only when its key exists; there, text that is no
// number loads as 0.
int DeclaredInteger(const TIniDocument &ini, const char *section, const char *key, int initial)
{
    return ini.ValueExists(section, key) ? ini.ReadInteger(section, key, 0) : initial;
}

std::string DeclaredText(const TIniDocument &ini, const char *section, const ini::TTextKey &key)
{
    return ini.ValueExists(section, key.Name) ? AsDesktopText(Cp932ToQString(ini.ReadString(section, key.Name, "")))
                                              : std::string(key.Default);
}

std::string DeclaredFolder(const TIniDocument &ini, const ini::TTextKey &key, const QDir &settingsFolder)
{
    const std::string folder = DeclaredText(ini, ini::Dirs::Section, key);
    const QString text = Cp932ToQString(folder);
    if (folder.empty() || QDir::isAbsolutePath(text))
        return folder.empty() ? folder : IncludePathDelimiter(folder);
    const QString resolved = QDir::cleanPath(settingsFolder.absoluteFilePath(text));
    const std::optional<std::string> cp932 = QStringToCp932(resolved);
    if (!cp932)
        throw std::runtime_error("設定ファイルの相対フォルダ「" + text.toStdString() + "」は「" + resolved.toStdString()
                                 + "」になりますが、ページに書けない文字が含まれています。");
    return IncludePathDelimiter(*cp932);
}

// A template box gets every non-empty stored line, each followed by a line
// break but the last where the text had none.
QString StoredTemplate(const TIniDocument &ini, const ini::TListSection &section)
{
    QString text;
    bool breakAtEnd = true;
    for (const TIniEntry &entry : ini.ReadSectionValues(section.Section)) {
        if (entry.Key == ini::TemplateLineBreakAtEnd)
            breakAtEnd = entry.Value != "0";
        else if (!entry.Key.empty() && !entry.Value.empty())
            text += Cp932ToQString(entry.Value) + QLatin1String("\r\n");
    }
    if (!breakAtEnd && text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TPageTemplates ReadTemplates(const TIniDocument &ini)
{
    QString header = StoredTemplate(ini, ini::HtmlHeader);
    std::array<QString, 3> footers{StoredTemplate(ini, ini::HtmlFooter1), StoredTemplate(ini, ini::HtmlFooter2),
                                   StoredTemplate(ini, ini::HtmlFooter3)};
    if (HeaderNeedsDefault(header))
        header = FromUtf8(DefaultHeader);
    if (FootersNeedDefaults(footers))
        for (size_t i = 0; i < footers.size(); ++i)
            footers[i] = FromUtf8(DefaultFooters[i]);

    TPageTemplates templates;
    templates.Header = AsDesktopText(header);
    for (size_t i = 0; i < footers.size(); ++i)
        templates.Footers[i] = AsDesktopText(footers[i]);
    return templates;
}

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

TPublishSettings ReadPublishSettings(const TIniDocument &ini, const QDir &settingsFolder)
{
    TPublishSettings settings;
    settings.SourceDir = DeclaredFolder(ini, ini::Dirs::OrgMovDir, settingsFolder);
    settings.HtmlDir = DeclaredFolder(ini, ini::Dirs::HtmlDir, settingsFolder);
    settings.MovieDir = DeclaredFolder(ini, ini::Dirs::EzmovieDir, settingsFolder);
    settings.PageItemCount = ini::Html::ItemCount.Clamp(
        DeclaredInteger(ini, ini::Html::Section, ini::Html::ItemCount.Name, ini::Html::ItemCount.Default));
    settings.Templates = ReadTemplates(ini);
    settings.Scan.LowerCase = DeclaredInteger(ini, ini::LowerCase::Section, ini::LowerCase::Checked.Name,
                                              ini::LowerCase::Checked.Default ? 1 : 0)
                              != 0;
    settings.Scan.RenamePattern = DeclaredText(ini, ini::ReName::Section, ini::ReName::Format);
    settings.Scan.Date = LocalToday();
    // An index the radio group has no button for leaves its first button chosen.
    settings.Policy = OverwritePolicyFromIndex(
        DeclaredInteger(ini, ini::OverWrite::Section, ini::OverWrite::Index.Name, ini::OverWrite::Index.Default));
    return settings;
}

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
