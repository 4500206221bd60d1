#pragma once

#include <optional>
#include <string>
#include <variant>

#include <QDir>

#include "app/publish/PublishOptions.h"
#include "pages/EntryScan.h"
#include "pages/MovieCopy.h"
#include "pages/PageGenerator.h"

namespace kpx {

class IniDocument;

// Everything one kpx_publish run takes from the settings file and the command
// line. Strings are CP932; a folder ends with a delimiter, or is empty when
// nothing names it.
struct TPublishSettings
{
    std::string SourceDir;
    std::string HtmlDir;
    std::string MovieDir;
    std::string HtmlFileName;
    int PageItemCount = 0;
    TPageTemplates Templates;
    TScanOptions Scan;
    TOverwritePolicy Policy = TOverwritePolicy::Confirm;
};

// The values the desktop program starts with from this settings file: read as
// its windows load them, with blank templates restored as its main window
// restores them when first shown, dated today. A relative folder is taken from
// `settingsFolder`, the folder of the file, whatever folder the run starts in;
// one whose full path code page 932 cannot hold throws std::runtime_error.
TPublishSettings ReadPublishSettings(const IniDocument &ini, const QDir &settingsFolder);

// The command line's choices over the settings file's. Folders given on the
// command line become absolute. A usage error names a value that code page
// 932 cannot hold.
std::variant<TPublishSettings, TUsageError> ApplyPublishOptions(TPublishSettings settings,
                                                                const TPublishOptions &options);

// The desktop program's warning for the first folder nothing names.
std::optional<TUsageError> MissingFolder(const TPublishSettings &settings);

} // namespace kpx
