#include <map>

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "PublishProgram.h"
#include "app/FolderBrowser.h"
#include "app/kpx_main.h"
#include "components/MessageDialogs.h"
#include "components/UpDown.h"
#include "settings/file/IniStorage.h"
#include "settings/kpx_cfg.h"
#include "support/TestSupport.h"
#include "support/WidgetSupport.h"

using namespace kpx;
using namespace kpx::test;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> FilesIn(const fs::path &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return files;
}

} // namespace

// The command-line publisher writes exactly what the desktop program's
// make-pages command writes right after "タグ設定" in a session started from
// the same settings file.
TEST(DesktopRoad, PublisherWritesTheSameFilesAsTheMainWindow)
{
    TempDir settings, source, desktopHtml, publisherHtml;
    const fs::path ini = settings / "kpx_app.ini";
    const std::pair<const char *, int> movies[] = {
        {"夏祭り.amc", 1200}, {"ｶﾗｵｹ.amc", 900}, {"opening.amc", 3000}, {"Ending.AMC", 64}, {"b&c.amc", 10}};
    for (const auto &[name, size] : movies)
        WriteFileBytes(source / name, std::string(static_cast<size_t>(size), 'm'));
    {
        TSettingsPathOverride settingsPath(Arg(ini));
        TMessageRecorder messages;
        const QStringList answers = {Arg(source.path()), Arg(desktopHtml.path())};
        int asked = 0;
        const TFolderChooser previous = SetFolderChooser(
            [&](QWidget *, const QString &, const QString &) { return std::optional<QString>(answers.at(asked++)); });
        // One session sets the folders and the count; the default templates are
        // filled in when it shows its window, and all of it is saved at its end.
        {
            Tkpx_MainFrm mainWindow;
            Tkpx_cfgFrm dialog(&mainWindow, mainWindow.HtmlNameHistory());
            mainWindow.SetSettingsDialog(&dialog);
            mainWindow.show();
            mainWindow.findChild<QPushButton *>(QStringLiteral("bbtn_org_mov"))->click();
            mainWindow.findChild<QPushButton *>(QStringLiteral("bbtn_diropenhtml"))->click();
            mainWindow.findChild<TUpDown *>(QStringLiteral("ud_PageItemCnt"))->setValue(2);
        }
        // The next session makes the pages from what the file holds.
        {
            Tkpx_MainFrm mainWindow;
            Tkpx_cfgFrm dialog(&mainWindow, mainWindow.HtmlNameHistory());
            mainWindow.SetSettingsDialog(&dialog);
            mainWindow.show();
            mainWindow.findChild<QPushButton *>(QStringLiteral("bbtn_pagecfg"))->click();
            mainWindow.findChild<QPushButton *>(QStringLiteral("bbtn_makehtml"))->click();
        }
        SetFolderChooser(previous);
        ASSERT_EQ(messages.Messages().size(), 1);
        EXPECT_EQ(kpx::test::FirstLine(messages.Messages()[0].Text), QStringLiteral("htmlファイルを作成しました。"));
    }

    const TProgramRun run = RunProgram({QStringLiteral("--ini"), Arg(ini), QStringLiteral("--html-dir"),
                                        Arg(publisherHtml.path()), QStringLiteral("--quiet")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto desktop = FilesIn(desktopHtml.path());
    EXPECT_EQ(desktop.size(), 8u); // five movies, three pages
    EXPECT_EQ(FilesIn(publisherHtml.path()), desktop);
}
