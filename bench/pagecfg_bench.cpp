// Times "タグ設定" in the desktop program on a generated folder: a fresh main
// window and settings dialog each round, the source folder chosen, then the
// button clicked until the page settings window is shown and painted (the
// first scan of the folder included). Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.
//
//   build/bench/pagecfg_bench [movies=100000] [per page=10] [rounds=3]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "PublishBenchSupport.h"
#include "app/FolderBrowser.h"
#include "app/kpx_main.h"
#include "components/UpDown.h"
#include "settings/file/IniStorage.h"
#include "settings/file/SettingsLayout.h"
#include "settings/kpx_cfg.h"
#include "tags/kpx_tags.h"

using namespace kpx::bench;
using namespace kpx::bench::detail;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int movies = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int perPage = argc > 2 ? kpx::ini::Html::ItemCount.Clamp(std::atoi(argv[2])) : 10;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    QTemporaryDir dir;
    kpx::TSettingsPathOverride settings(dir.filePath(QStringLiteral("kpx_app.ini")));
    const QString source = dir.filePath(QStringLiteral("source"));
    std::filesystem::create_directory(source.toStdString());
    MakeMovies(source.toStdString(), movies, 1024);
    kpx::SetFolderChooser([&source](QWidget *, const QString &, const QString &) { return source; });

    std::vector<double> clicks;
    for (int round = 0; round < rounds; ++round) {
        auto mainWindow = std::make_unique<kpx::Tkpx_MainFrm>();
        auto dialog = std::make_unique<kpx::Tkpx_cfgFrm>(mainWindow.get(), mainWindow->HtmlNameHistory());
        mainWindow->SetSettingsDialog(dialog.get());
        mainWindow->show();
        mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_org_mov"))->click();
        mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_diropenhtml"))->click();
        mainWindow->findChild<kpx::TUpDown *>(QStringLiteral("ud_PageItemCnt"))->setValue(perPage);
        QApplication::processEvents();

        const auto start = Clock::now();
        mainWindow->findChild<QPushButton *>(QStringLiteral("bbtn_pagecfg"))->click();
        kpx::Tkpx_TagsFrm *tags = mainWindow->PageSettingsWindow();
        QApplication::processEvents(); // layout
        if (tags)
            tags->repaint(); // and a full paint
        clicks.push_back(Seconds(Clock::now() - start));
        if (!tags)
            std::fprintf(stderr, "the page settings window did not open\n");
        mainWindow.reset();
        dialog.reset();
    }
    std::printf("%d movies at %d per page, median of %d rounds\n", movies, perPage, rounds);
    std::printf("タグ設定 (scan, page settings window shown): %.3f s\n", Median(clicks));
    return 0;
}
