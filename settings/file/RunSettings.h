// A run's settings from the settings dialog's options or the settings file. May touch: nothing but the clock.
#pragma once

#include <QDir>

#include "pages/PublishPlan.h"
#include "settings/file/AppOptions.h"

namespace kpx {

class TIniDocument;

// What the settings dialog's options decide of a run: the page templates, the
// scan's lower-case option and rename pattern, the overwrite policy. The main
// window and the preview read them from the dialog, kpx_publish from the file;
// each text reaches the pages in the canonical CP932 spelling of its
// characters, as a Unicode control gives it back.
void ReadRunOptions(const TAppOptions &options, TPublishSettings &settings);

// The values the desktop program starts with from this settings file: read as
// its windows load them, with blank templates restored as its main window
// restores them when first shown, dated today. A relative folder is taken from
// `settingsFolder`, the folder of the file, whatever folder the run starts in;
// one whose full path code page 932 cannot hold throws std::runtime_error.
TPublishSettings ReadPublishSettings(const TIniDocument &ini, const QDir &settingsFolder);

} // namespace kpx
