#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "tags/PageTabStrip.h"

using kpx::TPageTabStrip;

namespace {

QStringList PageCaptions(int count)
{
    QStringList captions;
    for (int page = 1; page <= count; ++page)
        captions.append(QStringLiteral("page%1.html").arg(page));
    return captions;
}

TEST(PageTabStrip, SelectingAnnouncesTheChangeBeforeAndAfter)
{
    TPageTabStrip strip;
    strip.SetTabs(PageCaptions(3));
    ASSERT_EQ(strip.CurrentIndex(), 0);

    QStringList events;
    QObject::connect(&strip, &TPageTabStrip::CurrentChanging, [&](int from) {
        events.append(QStringLiteral("changing %1 while %2").arg(from).arg(strip.CurrentIndex()));
    });
    QObject::connect(&strip, &TPageTabStrip::CurrentChanged, [&](int to) {
        events.append(QStringLiteral("changed %1").arg(to));
    });
    strip.SelectTab(2);
    EXPECT_EQ(events, QStringList({QStringLiteral("changing 0 while 0"), QStringLiteral("changed 2")}));

    events.clear();
    for (const int index : {2, 3, -1})
        strip.SelectTab(index);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(strip.CurrentIndex(), 2);

    strip.SetTabs(PageCaptions(2)); // a new set starts at the first tab, silently
    EXPECT_EQ(strip.CurrentIndex(), 0);
    EXPECT_TRUE(events.isEmpty());
}

TEST(PageTabStrip, AClickOrAnArrowKeySelects)
{
    TPageTabStrip strip;
    strip.SetTabs(PageCaptions(3));
    strip.resize(600, strip.sizeHint().height());
    strip.show();
    QSignalSpy changed(&strip, &TPageTabStrip::CurrentChanged);

    QTest::mouseClick(&strip, Qt::LeftButton, Qt::NoModifier, strip.TabRect(1).center());
    EXPECT_EQ(strip.CurrentIndex(), 1);
    QTest::keyClick(&strip, Qt::Key_Right);
    EXPECT_EQ(strip.CurrentIndex(), 2);
    QTest::keyClick(&strip, Qt::Key_Right); // no tab after the last
    QTest::keyClick(&strip, Qt::Key_Left);
    EXPECT_EQ(strip.CurrentIndex(), 1);
    EXPECT_EQ(changed.count(), 3);
}

TEST(PageTabStrip, ALongRowScrollsAndBringsTheSelectedTabIntoView)
{
    TPageTabStrip strip;
    strip.SetTabs(PageCaptions(1000));
    strip.resize(300, strip.sizeHint().height());
    strip.show();
    const QList<QToolButton *> arrows = strip.findChildren<QToolButton *>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton *scrollLeft = arrows.at(0);
    QToolButton *scrollRight = arrows.at(1);
    EXPECT_TRUE(scrollRight->isVisible());
    EXPECT_FALSE(scrollLeft->isEnabled());
    EXPECT_TRUE(strip.TabRect(999).isEmpty());

    strip.SelectTab(999);
    const QRect last = strip.TabRect(999);
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LE(last.right(), scrollLeft->x()); // whole, left of the arrows
    EXPECT_FALSE(scrollRight->isEnabled());

    QTest::mouseClick(scrollLeft, Qt::LeftButton);
    EXPECT_GT(strip.TabRect(999).x(), last.x()); // one more tab in front of it
    EXPECT_EQ(strip.CurrentIndex(), 999);         // scrolling does not select

    strip.SelectTab(0);
    EXPECT_EQ(strip.TabRect(0).x(), 0);
    EXPECT_TRUE(scrollRight->isEnabled());
}

TEST(PageTabStrip, AShortRowHasNoArrows)
{
    TPageTabStrip strip;
    strip.SetTabs(PageCaptions(2));
    strip.resize(600, strip.sizeHint().height());
    strip.show();
    for (const QToolButton *arrow : strip.findChildren<QToolButton *>())
        EXPECT_FALSE(arrow->isVisible());
    EXPECT_FALSE(strip.TabRect(1).isEmpty());
}

} // namespace
