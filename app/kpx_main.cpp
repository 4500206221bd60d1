#include "app/kpx_main.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include "app/FolderBrowser.h"
#include "app/NameHistory.h"
#include "app/PublishProgress.h"
#include "components/AppIcon.h"
#include "components/ControlNames.h"
#include "components/DROPDST.h"
#include "components/DesktopWindow.h"
#include "components/EditingKeys.h"
#include "components/EnterAsTab.h"
#include "components/Glyphs.h"
#include "components/MessageDialogs.h"
#include "components/PageTextValidator.h"
#include "components/UpDown.h"
#include "components/WindowFont.h"
#include "pages/EntryScan.h"
#include "pages/MovieCopy.h"
#include "pages/PageGenerator.h"
#include "pages/PathRoutines.h"
#include "settings/SaveProp.h"
#include "settings/WindowSettings.h"
#include "settings/file/DefaultTemplates.h"
#include "settings/file/ProgramName.h"
#include "settings/file/SettingsError.h"
#include "settings/file/SettingsLayout.h"
#include "settings/kpx_cfg.h"
#include "tags/EntryReread.h"
#include "tags/kpx_tags.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

constexpr char16_t ScanCancelledText[] = u"ezmovieファイルの読み込みを中止しました。";
constexpr char16_t NoMoviesText[] = u"指定された元ezmovieディレクトリに\r\nezmovieファイルが存在しません。";

QFrame *AddPanel(QWidget *parent, const QRect &geometry)
{
    auto *panel = new QFrame(parent);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(geometry);
    return panel;
}

QLabel *AddLabel(QWidget *parent, const QString &caption, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->move(left, top);
    return label;
}

QLineEdit *AddFolderField(QWidget *parent, const char *name, int top)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(124, top, 296, 20);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAcceptDrops(false); // drops belong to the window
    QPalette grey = field->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Button));
    field->setPalette(grey);
    return field;
}

QPushButton *AddButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QPushButton *AddFolderButton(QWidget *parent, const char *name, int top, const QString &spokenName)
{
    QPushButton *button = AddButton(parent, name, QString(), QRect(420, top, 23, 23));
    button->setIcon(GlyphIcon(TGlyph::Folder));
    NamePictureButton(button, spokenName);
    return button;
}

} // namespace

Tkpx_MainFrm::Tkpx_MainFrm()
{
    setObjectName(QStringLiteral("kpx_MainFrm"));
    setWindowTitle(QString::fromUtf8(ProgramName));
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    ApplyWindowFont(this);
    CreateMenu();
    CreateControls();
    setFixedSize(456, 206 + menuBar()->sizeHint().height());
    move(screen()->availableGeometry().center() - rect().center());
    new TEnterAsTab(this);
    PrepareWindow(this);

    DropDst1 = new TDropDst(this);
    DropDst1->setObjectName(QStringLiteral("DropDst1"));
    DropDst1->SetOnFileDrop([this](TDropDst *, const QStringList &files, int, int) { DropDst1FileDrop(files); });
    DropDst1->SetTarget(htForm);
    DropDst1->Loaded();

    DeclareSettings();
    FormCreate();
}

Tkpx_MainFrm::~Tkpx_MainFrm()
{
    FormDestroy();
}

void Tkpx_MainFrm::CreateMenu()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル"));
    MI_Reread = file->addAction(QStringLiteral("再読み込み"));
    MI_Reread->setObjectName(QStringLiteral("MI_Reread"));
    MI_Reread->setShortcut(QKeySequence(Qt::Key_F5));
    MI_Reread->setEnabled(false);
    connect(MI_Reread, &QAction::triggered, this, &Tkpx_MainFrm::MI_RereadClick);
    file->addSeparator();
    QAction *close = file->addAction(QStringLiteral("閉じる"));
    close->setObjectName(QStringLiteral("Close1"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction *settings = menuBar()->addAction(QStringLiteral("環境設定"));
    settings->setObjectName(QStringLiteral("N1"));
    connect(settings, &QAction::triggered, this, &Tkpx_MainFrm::N1Click);
}

void Tkpx_MainFrm::CreateControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    QFrame *top = AddPanel(client, QRect(0, 0, 456, 126));
    QFrame *middle = AddPanel(client, QRect(0, 126, 456, 39));
    QFrame *bottom = AddPanel(client, QRect(0, 165, 456, 41));

    QLabel *Label1 = AddLabel(top, QStringLiteral("元ezmovieディレクトリ"), 10, 15);
    edt_org_mov = AddFolderField(top, "edt_org_mov", 12);
    NameByLabel(Label1, edt_org_mov);
    bbtn_org_mov = AddFolderButton(top, "bbtn_org_mov", 9, QStringLiteral("元ezmovieディレクトリを選択"));
    connect(bbtn_org_mov, &QPushButton::clicked, this, &Tkpx_MainFrm::bbtn_org_movClick);

    QLabel *Label3 = AddLabel(top, QStringLiteral("htmlファイル名"), 10, 44);
    htmlname_history = new QComboBox(top);
    htmlname_history->setObjectName(QStringLiteral("htmlname_history"));
    htmlname_history->setEditable(true);
    htmlname_history->setCompleter(nullptr); // completion is our own, see htmlname_historyChange
    htmlname_history->setInsertPolicy(QComboBox::NoInsert);
    htmlname_history->setGeometry(124, 39, 296, 20);
    htmlname_history->setAttribute(Qt::WA_InputMethodEnabled, false);
    htmlname_history->setEditText(QString::fromLatin1(DefaultHtmlFileName));
    htmlname_history->lineEdit()->setAcceptDrops(false);
    NameByLabel(Label3, htmlname_history);
    RestrictToPageText(htmlname_history->lineEdit());
    // The box keeps the focus and hands keys to its edit field directly, so
    // both are watched.
    htmlname_history->installEventFilter(this);
    htmlname_history->lineEdit()->installEventFilter(this);
    connect(htmlname_history, &QComboBox::editTextChanged, this, &Tkpx_MainFrm::htmlname_historyChange);

    QLabel *Label4 = AddLabel(top, QStringLiteral("htmlディレクトリ"), 10, 71);
    edt_htmlDir = AddFolderField(top, "edt_htmlDir", 67);
    NameByLabel(Label4, edt_htmlDir);
    bbtn_diropenhtml = AddFolderButton(top, "bbtn_diropenhtml", 66, QStringLiteral("htmlディレクトリを選択"));
    connect(bbtn_diropenhtml, &QPushButton::clicked, this, &Tkpx_MainFrm::bbtn_diropenhtmlClick);

    QLabel *Label2 = AddLabel(top, QStringLiteral("ezmovieディレクトリ"), 10, 97);
    edt_ezmovie = AddFolderField(top, "edt_ezmovie", 94);
    NameByLabel(Label2, edt_ezmovie);
    bbtn_diropenmovie = AddFolderButton(top, "bbtn_diropenmovie", 91, QStringLiteral("ezmovieディレクトリを選択"));
    connect(bbtn_diropenmovie, &QPushButton::clicked, this, &Tkpx_MainFrm::bbtn_diropenmovieClick);

    QLabel *Label5 = AddLabel(middle, QStringLiteral("１ページの掲載ファイル数"), 12, 12);
    ud_PageItemCnt = new TUpDown(QStringLiteral("ud_PageItemCnt"), QStringLiteral("edt_pageItemCnt"), middle);
    NameByLabel(Label5, ud_PageItemCnt);
    ud_PageItemCnt->setRange(ini::Html::ItemCount.Min, ini::Html::ItemCount.Max);
    ud_PageItemCnt->setValue(ini::Html::ItemCount.Default);
    // Wide enough for "10" beside its arrows in any style; the buttons to its
    // right give way only as far as it needs.
    const int spinWidth = std::max(35, ud_PageItemCnt->sizeHint().width());
    ud_PageItemCnt->setGeometry(154, 9, spinWidth, 20);
    const int shift = std::max(0, 154 + spinWidth + 9 - 198);
    ud_PageItemCnt->setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(ud_PageItemCnt, &TUpDown::arrowClicked, this, &Tkpx_MainFrm::ud_PageItemCntClick);
    bbtn_pagecfg = AddButton(middle, "bbtn_pagecfg", QStringLiteral("タグ設定"), QRect(198 + shift, 6, 95 - shift / 2, 25));
    bbtn_pagecfg->setIcon(GlyphIcon(TGlyph::PageSettings));
    connect(bbtn_pagecfg, &QPushButton::clicked, this, &Tkpx_MainFrm::bbtn_pagecfgClick);
    bbtn_makehtml = AddButton(middle, "bbtn_makehtml", QStringLiteral("HTMLファイル作成"),
                              QRect(bbtn_pagecfg->geometry().right() + 8, 6, 143 - (shift - shift / 2), 25));
    bbtn_makehtml->setIcon(GlyphIcon(TGlyph::MakePages));
    connect(bbtn_makehtml, &QPushButton::clicked, this, &Tkpx_MainFrm::bbtn_makehtmlClick);

    // The editor panels' shared input history, shown nowhere but kept here
    // as the window's own list.
    cb_InputHis = new QComboBox(bottom);
    cb_InputHis->setObjectName(QStringLiteral("cb_InputHis"));
    cb_InputHis->move(134, 8);
    cb_InputHis->setVisible(false);
    FStore.InputHistory.OnAdded = [this](const QString &text) { cb_InputHis->addItem(text); };

    bbtn_Close = AddButton(bottom, "bbtn_Close", QStringLiteral("閉じる"), QRect(364, 8, 75, 25));
    bbtn_Close->setIcon(GlyphIcon(TGlyph::Close));
    connect(bbtn_Close, &QPushButton::clicked, this, &QWidget::close);

    setTabOrder(bbtn_org_mov, htmlname_history);
    setTabOrder(htmlname_history, bbtn_diropenhtml);
    setTabOrder(bbtn_diropenhtml, bbtn_diropenmovie);
    setTabOrder(bbtn_diropenmovie, ud_PageItemCnt);
    setTabOrder(ud_PageItemCnt, bbtn_pagecfg);
    setTabOrder(bbtn_pagecfg, bbtn_makehtml);
    setTabOrder(bbtn_makehtml, bbtn_Close);
}

void Tkpx_MainFrm::DeclareSettings()
{
    IniSaveProps1 = new TIniSaveProps(this);
    IniSaveProps1->setObjectName(QStringLiteral("IniSaveProps1"));
    IniSaveProps1->SetAutoLoad(false);
    IniSaveProps1->SetAutoSave(false);
    TProps &props = IniSaveProps1->Props();
    const QString dirs = QLatin1String(ini::Dirs::Section);
    props.Add(edt_org_mov, QStringLiteral("Text"), dirs, QLatin1String(ini::Dirs::OrgMovDir.Name));
    props.Add(edt_htmlDir, QStringLiteral("Text"), dirs, QLatin1String(ini::Dirs::HtmlDir.Name));
    props.Add(edt_ezmovie, QStringLiteral("Text"), dirs, QLatin1String(ini::Dirs::EzmovieDir.Name));
    props.Add(ud_PageItemCnt, QStringLiteral("Position"), QLatin1String(ini::Html::Section),
              QLatin1String(ini::Html::ItemCount.Name));
    IniSaveProps1->SetRestorePlacement({TRestoreKind::Enabled, TRestoreKind::AllowMinimize});
    IniSaveProps1->SetOwnerIsMainWindow(true);
    IniSaveProps1->SetFindKeys({QLatin1String(ini::HtmlnameHistory.Section)});
    IniSaveProps1->OnFindStrValue = [this](TCustomSaveProps *, const QString &section, const QString &,
                                           const QString &value, bool &) {
        for (const QString &name : IniSaveProps1->FindKeys())
            if (name == section)
                if (auto *box = findChild<QComboBox *>(name))
                    box->addItem(value);
    };
    IniSaveProps1->OnAfterSave = [this](TCustomSaveProps *) { SaveHistoryItems(*htmlname_history, *IniSaveProps1); };
}

Tkpx_TagsFrm *Tkpx_MainFrm::PageSettingsWindow() const
{
    return FTagsFrm;
}

void Tkpx_MainFrm::SetSettingsDialog(Tkpx_cfgFrm *dialog)
{
    FCfgFrm = dialog;
}

void Tkpx_MainFrm::FormCreate()
{
    LoadWindowSettings(*IniSaveProps1, this);
    // The history's items came back; the box still starts with the default name.
    htmlname_history->setEditText(QString::fromLatin1(DefaultHtmlFileName));
    bbtn_makehtml->setEnabled(false);
}

void Tkpx_MainFrm::FormDestroy()
{
    // The page settings window saves its own settings as it goes.
    delete FTagsFrm;
    SaveWindowSettings(*IniSaveProps1, this);
}

void Tkpx_MainFrm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tkpx_MainFrm::FormShow()
{
    bbtn_org_mov->setFocus();
    if (!FCfgFrm)
        return;
    if (HeaderNeedsDefault(FCfgFrm->HeaderTemplate()))
        FCfgFrm->sb_def_headerClick();
    if (FootersNeedDefaults({FCfgFrm->FooterTemplate(0), FCfgFrm->FooterTemplate(1), FCfgFrm->FooterTemplate(2)}))
        FCfgFrm->sb_def_footerClick();
}

void Tkpx_MainFrm::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever else is open.
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

bool Tkpx_MainFrm::SetFolderField(QLineEdit *field, const QString &folder)
{
    const QString held = folder.endsWith(QLatin1Char(PathDelim)) ? folder : folder + QLatin1Char(PathDelim);
    if (!QStringToCp932(held)) {
        ShowWarning(this, QStringLiteral("フォルダ「%1」の名前には、ページに書けない文字が含まれています。\r\n"
                                         "別のフォルダを選択してください。")
                              .arg(held));
        return false;
    }
    field->setText(held);
    return true;
}

void Tkpx_MainFrm::bbtn_org_movClick()
{
    QString folder = edt_org_mov->text();
    if (SelectFolder(folder))
        SetFolderField(edt_org_mov, folder);
}

// A folder not chosen yet is looked for near the movies.
void Tkpx_MainFrm::bbtn_diropenhtmlClick()
{
    QString folder = edt_htmlDir->text();
    if (SelectFolder(folder, edt_org_mov->text()) && SetFolderField(edt_htmlDir, folder))
        edt_ezmovie->setText(edt_htmlDir->text());
}

void Tkpx_MainFrm::bbtn_diropenmovieClick()
{
    QString folder = edt_ezmovie->text();
    if (SelectFolder(folder, edt_org_mov->text()))
        SetFolderField(edt_ezmovie, folder);
}

void Tkpx_MainFrm::DropDst1FileDrop(const QStringList &files)
{
    if (files.isEmpty())
        return;
    const QFileInfo first(files.first());
    SetFolderField(edt_org_mov, first.isDir() ? first.filePath() : first.path());
}

bool Tkpx_MainFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == htmlname_history || watched == htmlname_history->lineEdit()) {
        if (event->type() == QEvent::KeyPress)
            htmlname_historyKeyDown(static_cast<QKeyEvent *>(event)->key());
        else if (watched == htmlname_history && event->type() == QEvent::FocusOut
                 && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            htmlname_historyExit();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tkpx_MainFrm::htmlname_historyKeyDown(int key)
{
    FCanComplete = !IsEditingKey(key);
}

void Tkpx_MainFrm::htmlname_historyChange(const QString &text)
{
    if (!FCanComplete || !FCfgFrm || !FCfgFrm->AutoComplete() || text.isEmpty())
        return;
    for (int i = 0; i < htmlname_history->count(); ++i) {
        const QString item = htmlname_history->itemText(i);
        if (!item.startsWith(text, Qt::CaseInsensitive))
            continue;
        const int typed = static_cast<int>(text.size());
        const QSignalBlocker quiet(htmlname_history);
        htmlname_history->lineEdit()->setText(item);
        htmlname_history->lineEdit()->setSelection(typed, static_cast<int>(item.size()) - typed);
        return;
    }
}

void Tkpx_MainFrm::htmlname_historyExit()
{
    const QString text = htmlname_history->currentText();
    if (text.trimmed().isEmpty())
        return;
    htmlname_history->setEditText(NormalizeHtmlFileName(text));
    AddToHistory(*htmlname_history, htmlname_history->currentText(), FCfgFrm ? FCfgFrm->HistoryCount() : 0);
    if (FTagsFrm)
        FTagsFrm->RenamePages(htmlname_history->currentText());
}

void Tkpx_MainFrm::ud_PageItemCntClick()
{
    if (FTagsFrm && FTagsFrm->isVisible())
        bbtn_pagecfgClick();
}

void Tkpx_MainFrm::bbtn_pagecfgClick()
{
    bbtn_makehtml->setEnabled(BuildPageSettings());
    MI_Reread->setEnabled(FTagsFrm != nullptr);
}

void Tkpx_MainFrm::MI_RereadClick()
{
    RereadSourceFolder();
    MI_Reread->setEnabled(FTagsFrm != nullptr);
}

void Tkpx_MainFrm::RereadSourceFolder()
{
    TEntryList &list = FStore.List;
    const TEntryList before = list;
    const std::vector<TRecFileData> kept(before.FEntries.begin(), before.FEntries.begin() + EntriesInUse(before));
    TDelayedProgress progress(this, QStringLiteral("再読み込み"));
    const bool complete = ScanSourceFolder(edt_org_mov->text(), &progress);
    progress.Close();
    // A folder that cannot be read, or that is empty now (a drive not yet
    // mounted), must not cost the user the edits.
    if (!complete || list.FEntries.empty()) {
        list = before;
        if (progress.Cancelled())
            ShowInformation(this, QString::fromUtf16(ScanCancelledText));
        else if (complete)
            ShowWarning(this, QString::fromUtf16(NoMoviesText));
        else
            ShowWarning(this, QStringLiteral("元ezmovieディレクトリを読み込めませんでした。"));
        return;
    }
    const TRereadChange change = KeepEdits(kept, list.FEntries);
    UseAllEntries(list);
    const bool built = BuildPageSettings();
    bbtn_makehtml->setEnabled(built);
    if (built)
        ShowInformation(
            this, QStringLiteral("再読み込みしました（%1 件追加、%2 件削除）。").arg(change.Added).arg(change.Removed));
}

bool Tkpx_MainFrm::BuildPageSettings()
{
    try {
        if (FTagsFrm) {
            delete FTagsFrm; // saves its settings; the entry list stays
        } else {
            TDelayedProgress progress(this, QStringLiteral("タグ設定"));
            ScanSourceFolder(edt_org_mov->text(), &progress);
            progress.Close();
            if (progress.Cancelled()) {
                ShowInformation(this, QString::fromUtf16(ScanCancelledText));
                return false;
            }
            if (FStore.List.FEntryCount == 0) {
                ShowWarning(this, QString::fromUtf16(NoMoviesText));
                bbtn_org_mov->setFocus();
                return false;
            }
        }
        if (!FCfgFrm)
            return false;
        FTagsFrm = new Tkpx_TagsFrm(FStore, *FCfgFrm, this);
        LayOutPages(FStore.List, ud_PageItemCnt->value());
        FTagsFrm->Build(htmlname_history->currentText());
        FollowPublishJob();
        return true;
    } catch (const TSettingsError &error) {
        ShowError(this, QStringLiteral("ページ設定を作成できませんでした。\r\n") + error.Message());
    } catch (const std::exception &error) {
        ShowError(this, QStringLiteral("ページ設定を作成できませんでした。\r\n") + QString::fromLocal8Bit(error.what()));
    }
    return false;
}

void Tkpx_MainFrm::N1Click()
{
    if (FCfgFrm)
        FCfgFrm->exec();
}

} // namespace kpx
