#pragma once

#include <QStringList>

namespace kpx {

// The desktop program's name and version, which kpx_publish shares: the
// settings folder follows the name.
inline constexpr char ProgramName[] = "Kinopage Lite";
inline constexpr char ProgramVersion[] = "1.00";

// Everything kpx_publish does behind main, given the arguments after the
// program's name: 0 success, 1 the run was refused or a file failed, 2 a
// command line that cannot run.
int RunPublish(const QStringList &arguments);

} // namespace kpx
