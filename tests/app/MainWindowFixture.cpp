#include "MainWindowFixture.h"

#include <QTest>

namespace kpx::test {

MainWindowTest::MainWindowTest()
    : SettingsPath(QString::fromStdString((SettingsDir / "kpx_app.ini").string()))
{
    FPreviousChooser = SetFolderChooser([this](QWidget *, const QString &, const QString &start) {
        BrowserStarts << start;
        return NextFolder;
    });
    StartProgram();
}

MainWindowTest::~MainWindowTest()
{
    StopProgram();
    SetFolderChooser(FPreviousChooser);
}

void MainWindowTest::StartProgram()
{
    StopProgram();
    Main = std::make_unique<Tkpx_MainFrm>();
    Settings = std::make_unique<Tkpx_cfgFrm>(Main.get(), Main->HtmlNameHistory());
    Main->SetSettingsDialog(Settings.get());
    Main->show();
}

void MainWindowTest::StopProgram()
{
    Main.reset();
    Settings.reset();
}

void MainWindowTest::Click(const char *buttonName) const
{
    QTest::mouseClick(Find<QPushButton>(buttonName), Qt::LeftButton);
}

void MainWindowTest::AnswerFolder(std::optional<QString> folder)
{
    NextFolder = std::move(folder);
}

} // namespace kpx::test
