// The command line's choices over the settings file's. May touch: nothing but the current folder's name (Qt Core).
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "app/publish/PublishOptions.h"
#include "pages/EntryScan.h"
#include "pages/MovieCopy.h"
#include "pages/PublishPlan.h"

namespace kpx {

// The command line's choices over the settings file's. Folders given on the
// command line become absolute. A usage error names a value that code page
// 932 cannot hold.
std::variant<TPublishSettings, TUsageError> ApplyPublishOptions(TPublishSettings settings,
                                                                const TPublishOptions &options);

// The desktop program's warning for the first folder nothing names.
std::optional<TUsageError> MissingFolder(const TPublishSettings &settings);

} // namespace kpx
