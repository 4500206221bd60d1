#include <QCoreApplication>

#include "app/publish/PublishRun.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromUtf8(kpx::ProgramName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(kpx::ProgramVersion));
    return kpx::RunPublish(QCoreApplication::arguments().mid(1));
}
