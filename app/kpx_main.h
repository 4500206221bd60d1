// The main window and the make-pages command. May touch: widgets, the engine, the settings file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "pages/PageGenerator.h"
#include "tags/EntryStore.h"

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kpx {

class TDelayedProgress;
class TDropDst;
class TIniSaveProps;
class TUpDown;
class Tkpx_TagsFrm;
class Tkpx_cfgFrm;

// The main window: the source folder, the page name, the html and movie
// folders and the movies per page; it builds the page settings window and
// runs the make-pages command. It owns the entry list.
class Tkpx_MainFrm : public QMainWindow
{
    Q_OBJECT

public:
    Tkpx_MainFrm();
    ~Tkpx_MainFrm() override;

    // The settings dialog is created after this window; it is handed over
    // before the window is first shown.
    void SetSettingsDialog(Tkpx_cfgFrm *dialog);
    QComboBox *HtmlNameHistory() const { return htmlname_history; }
    TEntryStore &Store() { return FStore; }
    Tkpx_TagsFrm *PageSettingsWindow() const;

    // False when the listing failed or the user cancelled it (progress->Cancelled()).
    bool ScanSourceFolder(const QString &folder, TDelayedProgress *progress = nullptr);
    // The settings of a run as the windows read now, and the run they make;
    // the preview shows pages from it.
    TPublishSettings PublishSettings() const;
    TPublishJob PublishJob() const;
    bool MakeHtmlFiles();
    bool BuildPageSettings();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateMenu();
    void CreateControls();
    void DeclareSettings();

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void bbtn_org_movClick();
    void bbtn_diropenhtmlClick();
    void bbtn_diropenmovieClick();
    void DropDst1FileDrop(const QStringList &files);
    void htmlname_historyKeyDown(int key);
    void htmlname_historyChange(const QString &text);
    void htmlname_historyExit();
    void ud_PageItemCntClick();
    void bbtn_pagecfgClick();
    void bbtn_makehtmlClick();
    void MI_RereadClick();
    // Scans the source folder again and rebuilds the page settings window,
    // keeping the edits of every movie still there (KeepEdits).
    void RereadSourceFolder();
    void N1Click();
    void FollowPublishJob();
    void ShowClosingWords();

    // Sets a folder field; a folder code page 932 cannot spell is refused.
    bool SetFolderField(QLineEdit *field, const QString &folder);

    QLineEdit *edt_org_mov = nullptr;
    QPushButton *bbtn_org_mov = nullptr;
    QComboBox *htmlname_history = nullptr;
    QLineEdit *edt_htmlDir = nullptr;
    QPushButton *bbtn_diropenhtml = nullptr;
    QLineEdit *edt_ezmovie = nullptr;
    QPushButton *bbtn_diropenmovie = nullptr;
    TUpDown *ud_PageItemCnt = nullptr;
    QPushButton *bbtn_pagecfg = nullptr;
    QPushButton *bbtn_makehtml = nullptr;
    QComboBox *cb_InputHis = nullptr;
    QPushButton *bbtn_Close = nullptr;
    QAction *MI_Reread = nullptr; // "再読み込み", once a page settings window exists
    TIniSaveProps *IniSaveProps1 = nullptr;
    TDropDst *DropDst1 = nullptr;

    bool FCanComplete = false;
    TEntryStore FStore;
    Tkpx_cfgFrm *FCfgFrm = nullptr;
    QPointer<Tkpx_TagsFrm> FTagsFrm;
    TRunSummary FLastRun; // what the last make-pages run did
};

} // namespace kpx
