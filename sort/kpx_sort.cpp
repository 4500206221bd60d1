#include "sort/kpx_sort.h"

#include <algorithm>
#include <optional>

#include <QContextMenuEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "components/DesktopWindow.h"
#include "components/Glyphs.h"
#include "components/MessageDialogs.h"
#include "components/StayOnTop.h"
#include "components/WindowFont.h"
#include "components/WindowFrame.h"
#include "settings/SaveProp.h"
#include "settings/WindowSettings.h"
#include "settings/file/AppOptions.h"
#include "settings/file/SettingsLayout.h"
#include "sort/SortCellDelegate.h"
#include "sort/SortGridModel.h"
#include "sort/SortRow.h"

namespace kpx {

namespace {

constexpr int HeaderHeight = 17;
constexpr int RowHeight = 16;
constexpr int BottomPanelHeight = 43;
constexpr int CloseButtonRightGap = 100;
static_assert(ini::SortGrid::ColumnCount == scColumnCount);

// The sort direction of the next header click, and the move direction of a
// move button, are kept in the control's "tag".
constexpr char TagProperty[] = "tag";
constexpr int MoveUpTag = 0;
constexpr int MoveDownTag = 1;

// Styles size headers for their font; the list's header bar keeps its design height.
class TFixedHeightHeader : public QHeaderView
{
public:
    TFixedHeightHeader(int height, QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent)
        , FHeight(height)
    {
    }

    QSize sizeHint() const override { return {QHeaderView::sizeHint().width(), FHeight}; }

private:
    int FHeight;
};

// The texts a coded column can show.
QStringList CaptionsOf(int column)
{
    QStringList captions;
    auto add = [&captions](const auto &table) {
        for (const std::string_view caption : table)
            captions << QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    };
    if (column == scDlKind)
        add(DlKindCaptions);
    else if (column == scSoundKind)
        add(SoundKindCaptions);
    else if (column == scVideo)
        add(VideoCaptions);
    return captions;
}

QToolButton *MakeToolButton(QWidget *toolBar, const char *name, const QString &caption, TGlyph glyph, int left)
{
    auto *button = new QToolButton(toolBar);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(GlyphIcon(glyph));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    const QPoint inside = toolBar->contentsRect().topLeft();
    button->setGeometry(inside.x() + left, inside.y() + 2, 60, 22);
    return button;
}

} // namespace

Tkpx_sortFrm::Tkpx_sortFrm(TEntryList &list, const TAppOptions &options, QWidget *owner)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                         | Qt::WindowCloseButtonHint)
    , FList(list)
    , FOptions(options)
{
    setObjectName(QStringLiteral("kpx_sortFrm"));
    setWindowTitle(QStringLiteral("一覧・並び替え"));
    ApplyWindowFont(this);
    CreateControls();
    PrepareWindow(this);
    ResizeWithFrame(this, QSize(711, 352));
    // Centred on the screen until the settings file knows a placement.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    DeclareSettings();
    FormCreate();
}

Tkpx_sortFrm::~Tkpx_sortFrm()
{
    FormDestroy();
}

void Tkpx_sortFrm::CreateControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnl_center = new QFrame(this);
    pnl_center->setObjectName(QStringLiteral("pnl_center"));
    pnl_center->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CreateGrid();
    layout->addWidget(pnl_center, 1);

    pnl_bottom = new QFrame(this);
    pnl_bottom->setObjectName(QStringLiteral("pnl_bottom"));
    pnl_bottom->setFixedHeight(BottomPanelHeight);
    CreateBottomPanel();
    layout->addWidget(pnl_bottom);
    CreateGridMenu();
}

void Tkpx_sortFrm::CreateGrid()
{
    FModel = new TSortGridModel(this);

    sg_sort = new QTableView(pnl_center);
    sg_sort->setObjectName(QStringLiteral("sg_sort"));
    sg_sort->setAccessibleName(QStringLiteral("一覧"));
    sg_sort->setFrameShape(QFrame::NoFrame);
    // The header bar is the grid's own, so its sections and the columns
    // below always share widths and scroll together.
    hdctl_sort = new TFixedHeightHeader(HeaderHeight, sg_sort);
    hdctl_sort->setObjectName(QStringLiteral("hdctl_sort"));
    sg_sort->setHorizontalHeader(hdctl_sort);
    sg_sort->setModel(FModel);
    sg_sort->setItemDelegate(new TSortCellDelegate(FList, sg_sort));
    sg_sort->setSelectionBehavior(QAbstractItemView::SelectRows);
    sg_sort->setSelectionMode(QAbstractItemView::SingleSelection);
    sg_sort->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sg_sort->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sg_sort->setShowGrid(true);
    sg_sort->setWordWrap(false);
    sg_sort->setTabKeyNavigation(false); // Tab leaves the grid for the buttons below it
    // Uniform fixed rows let the view lay out a hundred thousand rows at once.
    QHeaderView *rows = sg_sort->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(RowHeight);
    rows->setDefaultSectionSize(RowHeight);

    hdctl_sort->setSectionsClickable(true);
    hdctl_sort->setSectionResizeMode(QHeaderView::Interactive);
    hdctl_sort->setMinimumSectionSize(ini::SortGrid::MinWidth);
    hdctl_sort->setHighlightSections(false);
    hdctl_sort->setStretchLastSection(false);
    hdctl_sort->setDefaultAlignment(Qt::AlignCenter);
    hdctl_sort->setAttribute(Qt::WA_Hover); // hot-tracking
    hdctl_sort->setToolTip(QStringLiteral("クリックでソートします"));
    hdctl_sort->setProperty(TagProperty, 0);
    for (int column = 0; column < scColumnCount; ++column)
        hdctl_sort->resizeSection(column, DefaultColumnWidth(column));
    connect(hdctl_sort, &QHeaderView::sectionClicked, this, &Tkpx_sortFrm::hdctl_sortSectionClick);
    connect(sg_sort->selectionModel(), &QItemSelectionModel::selectionChanged, this, &Tkpx_sortFrm::UpdateButtons);
    connect(FModel, &QAbstractItemModel::modelReset, this, &Tkpx_sortFrm::UpdateButtons);
    connect(FModel, &QAbstractItemModel::rowsRemoved, this, &Tkpx_sortFrm::UpdateButtons);

    auto *layout = new QVBoxLayout(pnl_center);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sg_sort);
}

void Tkpx_sortFrm::CreateBottomPanel()
{
    ToolBar1 = new QFrame(pnl_bottom);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFrameStyle(QFrame::Box | QFrame::Plain);
    ToolBar1->setLineWidth(1);
    ToolBar1->setGeometry(9, 5, 188, 34);

    sb_up = MakeToolButton(ToolBar1, "sb_up", QStringLiteral("上へ"), TGlyph::Up, 0);
    sb_up->setProperty(TagProperty, MoveUpTag);
    sb_down = MakeToolButton(ToolBar1, "sb_down", QStringLiteral("下へ"), TGlyph::Down, 60);
    sb_down->setProperty(TagProperty, MoveDownTag);
    sl_delete = MakeToolButton(ToolBar1, "sl_delete", QStringLiteral("削除"), TGlyph::Delete, 120);
    connect(sb_up, &QToolButton::clicked, this, [this] { sb_upClick(sb_up); });
    connect(sb_down, &QToolButton::clicked, this, [this] { sb_upClick(sb_down); });
    connect(sl_delete, &QToolButton::clicked, this, &Tkpx_sortFrm::sl_deleteClick);

    bbtn_close = new QPushButton(GlyphIcon(TGlyph::Close), QStringLiteral("閉じる"),
                                 pnl_bottom);
    bbtn_close->setObjectName(QStringLiteral("bbtn_close"));
    bbtn_close->setAutoDefault(false); // Enter in the grid must not close the window
    bbtn_close->resize(75, 25);
    connect(bbtn_close, &QPushButton::clicked, this, &QDialog::close);
    UpdateButtons();
}

void Tkpx_sortFrm::CreateGridMenu()
{
    pm_grid = new QMenu(this);
    pm_grid->setObjectName(QStringLiteral("pm_grid"));
    QMenu *sortItems = pm_grid->addMenu(QStringLiteral("並べ替え"));
    sortItems->setObjectName(QStringLiteral("MI_Sort"));
    for (int column = 0; column < scColumnCount; ++column) {
        QAction *item = sortItems->addAction(FModel->headerData(column, Qt::Horizontal).toString());
        item->setObjectName(QStringLiteral("MI_Sort%1").arg(column));
        connect(item, &QAction::triggered, this, [this, column] { hdctl_sortSectionClick(column); });
    }
    pm_grid->addSeparator();
    const auto addButtonItem = [this](const char *name, const QToolButton *button) {
        QAction *item = pm_grid->addAction(button->icon(), button->text());
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, button, &QToolButton::click);
        return item;
    };
    MI_Up = addButtonItem("MI_Up", sb_up);
    MI_Down = addButtonItem("MI_Down", sb_down);
    MI_Delete = addButtonItem("MI_Delete", sl_delete);
    // The keyboard's ways to the menu reach the grid; a right click reaches its viewport.
    sg_sort->installEventFilter(this);
    sg_sort->viewport()->installEventFilter(this);
    UpdateButtons();
}

// A button is enabled only where it would act: a highlighted row that can
// move that way, or be deleted without emptying the list.
void Tkpx_sortFrm::UpdateButtons()
{
    if (!pm_grid)
        return; // the grid is built before the buttons and the menu
    const int row = SelectedRow();
    const int rows = FModel->rowCount();
    const bool canMoveUp = row > 0;
    const bool canMoveDown = row >= 0 && row < rows - 1;
    const bool canDelete = row >= 0 && rows > 1;
    sb_up->setEnabled(canMoveUp);
    sb_down->setEnabled(canMoveDown);
    sl_delete->setEnabled(canDelete);
    MI_Up->setEnabled(canMoveUp);
    MI_Down->setEnabled(canMoveDown);
    MI_Delete->setEnabled(canDelete);
}

// The design width, or what the header and the longest text of the column
// need at this font, whichever is wider.
int Tkpx_sortFrm::DefaultColumnWidth(int column) const
{
    const QFontMetrics metrics(font());
    int needed = metrics.horizontalAdvance(FModel->headerData(column, Qt::Horizontal).toString()) + 12;
    for (const QString &text : CaptionsOf(column))
        needed = std::max(needed, metrics.horizontalAdvance(text) + 2 * TSortCellDelegate::TextMargin + 2);
    return std::max(ini::SortGrid::DefaultWidths[static_cast<size_t>(column)], needed);
}

void Tkpx_sortFrm::DeclareSettings()
{
    IniSaveProps1 = new TIniSaveProps(this);
    IniSaveProps1->setObjectName(QStringLiteral("IniSaveProps1"));
    IniSaveProps1->SetAutoLoad(false);
    IniSaveProps1->SetAutoSave(false);
    IniSaveProps1->SetRestorePlacement(
        {TRestoreKind::Enabled, TRestoreKind::AllowMinimize, TRestoreKind::AllowMaximize});
    IniSaveProps1->SetFindKeys({QLatin1String(ini::SortGrid::Section)});
    IniSaveProps1->OnFindOrdValue = [this](TCustomSaveProps *, const QString &, const QString &key, int value,
                                           bool &) { IniSaveProps1FindOrdValue(key, value); };
    IniSaveProps1->OnAfterSave = [this](TCustomSaveProps *) { IniSaveProps1AfterSave(); };
}

void Tkpx_sortFrm::FormCreate()
{
    LoadWindowSettings(*IniSaveProps1, this);
}

void Tkpx_sortFrm::FormDestroy()
{
    SaveWindowSettings(*IniSaveProps1, this);
}

void Tkpx_sortFrm::IniSaveProps1FindOrdValue(const QString &key, int value)
{
    // Keys other than ColWidth0..ColWidth7 are not ours to act on.
    if (const std::optional<int> column = ini::SortGrid::ColumnOfKey(key))
        hdctl_sort->resizeSection(*column, ini::SortGrid::ClampWidth(value));
}

void Tkpx_sortFrm::IniSaveProps1AfterSave()
{
    for (int column = 0; column < scColumnCount; ++column)
        IniSaveProps1->WriteInteger(QLatin1String(ini::SortGrid::Section), ini::SortGrid::ColWidths.ItemKey(column),
                                    hdctl_sort->sectionSize(column));
}

void Tkpx_sortFrm::setVisible(bool visible)
{
    // Filled as the window appears, not when it is restored from minimised.
    if (visible && !isVisible())
        FormShow();
    QDialog::setVisible(visible);
}

void Tkpx_sortFrm::done(int result)
{
    if (isVisible())
        FormCloseQuery();
    QDialog::done(result);
}

void Tkpx_sortFrm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool Tkpx_sortFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != sg_sort && watched != sg_sort->viewport())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::ContextMenu) {
        const auto *request = static_cast<QContextMenuEvent *>(event);
        sg_sortContextPopup(request->reason() == QContextMenuEvent::Mouse ? request->globalPos() : CurrentRowPoint());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Not every platform turns these keys into a context menu request.
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            sg_sortContextPopup(CurrentRowPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tkpx_sortFrm::sg_sortContextPopup(const QPoint &globalPos)
{
    pm_grid->popup(globalPos);
}

// Below the start of the current row, where a menu opened by the keyboard
// belongs; the grid's corner when no row is current.
QPoint Tkpx_sortFrm::CurrentRowPoint() const
{
    const QRect row = sg_sort->visualRect(sg_sort->currentIndex());
    const QPoint inside = row.isValid() && sg_sort->viewport()->rect().intersects(row) ? row.bottomLeft() : QPoint();
    return sg_sort->viewport()->mapToGlobal(inside);
}

void Tkpx_sortFrm::FormShow()
{
    const std::vector<TRecFileData> &entries = FList.FEntries;
    const auto count = static_cast<size_t>(EntriesInUse(FList));
    std::vector<TSortRow> rows;
    rows.reserve(count);
    for (size_t i = 0; i < count; ++i)
        rows.push_back(RowFromEntry(entries[i]));
    FModel->SetRows(std::move(rows));
    SelectRow(0);
    if (FOptions.AlwaysTop())
        SetStayOnTop(this, true);
}

void Tkpx_sortFrm::FormResize()
{
    bbtn_close->move(width() - CloseButtonRightGap, 8);
}

void Tkpx_sortFrm::FormCloseQuery()
{
    std::vector<TRecFileData> entries;
    entries.reserve(FModel->Rows().size());
    for (const TSortRow &row : FModel->Rows())
        entries.push_back(EntryFromRow(row));
    FList.FEntries = std::move(entries);
    UseAllEntries(FList);
}

void Tkpx_sortFrm::hdctl_sortSectionClick(int section)
{
    const int tag = hdctl_sort->property(TagProperty).toInt();
    FModel->Sort({section, tag == 1});
    // Every further click, on any column, reverses the one before.
    hdctl_sort->setProperty(TagProperty, 1 - tag);
}

void Tkpx_sortFrm::sb_upClick(const QObject *sender)
{
    const int row = SelectedRow();
    const int target = sender->property(TagProperty).toInt() == MoveUpTag ? row - 1 : row + 1;
    if (row < 0 || target < 0 || target >= FModel->rowCount())
        return;
    FModel->SwapRows(row, target);
    SelectRow(target);
}

void Tkpx_sortFrm::sl_deleteClick()
{
    const int row = SelectedRow();
    if (row < 0 || !AskYesNo(this, QStringLiteral("この行のタグを削除してよろしいですか？")))
        return;
    FModel->RemoveRow(row);
    SelectRow(std::min(row, FModel->rowCount() - 1));
}

// The highlighted row, or -1: after Ctrl+click clears the highlight the
// current row is invisible, and acting on it would surprise the user.
int Tkpx_sortFrm::SelectedRow() const
{
    const QModelIndexList rows = sg_sort->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void Tkpx_sortFrm::SelectRow(int row)
{
    const QModelIndex index = FModel->index(row, 0);
    if (!index.isValid())
        return;
    sg_sort->setCurrentIndex(index);
    sg_sort->scrollTo(index);
}

} // namespace kpx
