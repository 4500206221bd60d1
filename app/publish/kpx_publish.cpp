#include <QCoreApplication>

#include "app/publish/PublishRun.h"
#include "settings/file/ProgramName.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    kpx::NameTheProgram();
    return kpx::RunPublish(QCoreApplication::arguments().mid(1));
}
