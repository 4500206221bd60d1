#include "tags/kpx_preview.h"

#include <algorithm>
#include <exception>

#include <QActionGroup>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "components/DesktopWindow.h"
#include "components/WindowFont.h"
#include "pages/MarkupCheck.h"
#include "pages/NumberFormat.h"
#include "settings/SaveProp.h"
#include "settings/WindowSettings.h"
#include "settings/file/SettingsLayout.h"
#include "tags/ControlTag.h"
#include "tags/PreviewMarkup.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

namespace layout = ini::PreviewForm;

constexpr int DefaultViewHeight = 400;
constexpr int OwnerGap = 8; // between the owner's frame and the preview placed beside it

QString PartName(int source)
{
    switch (source) {
    case tpHeader:
        return QStringLiteral("ヘッダ");
    case tpFirstFooter:
        return QStringLiteral("フッタ（最初のページ）");
    case tpMiddleFooter:
        return QStringLiteral("フッタ（中間のページ）");
    default:
        return QStringLiteral("フッタ（最後のページ）");
    }
}

QString Describe(const TMarkupProblem &problem)
{
    const QString place = QStringLiteral("%1 %2行目の ").arg(PartName(problem.Source)).arg(problem.Line);
    const QString tag = QString::fromLatin1(problem.Tag.data(), static_cast<qsizetype>(problem.Tag.size()));
    switch (problem.Kind) {
    case TMarkupProblem::TKind::Unclosed:
        if (problem.Closer.empty())
            return place + QStringLiteral("<%1> が閉じていません").arg(tag);
        return place
               + QStringLiteral("<%1> が </%2> までに閉じていません").arg(tag, QString::fromLatin1(problem.Closer));
    case TMarkupProblem::TKind::StrayEnd:
        return place + QStringLiteral("</%1> に合う開始タグがありません").arg(tag);
    case TMarkupProblem::TKind::UnendedTag:
        break;
    }
    return place + QStringLiteral("タグ <%1 が終わっていません").arg(tag);
}

} // namespace

Tkpx_PreviewFrm::Tkpx_PreviewFrm(const TEntryList &entries, TJobSource job, QWidget *owner)
    // Dialog-type, so the desktop keeps it with the window that owns it.
    : QMainWindow(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                             | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , FEntries(entries)
    , FJob(std::move(job))
{
    setObjectName(QStringLiteral("kpx_PreviewFrm"));
    setWindowTitle(QStringLiteral("プレビュー"));
    ApplyWindowFont(this);
    CreateMenu();
    CreateClientArea();
    PrepareWindow(this);
    SetPageWidth(layout::Width.Default);
    resize(width(), menuBar()->sizeHint().height() + DefaultViewHeight + stx_status->sizeHint().height());
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    DeclareSettings();
    LoadWindowSettings(*IniSaveProps1, this);
}

Tkpx_PreviewFrm::~Tkpx_PreviewFrm()
{
    SaveWindowSettings(*IniSaveProps1, this);
}

void Tkpx_PreviewFrm::CreateMenu()
{
    QMenu *MI_Width = menuBar()->addMenu(QStringLiteral("幅"));
    MI_Width->setObjectName(QStringLiteral("MI_Width"));
    FWidthItems = new QActionGroup(this);
    for (const int pixels : layout::Widths) {
        QAction *item = MI_Width->addAction(QStringLiteral("%1 ピクセル").arg(pixels));
        item->setObjectName(QStringLiteral("MI_Width%1").arg(pixels));
        item->setCheckable(true);
        SetControlTag(item, pixels);
        FWidthItems->addAction(item);
    }
    connect(FWidthItems, &QActionGroup::triggered, this, [this](QAction *item) { SetPageWidth(ControlTag(item)); });
}

void Tkpx_PreviewFrm::CreateClientArea()
{
    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    brw_preview = new QTextBrowser(client);
    brw_preview->setObjectName(QStringLiteral("brw_preview"));
    brw_preview->setAccessibleName(QStringLiteral("ページのプレビュー"));
    brw_preview->setFrameShape(QFrame::NoFrame);
    // The page is laid out at exactly the chosen width, scrolled or not.
    brw_preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    brw_preview->setOpenLinks(false);
    connect(brw_preview, &QTextBrowser::anchorClicked, this, &Tkpx_PreviewFrm::brw_previewAnchorClicked);
    column->addWidget(brw_preview, 1);

    stx_status = new QLabel(client);
    stx_status->setObjectName(QStringLiteral("stx_status"));
    stx_status->setTextFormat(Qt::PlainText); // a warning names tags such as <b>
    stx_status->setWordWrap(true);
    stx_status->setMargin(3);
    stx_status->setFrameShape(QFrame::StyledPanel);
    column->addWidget(stx_status);
    setCentralWidget(client);
}

void Tkpx_PreviewFrm::DeclareSettings()
{
    IniSaveProps1 = new TIniSaveProps(this);
    IniSaveProps1->setObjectName(QStringLiteral("IniSaveProps1"));
    IniSaveProps1->SetAutoLoad(false);
    IniSaveProps1->SetAutoSave(false);
    IniSaveProps1->SetRestorePlacement({TRestoreKind::Enabled});
    IniSaveProps1->SetPlacementSection(QLatin1String(layout::Section));
    IniSaveProps1->OnAfterLoad = [this](TCustomSaveProps *) { IniSaveProps1AfterLoad(); };
    IniSaveProps1->OnAfterSave = [this](TCustomSaveProps *) { IniSaveProps1AfterSave(); };
}

// The stored width after the stored rectangle: the window keeps its place
// and height and takes the page's width.
void Tkpx_PreviewFrm::IniSaveProps1AfterLoad()
{
    const QString section = QLatin1String(layout::Section);
    const QString widthKey = QLatin1String(layout::Width.Name);
    if (IniSaveProps1->ValueExists(section, widthKey))
        SetPageWidth(IniSaveProps1->ReadInteger(section, widthKey));
}

void Tkpx_PreviewFrm::IniSaveProps1AfterSave()
{
    IniSaveProps1->WriteInteger(QLatin1String(layout::Section), QLatin1String(layout::Width.Name), PageWidth());
}

int Tkpx_PreviewFrm::PageWidth() const
{
    return ControlTag(FWidthItems->checkedAction());
}

// A width the menu does not offer (a hand-edited file) is ignored.
void Tkpx_PreviewFrm::SetPageWidth(int pixels)
{
    const auto items = FWidthItems->actions();
    const auto item =
        std::find_if(items.begin(), items.end(), [pixels](QAction *a) { return ControlTag(a) == pixels; });
    if (item == items.end())
        return;
    (*item)->setChecked(true);
    const int viewWidth = pixels + 2 * brw_preview->frameWidth() + brw_preview->verticalScrollBar()->sizeHint().width();
    brw_preview->setFixedWidth(viewWidth);
    setFixedWidth(viewWidth);
}

void Tkpx_PreviewFrm::ShowPage(int pageIndex)
{
    const bool samePage = pageIndex == FPageIndex && !FPageSource.isEmpty();
    FPageIndex = std::clamp(pageIndex, 0, std::max(FEntries.FPageCount - 1, 0));
    try {
        const TPublishJob job = FJob();
        const std::string page = MakePageText(job, FEntries, FPageIndex);
        FPageNames = job.PageNames;
        FPageSource = Cp932ToQString(page);
        // An edit on the page keeps the view where the user was reading.
        const int scrolled = samePage ? brw_preview->verticalScrollBar()->value() : 0;
        brw_preview->setHtml(HandsetHtml(FPageSource));
        brw_preview->verticalScrollBar()->setValue(scrolled);
        ShowStatus(job, page.size());
    } catch (const std::exception &error) {
        stx_status->setText(QString::fromUtf8(error.what()));
    }
}

void Tkpx_PreviewFrm::ShowStatus(const TPublishJob &job, std::size_t pageBytes)
{
    QString status =
        QString::fromStdString(FormatThousands(static_cast<std::int64_t>(pageBytes))) + QStringLiteral(" バイト");
    const std::vector<TMarkupProblem> problems = CheckTemplates(job.Templates);
    QStringList described;
    for (const TMarkupProblem &problem : problems)
        described << Describe(problem);
    if (!described.isEmpty()) {
        status += QStringLiteral("　警告: ") + described.first();
        if (described.size() > 1)
            status += QStringLiteral("（ほか %1 件）").arg(described.size() - 1);
    }
    stx_status->setText(status);
    stx_status->setToolTip(described.join(QLatin1Char('\n')));
    QPalette colours = palette();
    if (!described.isEmpty())
        colours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    stx_status->setPalette(colours);
}

void Tkpx_PreviewFrm::setVisible(bool visible)
{
    if (visible && isHidden() && !testAttribute(Qt::WA_Moved))
        PlaceBesideOwner();
    QMainWindow::setVisible(visible);
}

// Until a stored or user-chosen place exists: right of the page settings
// window, or left of it where the screen ends first, so neither hides the other.
void Tkpx_PreviewFrm::PlaceBesideOwner()
{
    const QWidget *owner = parentWidget();
    if (!owner || !owner->isVisible())
        return;
    const QRect area = owner->screen()->availableGeometry();
    const QRect beside = owner->frameGeometry();
    int left = beside.right() + 1 + OwnerGap;
    if (left + width() > area.right() + 1)
        left = beside.left() - OwnerGap - width();
    move(std::clamp(left, area.left(), std::max(area.left(), area.right() + 1 - width())),
         std::clamp(beside.top(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
}

// Only the series' own pages are followed; the preview has nothing else to show.
void Tkpx_PreviewFrm::brw_previewAnchorClicked(const QUrl &link)
{
    QString path = link.path(QUrl::FullyDecoded);
    if (path.startsWith(QLatin1String("./")))
        path.remove(0, 2);
    if (!link.scheme().isEmpty() || !link.host().isEmpty() || path.isEmpty())
        return;
    for (size_t page = 0; page < FPageNames.size(); ++page)
        if (Cp932ToQString(FPageNames[page]) == path)
            emit PageRequested(static_cast<int>(page));
}

} // namespace kpx
