// Saves pictures of the program's windows as the X server shows them.
//   kpx_screenshots OUTPUT_FOLDER            every window, one picture each
//   kpx_screenshots OUTPUT_FOLDER --screen NAME
//                                            the whole screen with the main window
//                                            and the page settings window (three
//                                            columns chosen, ten movies a page)
// Run it under Xvfb through scripts/screenshots.sh.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstdio>

#include <fstream>
#include <functional>
#include <memory>

#include <QAction>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QCheckBox>

#include "app/FolderBrowser.h"
#include "app/PublishProgress.h"
#include "app/kpx_main.h"
#include "components/UpDown.h"
#include "settings/file/IniStorage.h"
#include "settings/kpx_cfg.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_preview.h"
#include "tags/kpx_tags.h"

namespace {

// Saves the picture as folder/name.png and names the file written.
bool SavePicture(const QPixmap &picture, const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Save(QWidget *window, const QString &folder, const QString &name)
{
    if (!window->isVisible())
        window->show();
    window->raise();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window);
    QTest::qWait(300); // let the X server finish drawing
    return SavePicture(window->screen()->grabWindow(window->winId()), folder, name);
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

// The window with its frame and whatever lies over it (open menus), as the
// screen shows it.
bool SaveWithFrame(QWidget *window, const QRect &over, const QString &folder, const QString &name)
{
    QTest::qWait(300);
    const QRect shown = window->frameGeometry().united(over);
    return SavePicture(window->screen()->grabWindow(0, shown.x(), shown.y(), shown.width(), shown.height()), folder,
                       name);
}

// Saves the next modal window once it is open, then runs `then` on it, or
// closes it.
void SaveModalWhenOpen(const QString &folder, const QString &name, bool &ok, std::function<void(QWidget *)> then = {})
{
    QTimer::singleShot(500, [folder, name, &ok, then] {
        QWidget *modal = QApplication::activeModalWidget();
        ok = modal && Save(modal, folder, name) && ok;
        if (modal && then)
            then(modal);
        else if (modal)
            modal->close();
    });
}

// The list window's grid menu as the keyboard opens it, with its sorts shown.
bool ListMenu(QWidget *list, const QString &folder)
{
    auto *grid = list->findChild<QTableView *>(QStringLiteral("sg_sort"));
    if (!grid)
        return false;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right}) {
        QTest::qWait(100);
        if (QWidget *menu = QApplication::activePopupWidget())
            QTest::keyClick(menu, key);
    }
    QTest::qWait(200);
    QRect menus;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu *>(widget) && widget->isVisible())
            menus = menus.united(widget->frameGeometry());
    const bool saved = !menus.isEmpty() && SaveWithFrame(list, menus, folder, QStringLiteral("list_menu"));
    while (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    return saved;
}

void MakeMovies(const QString &folder)
{
    const char *names[] = {"夏祭り.amc", "ｶﾗｵｹ.amc", "opening.amc", "ending.AMC", "花火大会.amc", "trailer.amc",
                           "interview.amc"};
    int size = 180000;
    for (const char *name : names) {
        std::ofstream(QDir(folder).filePath(QString::fromUtf8(name)).toStdString(), std::ios::binary)
            << std::string(static_cast<size_t>(size), 'm');
        size += 123457;
    }
}

// The progress dialog of a long make-pages run, half-way through a movie.
bool ProgressDialog(const QString &folder, QWidget *mainWindow)
{
    qint64 now = 0;
    const kpx::TProgressClock previous = kpx::SetProgressClock([&now] { return now; });
    bool ok = false;
    {
        kpx::TPublishProgress progress(mainWindow, 12);
        kpx::TPublishTarget movie;
        movie.PageIndex = 4;
        movie.Name = "mv26120914.amc";
        movie.Bytes = 48u << 20;
        progress.FileStarting(movie, 610u << 20, 1400u << 20);
        now = kpx::ProgressDelayMs + 1;
        progress.FileProgress(movie, 634u << 20, 1400u << 20);
        QWidget *dialog = QApplication::activeModalWidget();
        // With its frame: the title must show whole.
        ok = dialog && QTest::qWaitForWindowExposed(dialog)
             && SaveWithFrame(dialog, QRect(), folder, QStringLiteral("progress"));
    }
    kpx::SetProgressClock(previous);
    return ok;
}

// The preview at a handset's width beside the page settings window, on the
// middle page with one movie streamed and one without picture, in one picture.
bool PreviewBesidePageSettings(kpx::Tkpx_TagsFrm *tags, const QString &folder)
{
    tags->findChild<QAction *>(QStringLiteral("MI_Col1"))->trigger();
    tags->move(40, 60);
    tags->findChild<kpx::TPageTabStrip *>()->SelectTab(1);
    tags->findChild<QAction *>(QStringLiteral("MI_Preview"))->trigger();
    tags->findChild<QToolButton *>(QStringLiteral("TagItem1sb_Stream"))->click();
    tags->findChild<QCheckBox *>(QStringLiteral("TagItem2cbx_NoPic"))->click();
    auto *preview = tags->findChild<kpx::Tkpx_PreviewFrm *>();
    if (!preview || !QTest::qWaitForWindowExposed(preview))
        return false;
    QTest::qWait(300);
    // Each window grabbed on its own and laid on a plain ground: the screen
    // between them holds whatever window lies behind.
    const QRect both = tags->frameGeometry().united(preview->frameGeometry()).adjusted(-8, -8, 8, 8);
    QPixmap picture(both.size());
    picture.fill(QColor(0x3A, 0x6E, 0xA5));
    {
        QPainter painter(&picture);
        for (QWidget *window : {static_cast<QWidget *>(tags), static_cast<QWidget *>(preview)})
            painter.drawPixmap(window->frameGeometry().topLeft() - both.topLeft(),
                               window->screen()->grabWindow(window->winId()));
    }
    const bool saved = SavePicture(picture, folder, QStringLiteral("preview"));
    preview->close();
    return saved;
}

// The road of one make-pages command, a picture at each window.
bool MakePagesRoad(const QString &folder)
{
    QTemporaryDir source, html;
    MakeMovies(source.path());
    auto mainWindow = std::make_unique<kpx::Tkpx_MainFrm>();
    auto settings = std::make_unique<kpx::Tkpx_cfgFrm>(mainWindow.get(), mainWindow->HtmlNameHistory());
    mainWindow->SetSettingsDialog(settings.get());
    QString answer;
    kpx::SetFolderChooser([&answer](QWidget *, const QString &, const QString &) { return answer; });
    answer = source.path();
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_org_mov"))->click();
    answer = html.path();
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_diropenhtml"))->click();
    mainWindow->findChild<kpx::TUpDown *>(QStringLiteral("ud_PageItemCnt"))->setValue(3);
    mainWindow->move(40, 40);
    bool ok = Save(mainWindow.get(), folder, QStringLiteral("main"));

    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_pagecfg"))->click();
    kpx::Tkpx_TagsFrm *tags = mainWindow->PageSettingsWindow();
    if (!tags)
        return false;
    tags->findChild<QAction *>(QStringLiteral("MI_Col3"))->trigger();
    tags->move(60, 120);
    ok = Save(tags, folder, QStringLiteral("page_settings")) && ok;
    ok = PreviewBesidePageSettings(tags, folder) && ok;

    SaveModalWhenOpen(folder, QStringLiteral("list"), ok, [folder, &ok](QWidget *list) {
        ok = ListMenu(list, folder) && ok;
        list->close();
    });
    tags->findChild<QAction *>(QStringLiteral("N1"))->trigger();

    SaveModalWhenOpen(folder, QStringLiteral("made"), ok);
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_makehtml"))->click();
    return ProgressDialog(folder, mainWindow.get()) && ok;
}

// The whole screen as the user sees it: how the windows fit it at this scale.
bool WholeScreen(const QString &folder, const QString &name)
{
    QTemporaryDir source, html;
    MakeMovies(source.path());
    auto mainWindow = std::make_unique<kpx::Tkpx_MainFrm>();
    auto settings = std::make_unique<kpx::Tkpx_cfgFrm>(mainWindow.get(), mainWindow->HtmlNameHistory());
    mainWindow->SetSettingsDialog(settings.get());
    QString answer = source.path();
    kpx::SetFolderChooser([&answer](QWidget *, const QString &, const QString &) { return answer; });
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_org_mov"))->click();
    answer = html.path();
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_diropenhtml"))->click();
    mainWindow->findChild<kpx::TUpDown *>(QStringLiteral("ud_PageItemCnt"))->setValue(10);
    mainWindow->show();
    [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(mainWindow.get());
    mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_pagecfg"))->click();
    kpx::Tkpx_TagsFrm *tags = mainWindow->PageSettingsWindow();
    if (!tags)
        return false;
    tags->findChild<QAction *>(QStringLiteral("MI_Col3"))->trigger();
    [[maybe_unused]] const bool shown = QTest::qWaitForWindowExposed(tags);
    QTest::qWait(500);
    return SavePicture(tags->screen()->grabWindow(0), folder, name);
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
    if (argc == 4 && QLatin1String(argv[2]) == QLatin1String("--screen"))
        return WholeScreen(folder, QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    const bool dialogs = SettingsDialogTabs(folder);
    return dialogs && MakePagesRoad(folder) ? 0 : 1;
}
