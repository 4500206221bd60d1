#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/FolderBrowser.h"
#include "app/kpx_main.h"
#include "components/MessageDialogs.h"
#include "settings/file/IniStorage.h"
#include "settings/kpx_cfg.h"
#include "support/WidgetSupport.h"

namespace kpx::test {

// The program's two lasting windows on a settings file of the test's own,
// with message boxes recorded and the folder browser answered by the test.
class MainWindowTest : public ::testing::Test
{
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // Creates the windows as the program does (closing earlier ones first,
    // which saves their settings).
    void StartProgram();
    void StopProgram();

    template <typename T>
    T *Find(const char *name) const
    {
        T *widget = Main->findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char *buttonName) const;
    // The next folder browser answers this folder (nullopt: cancel).
    void AnswerFolder(std::optional<QString> folder);
    QString FolderOf(const TempDir &dir) const { return QString::fromStdString(dir.path().string()); }

    TempDir SettingsDir;
    TSettingsPathOverride SettingsPath;
    TMessageRecorder Messages;
    std::unique_ptr<Tkpx_MainFrm> Main;
    std::unique_ptr<Tkpx_cfgFrm> Settings;
    std::optional<QString> NextFolder;
    QStringList BrowserStarts;

private:
    TFolderChooser FPreviousChooser;
};

} // namespace kpx::test
