// kpx_publish's command line, read and checked. May touch: nothing but the arguments (Qt Core).
#pragma once

#include <chrono>
#include <optional>
#include <variant>

#include <QString>
#include <QStringList>

#include "pages/MovieCopy.h"

namespace kpx {

// What the command line of kpx_publish asked for. An option left out takes
// its value from the settings file.
struct TPublishOptions
{
    std::optional<QString> IniFile;
    std::optional<QString> SourceDir;
    std::optional<QString> HtmlDir;
    std::optional<QString> MovieDir;
    std::optional<QString> HtmlFileName;
    std::optional<int> PageItemCount;
    std::optional<TOverwritePolicy> Policy;
    std::optional<std::chrono::year_month_day> Date;
    bool DryRun = false;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
};

// A command line that cannot run; the reason is one line for the user.
struct TUsageError
{
    QString Reason;
};

// Parses the arguments that follow the program's name with Qt's command-line
// parser. "--option VALUE" and "--option=VALUE" are the same; a repeated option
// takes its last value; "--" ends the options, so whatever follows it is an
// argument too many. A line with several faults is refused for one of them:
// an unknown option or single-dash word, then a missing value or a value given
// to a flag, then an argument too many, then the values in the order given.
std::variant<TPublishOptions, TUsageError> ParsePublishOptions(const QStringList &arguments);

// The usage text, ending with a line break.
QString PublishUsage();

} // namespace kpx
