#include "tags/kpx_tags.h"

#include <algorithm>
#include <exception>

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "components/DesktopWindow.h"
#include "components/EnterAsTab.h"
#include "components/Glyphs.h"
#include "components/MessageDialogs.h"
#include "components/StayOnTop.h"
#include "components/WindowFont.h"
#include "components/WindowFrame.h"
#include "pages/PageGenerator.h"
#include "settings/SaveProp.h"
#include "settings/WindowSettings.h"
#include "settings/file/AppOptions.h"
#include "settings/file/SettingsLayout.h"
#include "sort/kpx_sort.h"
#include "tags/ControlTag.h"
#include "tags/EntryStore.h"
#include "tags/PageTabStrip.h"
#include "tags/kpx_class.h"
#include "tags/kpx_preview.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

constexpr int PanelMargin = 4;         // between the scroll box's edge and the panels
constexpr int BottomPanelHeight = 40;

} // namespace

Tkpx_TagsFrm::Tkpx_TagsFrm(TEntryStore &store, const TAppOptions &options, QWidget *owner)
    // A dialog-type window, so the desktop knows its owner: it stays above the
    // main window and is minimised with it.
    : QMainWindow(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , FStore(store)
    , FOptions(options)
{
    setObjectName(QStringLiteral("kpx_TagsFrm"));
    setWindowTitle(QStringLiteral("ページ設定"));
    ApplyWindowFont(this);
    new TEnterAsTab(this);
    CreateMenu();
    CreateClientArea();
    PrepareWindow(this);
    resize(394, 393);
    DeclareSettings();
    LoadWindowSettings(*IniSaveProps1, this);
}

Tkpx_TagsFrm::~Tkpx_TagsFrm()
{
    SaveWindowSettings(*IniSaveProps1, this);
    // Closing moves the focus out of a panel, which stores its box and would
    // tell this window, already half destroyed, of the change.
    for (TTagItem *panel : Panels())
        disconnect(panel, nullptr, this, nullptr);
}

void Tkpx_TagsFrm::CreateMenu()
{
    QAction *N1 = menuBar()->addAction(QStringLiteral("一覧・並べ替え"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, &Tkpx_TagsFrm::N1Click);

    MI_ColCnt = menuBar()->addMenu(QStringLiteral("列数"));
    MI_ColCnt->setObjectName(QStringLiteral("MI_ColCnt"));
    FColumnItems = new QActionGroup(this);
    const QStringList captions = {QStringLiteral("１列"), QStringLiteral("２列"), QStringLiteral("３列")};
    for (int columns = 1; columns <= 3; ++columns) {
        QAction *item = MI_ColCnt->addAction(captions.at(columns - 1));
        item->setObjectName(QStringLiteral("MI_Col%1").arg(columns));
        item->setCheckable(true);
        SetControlTag(item, columns);
        FColumnItems->addAction(item);
    }
    connect(FColumnItems, &QActionGroup::triggered, this, &Tkpx_TagsFrm::MI_Col3Click);
    SetColCount(1);

    QAction *MI_Preview = menuBar()->addAction(QStringLiteral("プレビュー"));
    MI_Preview->setObjectName(QStringLiteral("MI_Preview"));
    connect(MI_Preview, &QAction::triggered, this, &Tkpx_TagsFrm::MI_PreviewClick);
}

void Tkpx_TagsFrm::CreateClientArea()
{
    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    tbc_tags = new TPageTabStrip(client);
    tbc_tags->setObjectName(QStringLiteral("tbc_tags"));
    tbc_tags->setAccessibleName(QStringLiteral("ページ"));
    connect(tbc_tags, &TPageTabStrip::CurrentChanging, this, &Tkpx_TagsFrm::tbc_tagsChanging);
    connect(tbc_tags, &TPageTabStrip::CurrentChanged, this, &Tkpx_TagsFrm::tbc_tagsChange);
    layout->addWidget(tbc_tags);

    sbox_tags = new QScrollArea(client);
    sbox_tags->setObjectName(QStringLiteral("sbox_tags"));
    sbox_tags->setFrameShape(QFrame::NoFrame);
    sbox_tags->setFocusPolicy(Qt::NoFocus); // Tab goes to the panels' controls, not to the area around them
    FPanelHost = new QWidget;
    sbox_tags->setWidget(FPanelHost);
    layout->addWidget(sbox_tags, 1);

    auto *pnl_bottom = new QFrame(client);
    pnl_bottom->setObjectName(QStringLiteral("pnl_bottom"));
    pnl_bottom->setFixedHeight(BottomPanelHeight);
    auto *bottomLayout = new QHBoxLayout(pnl_bottom);
    // The button's left edge stays 100 pixels from the panel's right end.
    bottomLayout->setContentsMargins(0, 8, 25, 7);
    bottomLayout->addStretch();
    auto *bbtn_Close = new QPushButton(GlyphIcon(TGlyph::Close), QStringLiteral("閉じる"), pnl_bottom);
    bbtn_Close->setObjectName(QStringLiteral("bbtn_Close"));
    bbtn_Close->setFixedSize(75, 25);
    // Closing hides: the main window keeps reading the page names.
    connect(bbtn_Close, &QPushButton::clicked, this, &QWidget::close);
    bottomLayout->addWidget(bbtn_Close);
    layout->addWidget(pnl_bottom);

    setCentralWidget(client);
}

// Placement in the normal state only; the column count as a key of its own.
void Tkpx_TagsFrm::DeclareSettings()
{
    IniSaveProps1 = new TIniSaveProps(this);
    IniSaveProps1->setObjectName(QStringLiteral("IniSaveProps1"));
    IniSaveProps1->SetAutoLoad(false);
    IniSaveProps1->SetAutoSave(false);
    IniSaveProps1->SetRestorePlacement({TRestoreKind::Enabled});
    IniSaveProps1->SetFindKeys({QLatin1String(ini::TagForm::Section)});
    IniSaveProps1->OnFindOrdValue = [this](TCustomSaveProps *, const QString &section, const QString &, int value,
                                           bool &) { IniSaveProps1FindOrdValue(section, value); };
    IniSaveProps1->OnAfterSave = [this](TCustomSaveProps *) { IniSaveProps1AfterSave(); };
}

void Tkpx_TagsFrm::IniSaveProps1FindOrdValue(const QString &section, int value)
{
    if (section == QLatin1String(ini::TagForm::Section))
        SetColCount(value);
}

void Tkpx_TagsFrm::IniSaveProps1AfterSave()
{
    IniSaveProps1->WriteInteger(QLatin1String(ini::TagForm::Section), QLatin1String(ini::TagForm::ColCount.Name),
                                ColCount());
}

void Tkpx_TagsFrm::Build(const QString &htmlFileName)
{
    FillPageTabs(htmlFileName);
    CreatePanels();
    show();
}

void Tkpx_TagsFrm::FillPageTabs(const QString &htmlFileName)
{
    const std::vector<std::string> names = PageFileNames(QStringToCp932Lossy(htmlFileName), FStore.List.FPageCount);
    QStringList captions;
    captions.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string &name : names)
        captions.append(Cp932ToQString(name));
    tbc_tags->SetTabs(captions);
}

void Tkpx_TagsFrm::RenamePages(const QString &htmlFileName)
{
    QStringList captions;
    for (const std::string &name : PageFileNames(QStringToCp932Lossy(htmlFileName), tbc_tags->Count()))
        captions.append(Cp932ToQString(name));
    if (captions == tbc_tags->Tabs())
        return;
    tbc_tags->RenameTabs(captions);
    PublishJobChanged();
}

std::vector<std::string> Tkpx_TagsFrm::PageNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(tbc_tags->Count()));
    for (const QString &caption : tbc_tags->Tabs())
        names.push_back(QStringToCp932Lossy(caption));
    return names;
}

// One panel per position of a page, showing the first page. Positions past
// the last entry get an empty record and stay hidden until a page fills them.
void Tkpx_TagsFrm::CreatePanels()
{
    qDeleteAll(Panels());
    const TEntryList &list = FStore.List;
    for (int i = 0; i < list.FPageItemCount; ++i) {
        auto *panel = new TTagItem(FPanelHost, FStore, FOptions);
        panel->setObjectName(QStringLiteral("TagItem%1").arg(i));
        panel->SetTag(i);
        const bool hasEntry = IsEntryInUse(list, i);
        panel->SetRecFileData(hasEntry ? list.FEntries[static_cast<size_t>(i)] : TRecFileData());
        panel->move(PanelMargin, i * TTagItem::ItemHeight + PanelMargin);
        panel->CreateControls();
        panel->setVisible(hasEntry);
        connect(panel, &TTagItem::EntryStored, this, &Tkpx_TagsFrm::PublishJobChanged);
    }
}

// The panels in creation order: index i is the panel named TagItem<i>.
QList<TTagItem *> Tkpx_TagsFrm::Panels() const
{
    return FPanelHost->findChildren<TTagItem *>(Qt::FindDirectChildrenOnly);
}

// A value still being typed belongs to the entry on screen now, before the
// page changes or another window takes over.
void Tkpx_TagsFrm::StoreFocusedEdit()
{
    auto *edit = qobject_cast<QLineEdit *>(focusWidget());
    if (!edit)
        return;
    if (auto *panel = qobject_cast<TTagItem *>(edit->parentWidget()))
        panel->RecFileDataChange(edit);
}

void Tkpx_TagsFrm::tbc_tagsChanging()
{
    StoreFocusedEdit();
}

void Tkpx_TagsFrm::tbc_tagsChange()
{
    try {
        ReloadPanels();
    } catch (const std::exception &error) {
        ShowError(this, QString::fromUtf8(error.what()));
    }
    PublishJobChanged();
}

void Tkpx_TagsFrm::ReloadPanels()
{
    const TEntryList &list = FStore.List;
    const auto [first, end] = PageEntryRange(list, tbc_tags->CurrentIndex());
    const QList<TTagItem *> panels = Panels();
    for (int i = 0; i < panels.size(); ++i) {
        TTagItem *panel = panels.at(i);
        const int index = first + i;
        if (index >= end) {
            panel->hide();
            continue;
        }
        panel->show();
        panel->SetTag(index);
        panel->LoadRecFileData(list.FEntries.at(static_cast<size_t>(index)));
    }
}

// The list window edits the whole list; the panels show what it left.
void Tkpx_TagsFrm::N1Click()
{
    StoreFocusedEdit();
    {
        Tkpx_sortFrm sortFrm(FStore.List, FOptions, this);
        sortFrm.exec();
    }
    tbc_tagsChange();
}

void Tkpx_TagsFrm::MI_Col3Click(QAction *item)
{
    SetColCount(ControlTag(item));
    ArrangeItems();
}

int Tkpx_TagsFrm::ColCount() const
{
    return ControlTag(MI_ColCnt);
}

// Checks the column item of that count; a count no item has (a value edited
// into the settings file by hand) is ignored, as it would break the layout.
void Tkpx_TagsFrm::SetColCount(int count)
{
    for (QAction *item : FColumnItems->actions()) {
        if (ControlTag(item) == count) {
            item->setChecked(true);
            SetControlTag(MI_ColCnt, count);
        }
    }
}

// Lays the panels out in rows of ColCount() columns, or of as many as the
// screen is wide enough for, and sizes the window to show as many rows as the
// screen takes; the rest scroll. The window is exactly as large as those rows
// with the menu, the tabs and the bottom panel around them: sizes fixed for
// another toolkit's frame and bars would leave an empty band below the panels
// or cut them off. Then it is moved wholly onto the screen.
void Tkpx_TagsFrm::ArrangeItems()
{
    const QList<TTagItem *> panels = Panels();
    const QSize area = ScreenArea();
    const QMargins frame = FrameMargins(this);
    const int scrollBar = sbox_tags->verticalScrollBar()->sizeHint().width();
    const int columnsThatFit = (area.width() - frame.left() - frame.right() - scrollBar - 2 * PanelMargin)
                               / TTagItem::ItemWidth;
    const int columns = std::clamp(columnsThatFit, 1, ColCount());
    // The columns fit across: a scaled screen's rounding must not bring a
    // scroll bar for the last pixel. A screen too narrow for one column scrolls.
    sbox_tags->setHorizontalScrollBarPolicy(columnsThatFit >= 1 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    for (int i = 0; i < panels.size(); ++i)
        panels.at(i)->move(i % columns * TTagItem::ItemWidth + PanelMargin, i / columns * TTagItem::ItemHeight + PanelMargin);

    const int around = menuBar()->sizeHint().height() + tbc_tags->sizeHint().height() + 2 * PanelMargin
                       + BottomPanelHeight;
    const int rowsNeeded = (static_cast<int>(panels.size()) + columns - 1) / columns;
    const int rowsThatFit =
        std::max(1, (area.height() - frame.top() - frame.bottom() - around) / TTagItem::ItemHeight);
    const int rowsShown = std::min(rowsNeeded, rowsThatFit);
    const int panelsWidth = columns * TTagItem::ItemWidth + 2 * PanelMargin;
    FPanelHost->resize(panelsWidth, rowsNeeded * TTagItem::ItemHeight + 2 * PanelMargin);
    resize(panelsWidth + (rowsNeeded > rowsShown ? scrollBar : 0), around + rowsShown * TTagItem::ItemHeight);
    KeepOnScreen(this);
}

QSize Tkpx_TagsFrm::ScreenArea() const
{
    return FScreenArea.isEmpty() ? AvailableArea(this).size() : FScreenArea;
}

void Tkpx_TagsFrm::setVisible(bool visible)
{
    if (visible && isHidden())
        FormShow();
    // A preview left alone would show a page of a window no longer there;
    // hidden, it keeps its place for the next time.
    if (!visible && FPreview)
        FPreview->hide();
    QMainWindow::setVisible(visible);
}

void Tkpx_TagsFrm::FormShow()
{
    ArrangeItems();
    // Centred on the screen until a stored or user-chosen position exists.
    if (!testAttribute(Qt::WA_Moved))
        move(screen()->availableGeometry().center() - rect().center());
    if (FOptions.AlwaysTop())
        SetStayOnTop(this, true);
}

} // namespace kpx
