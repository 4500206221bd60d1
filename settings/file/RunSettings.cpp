#include "settings/file/RunSettings.h"

#include <array>
#include <stdexcept>

#include "pages/PathRoutines.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/FixedOptions.h"
#include "settings/file/IniDocument.h"
#include "settings/file/SettingsLayout.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

// A declared value loads only when its key exists; there, text that is no
// number loads as 0.
int DeclaredInteger(const TIniDocument &ini, const char *section, const char *key, int initial)
{
    return ini.ValueExists(section, key) ? ini.ReadInteger(section, key, 0) : initial;
}

QString DeclaredText(const TIniDocument &ini, const char *section, const ini::TTextKey &key)
{
    return ini.ValueExists(section, key.Name) ? Cp932ToQString(ini.ReadString(section, key.Name, ""))
                                              : QString::fromUtf8(key.Default);
}

std::string DeclaredFolder(const TIniDocument &ini, const ini::TTextKey &key, const QDir &settingsFolder)
{
    // A folder box holds Unicode too: the folder comes back in its canonical spelling.
    const std::string folder = QStringToCp932Lossy(DeclaredText(ini, ini::Dirs::Section, key));
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

// The options a run reads, as the settings dialog loads them from the file;
// the others keep their defaults.
TFixedOptions StoredRunOptions(const TIniDocument &ini)
{
    TFixedOptions options;
    options.LowerCaseValue = DeclaredInteger(ini, ini::LowerCase::Section, ini::LowerCase::Checked.Name,
                                             ini::LowerCase::Checked.Default ? 1 : 0)
                             != 0;
    options.RenamePatternValue = DeclaredText(ini, ini::ReName::Section, ini::ReName::Format);
    options.OverwriteIndexValue =
        DeclaredInteger(ini, ini::OverWrite::Section, ini::OverWrite::Index.Name, ini::OverWrite::Index.Default);
    options.HeaderValue = StoredTemplate(ini, ini::HtmlHeader);
    options.FooterValues = {StoredTemplate(ini, ini::HtmlFooter1), StoredTemplate(ini, ini::HtmlFooter2),
                            StoredTemplate(ini, ini::HtmlFooter3)};
    if (HeaderNeedsDefault(options.HeaderValue))
        options.HeaderValue = FromUtf8(DefaultHeader);
    if (FootersNeedDefaults(options.FooterValues))
        for (size_t i = 0; i < options.FooterValues.size(); ++i)
            options.FooterValues[i] = FromUtf8(DefaultFooters[i]);
    return options;
}

} // namespace

void ReadRunOptions(const TAppOptions &options, TPublishSettings &settings)
{
    settings.Templates.Header = QStringToCp932Lossy(options.HeaderTemplate());
    for (size_t i = 0; i < settings.Templates.Footers.size(); ++i)
        settings.Templates.Footers[i] = QStringToCp932Lossy(options.FooterTemplate(static_cast<int>(i)));
    settings.Scan.LowerCase = options.LowerCase();
    settings.Scan.RenamePattern = QStringToCp932Lossy(options.RenamePattern());
    // An index the radio group has no button for leaves its first button chosen.
    settings.Policy = OverwritePolicyFromIndex(options.OverwriteIndex());
}

TPublishSettings ReadPublishSettings(const TIniDocument &ini, const QDir &settingsFolder)
{
    TPublishSettings settings;
    settings.SourceDir = DeclaredFolder(ini, ini::Dirs::OrgMovDir, settingsFolder);
    settings.HtmlDir = DeclaredFolder(ini, ini::Dirs::HtmlDir, settingsFolder);
    settings.MovieDir = DeclaredFolder(ini, ini::Dirs::EzmovieDir, settingsFolder);
    settings.PageItemCount = ini::Html::ItemCount.Clamp(
        DeclaredInteger(ini, ini::Html::Section, ini::Html::ItemCount.Name, ini::Html::ItemCount.Default));
    ReadRunOptions(StoredRunOptions(ini), settings);
    settings.Scan.Date = LocalToday();
    return settings;
}

} // namespace kpx
