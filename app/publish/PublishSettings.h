#pragma once

#include <optional>
#include <string>
#include <variant>

#include <QDir>

#include "app/publish/PublishOptions.h"
#include "pages/EntryScan.h"
#include "pages/MovieCopy.h"
#include "pages/PublishPlan.h"

namespace kpx {

class TIniDocument;

// The values the desktop program starts with from this settings file: read as
// its windows load them, with blank templates restored as its main window
// restores them when first shown, dated today. A relative folder is taken from
// `settingsFolder`, the folder of the file, whatever folder the run starts in;
// one whose full path code page 932 cannot hold throws std::runtime_error.
TPublishSettings ReadPublishSettings(const TIniDocument &ini, const QDir &settingsFolder);

// The command line's choices over the settings file's. Folders given on the
// command line become absolute. A usage error names a value that code page
// 932 cannot hold.
std::variant<TPublishSettings, TUsageError> ApplyPublishOptions(TPublishSettings settings,
                                                                const TPublishOptions &options);

// The desktop program's warning for the first folder nothing names.
std::optional<TUsageError> MissingFolder(const TPublishSettings &settings);

} // namespace kpx
