#include <memory>

#include <QApplication>

#include "app/QtTranslations.h"
#include "app/kpx_main.h"
#include "components/AppIcon.h"
#include "components/WindowFont.h"
#include "settings/file/ProgramName.h"
#include "settings/kpx_cfg.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    kpx::NameTheProgram();
    QApplication::setWindowIcon(kpx::AppIcon());
    kpx::InstallQtTranslations();
    // Qt's own dialogs and tooltips too: the desktop's default may be a fixed-pitch face.
    QApplication::setFont(kpx::ProgramFont());

    auto mainWindow = std::make_unique<kpx::Tkpx_MainFrm>();
    auto settings = std::make_unique<kpx::Tkpx_cfgFrm>(mainWindow.get(), mainWindow->HtmlNameHistory());
    mainWindow->SetSettingsDialog(settings.get());
    mainWindow->show();
    const int exitCode = app.exec();
    // The main window goes first: its page settings window still reads the dialog's options.
    mainWindow.reset();
    settings.reset();
    return exitCode;
}
