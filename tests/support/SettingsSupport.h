#pragma once

// A run's settings read from a settings file written in UTF-8 lines, for the
// engine's tests of the settings reader and of kpx_publish's options.

#include <initializer_list>
#include <string>
#include <string_view>

#include <QDir>

#include "settings/file/IniDocument.h"
#include "settings/file/RunSettings.h"
#include "text/Cp932.h"

namespace kpx::test {

// A settings file from UTF-8 lines, as the desktop program stores it, in a
// folder named /settings.
inline TPublishSettings ReadSettingsLines(std::initializer_list<std::string_view> utf8Lines)
{
    std::string bytes;
    for (std::string_view line : utf8Lines)
        bytes += Sjis(line) + "\r\n";
    return ReadPublishSettings(TIniDocument::Parse(bytes), QDir(QStringLiteral("/settings")));
}

} // namespace kpx::test
