// Everything kpx_publish does behind main. May touch: the file system, the terminal, the settings file (read only).
#pragma once

#include <QStringList>

namespace kpx {

// Everything kpx_publish does behind main, given the arguments after the
// program's name: 0 success, 1 the run was refused or a file failed, 2 a
// command line that cannot run.
int RunPublish(const QStringList &arguments);

} // namespace kpx
