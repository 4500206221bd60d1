#include "tags/PageTabStrip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <QStyleOptionTabBarBase>
#include <QStylePainter>
#include <QTabBar>
#include <QToolButton>

namespace kpx {

namespace {

QToolButton *MakeScrollArrow(QWidget *strip, Qt::ArrowType direction)
{
    auto *arrow = new QToolButton(strip);
    arrow->setArrowType(direction);
    arrow->setAutoRepeat(true);
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->hide();
    return arrow;
}

QStyleOptionTab::TabPosition PositionInRow(int index, int count)
{
    if (count == 1)
        return QStyleOptionTab::OnlyOneTab;
    if (index == 0)
        return QStyleOptionTab::Beginning;
    return index == count - 1 ? QStyleOptionTab::End : QStyleOptionTab::Middle;
}

QStyleOptionTab::SelectedPosition PositionToSelected(int index, int current)
{
    if (index - 1 == current)
        return QStyleOptionTab::PreviousIsSelected;
    return index + 1 == current ? QStyleOptionTab::NextIsSelected : QStyleOptionTab::NotAdjacent;
}

} // namespace

TPageTabStrip::TPageTabStrip(QWidget *parent)
    : QWidget(parent)
    , FScrollLeft(MakeScrollArrow(this, Qt::LeftArrow))
    , FScrollRight(MakeScrollArrow(this, Qt::RightArrow))
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(FScrollLeft, &QToolButton::clicked, this, [this] { ScrollTo(FFirstVisible - 1); });
    connect(FScrollRight, &QToolButton::clicked, this, [this] { ScrollTo(FFirstVisible + 1); });
}

void TPageTabStrip::SetTabs(const QStringList &captions)
{
    FCaptions = captions;
    FCurrent = FCaptions.isEmpty() ? -1 : 0;
    FFirstVisible = 0;
    UpdateArrows();
}

void TPageTabStrip::RenameTabs(const QStringList &captions)
{
    if (captions.size() != FCaptions.size())
        return;
    FCaptions = captions;
    UpdateArrows();
    EnsureVisible(FCurrent);
    update();
}

void TPageTabStrip::SelectTab(int index)
{
    if (index < 0 || index >= Count() || index == FCurrent)
        return;
    emit CurrentChanging(FCurrent);
    FCurrent = index;
    EnsureVisible(index);
    update();
    emit CurrentChanged(index);
}

QRect TPageTabStrip::TabRect(int index) const
{
    for (const TVisibleTab &tab : VisibleTabs())
        if (tab.Index == index)
            return tab.Rect;
    return {};
}

QSize TPageTabStrip::sizeHint() const
{
    return {200, TabSize(-1).height()};
}

QSize TPageTabStrip::minimumSizeHint() const
{
    return {0, TabSize(-1).height()};
}

// The size of tab `index` (an empty caption for an index out of range),
// measured as a QTabBar measures its tabs.
QSize TPageTabStrip::TabSize(int index) const
{
    const QStyleOptionTab option = TabOption(index, QRect());
    const int hframe = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vframe = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, {text.width() + hframe, text.height() + vframe}, this);
}

QStyleOptionTab TPageTabStrip::TabOption(int index, const QRect &rect) const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.rect = rect;
    option.shape = QTabBar::RoundedNorth;
    // Captions are file names: an ampersand is shown, not taken as a mnemonic.
    option.text = QString(FCaptions.value(index)).replace(QLatin1Char('&'), QLatin1String("&&"));
    option.position = PositionInRow(index, Count());
    option.selectedPosition = PositionToSelected(index, FCurrent);
    if (index == FCurrent)
        option.state |= QStyle::State_Selected;
    return option;
}

int TPageTabStrip::ArrowWidth() const
{
    return style()->pixelMetric(QStyle::PM_TabBarScrollButtonWidth, nullptr, this);
}

// Tabs end here; the arrows take the rest of the row when the tabs overflow.
int TPageTabStrip::TabsRight() const
{
    return Overflows() ? width() - 2 * ArrowWidth() : width();
}

bool TPageTabStrip::Overflows() const
{
    if (FFirstVisible > 0)
        return true;
    int right = 0;
    for (int i = 0; i < Count(); ++i) {
        right += TabSize(i).width();
        if (right > width())
            return true;
    }
    return false;
}

// The tabs from the first in view up to the one the row cuts off.
QList<TPageTabStrip::TVisibleTab> TPageTabStrip::VisibleTabs() const
{
    QList<TVisibleTab> tabs;
    const int right = TabsRight();
    int left = 0;
    for (int i = FFirstVisible; i < Count() && left < right; ++i) {
        const QSize size = TabSize(i);
        tabs.append({i, QRect(QPoint(left, 0), size)});
        left += size.width();
    }
    return tabs;
}

bool TPageTabStrip::FullyVisible(const TVisibleTab &tab) const
{
    return tab.Rect.x() + tab.Rect.width() <= TabsRight();
}

void TPageTabStrip::ScrollTo(int first)
{
    FFirstVisible = qBound(0, first, qMax(0, Count() - 1));
    UpdateArrows();
}

void TPageTabStrip::EnsureVisible(int index)
{
    if (index < FFirstVisible) {
        ScrollTo(index);
        return;
    }
    for (const TVisibleTab &tab : VisibleTabs())
        if (tab.Index == index && FullyVisible(tab))
            return;
    // Bring the tab in from the right: it becomes the last one in view.
    const int room = width() - 2 * ArrowWidth();
    int first = index;
    int used = TabSize(index).width();
    while (first > 0 && used + TabSize(first - 1).width() <= room)
        used += TabSize(--first).width();
    ScrollTo(first);
}

void TPageTabStrip::UpdateArrows()
{
    const bool overflow = Overflows();
    const int extent = ArrowWidth();
    const int height = TabSize(-1).height();
    FScrollLeft->setGeometry(width() - 2 * extent, 0, extent, height);
    FScrollRight->setGeometry(width() - extent, 0, extent, height);
    FScrollLeft->setVisible(overflow);
    FScrollRight->setVisible(overflow);
    FScrollLeft->setEnabled(FFirstVisible > 0);
    const QList<TVisibleTab> tabs = VisibleTabs();
    const bool lastInView = !tabs.isEmpty() && tabs.last().Index == Count() - 1 && FullyVisible(tabs.last());
    FScrollRight->setEnabled(!lastInView);
    update();
}

void TPageTabStrip::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const QList<TVisibleTab> tabs = VisibleTabs();

    QStyleOptionTabBarBase base;
    base.initFrom(this);
    base.shape = QTabBar::RoundedNorth;
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    base.rect = QRect(0, height() - overlap, width(), overlap);
    base.selectedTabRect = TabRect(FCurrent);
    painter.drawPrimitive(QStyle::PE_FrameTabBarBase, base);

    painter.setClipRect(0, 0, TabsRight(), height());
    // The selected tab last, so that it overlaps its neighbours.
    for (const TVisibleTab &tab : tabs)
        if (tab.Index != FCurrent)
            painter.drawControl(QStyle::CE_TabBarTab, TabOption(tab.Index, tab.Rect));
    for (const TVisibleTab &tab : tabs) {
        if (tab.Index != FCurrent)
            continue;
        painter.drawControl(QStyle::CE_TabBarTab, TabOption(tab.Index, tab.Rect));
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tab.Rect.adjusted(3, 3, -3, -3);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
}

void TPageTabStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    for (const TVisibleTab &tab : VisibleTabs())
        if (tab.Rect.contains(at) && at.x() < TabsRight())
            SelectTab(tab.Index);
}

void TPageTabStrip::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Left)
        SelectTab(FCurrent - 1);
    else if (event->key() == Qt::Key_Right)
        SelectTab(FCurrent + 1);
    else
        QWidget::keyPressEvent(event);
}

void TPageTabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (FCurrent >= 0)
        EnsureVisible(FCurrent);
    UpdateArrows();
}

} // namespace kpx
