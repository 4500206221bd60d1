#include "settings/file/ProgramName.h"

#include <QCoreApplication>

namespace kpx {

const char *ProgramVersion()
{
    return KPX_PROGRAM_VERSION;
}

void NameTheProgram()
{
    QCoreApplication::setApplicationName(QString::fromUtf8(ProgramName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(ProgramVersion()));
}

} // namespace kpx
