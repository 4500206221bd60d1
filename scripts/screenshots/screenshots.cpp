// Saves pictures of the program's windows as the X server shows them.
//   kpx_screenshots OUTPUT_FOLDER
// Run it under Xvfb through scripts/screenshots.sh.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstdio>

#include "settings/IniStorage.h"
#include "settings/kpx_cfg.h"

namespace {

bool Save(QWidget *window, const QString &folder, const QString &name)
{
    if (!window->isVisible())
        window->show();
    window->raise();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window);
    QTest::qWait(300); // let the X server finish drawing
    const QPixmap picture = window->screen()->grabWindow(window->winId());
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool SettingsDialogTabs(const QString &folder)
{
    QWidget mainWindow;
    QComboBox history;
    kpx::Tkpx_cfgFrm dialog(&mainWindow, &history);
    dialog.sb_def_headerClick();
    dialog.sb_def_footerClick();
    auto *tabs = dialog.findChild<QTabWidget *>(QStringLiteral("pgc_cfg"));
    dialog.show();
    bool ok = true;
    const char *names[] = {"cfg_general", "cfg_header", "cfg_footer", "cfg_about"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        ok = Save(&dialog, folder, QLatin1String(names[i])) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kpx_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // Pictures use a settings file of their own, never the user's.
    QTemporaryDir settings;
    kpx::SetSettingsPath(settings.filePath(QStringLiteral("kpx_app.ini")));
    return SettingsDialogTabs(folder) ? 0 : 1;
}
