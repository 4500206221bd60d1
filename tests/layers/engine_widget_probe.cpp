// Compiled as the engine's own sources are: a window here must not build.
#include <QMessageBox>

#include "pages/PageGenerator.h"

void ProbeShowsABox()
{
    QMessageBox::information(nullptr, QString(), QString());
}
