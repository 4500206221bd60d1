// One row of page tabs for any number of pages. May touch: widgets.
#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QStyleOptionTab;
class QToolButton;

namespace kpx {

// One row of page tabs that stays quick for any number of pages: only the
// tabs in view are measured and painted, and two arrows scroll the row.
// (A QTabBar lays out every tab on each insertion, which takes seconds for
// thousands of pages.)
class TPageTabStrip : public QWidget
{
    Q_OBJECT

public:
    explicit TPageTabStrip(QWidget *parent = nullptr);

    // Replaces every tab and selects the first, without change signals.
    void SetTabs(const QStringList &captions);
    // New captions for the same tabs; the selection stays.
    void RenameTabs(const QStringList &captions);
    const QStringList &Tabs() const { return FCaptions; }
    int Count() const { return static_cast<int>(FCaptions.size()); }
    int CurrentIndex() const { return FCurrent; }
    // Selects a tab as a click does: CurrentChanging, then CurrentChanged.
    // The current tab or an index out of range changes nothing.
    void SelectTab(int index);
    // Where the tab is drawn; empty while it is scrolled out of view.
    QRect TabRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Sent before the selection moves away from `currentIndex`.
    void CurrentChanging(int currentIndex);
    void CurrentChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct TVisibleTab
    {
        int Index;
        QRect Rect;
    };

    QList<TVisibleTab> VisibleTabs() const;
    bool FullyVisible(const TVisibleTab &tab) const;
    int ArrowWidth() const;
    int TabsRight() const;
    bool Overflows() const;
    QSize TabSize(int index) const;
    QStyleOptionTab TabOption(int index, const QRect &rect) const;
    void ScrollTo(int first);
    void EnsureVisible(int index);
    void UpdateArrows();

    QStringList FCaptions;
    int FCurrent = -1;
    int FFirstVisible = 0;
    QToolButton *FScrollLeft;
    QToolButton *FScrollRight;
};

} // namespace kpx
