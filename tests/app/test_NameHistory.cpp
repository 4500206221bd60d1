#include <gtest/gtest.h>

#include <QComboBox>

#include "app/NameHistory.h"

using namespace kpx;

namespace {

QStringList Items(const QComboBox &box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    return items;
}

} // namespace

TEST(NameHistory, NewNamesGoOnTopAndTheOldestDropsAtTheLimit)
{
    QComboBox box;
    box.setEditable(true);
    for (int i = 1; i <= 3; ++i)
        AddToHistory(box, QStringLiteral("n%1.html").arg(i), 3);
    EXPECT_EQ(Items(box), (QStringList{QStringLiteral("n3.html"), QStringLiteral("n2.html"), QStringLiteral("n1.html")}));
    AddToHistory(box, QStringLiteral("n4.html"), 3);
    EXPECT_EQ(Items(box), (QStringList{QStringLiteral("n4.html"), QStringLiteral("n3.html"), QStringLiteral("n2.html")}));
    EXPECT_EQ(box.currentText(), QStringLiteral("n4.html"));
}

TEST(NameHistory, KnownNameInOtherCaseSelectsTheStoredEntry)
{
    QComboBox box;
    box.setEditable(true);
    AddToHistory(box, QStringLiteral("Top.html"), 10);
    AddToHistory(box, QStringLiteral("b.html"), 10);
    box.setEditText(QStringLiteral("TOP.HTML"));
    AddToHistory(box, QStringLiteral("TOP.HTML"), 10);
    EXPECT_EQ(box.count(), 2);
    EXPECT_EQ(box.currentText(), QStringLiteral("Top.html"));
    EXPECT_EQ(box.itemText(1), QStringLiteral("Top.html")); // keeps its place
}

TEST(NameHistory, LimitZeroRecordsNothingAndALongerListKeepsItsEntries)
{
    QComboBox box;
    box.setEditable(true);
    AddToHistory(box, QStringLiteral("a.html"), 0);
    EXPECT_EQ(box.count(), 0);
    box.addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    AddToHistory(box, QStringLiteral("4"), 2);
    EXPECT_EQ(box.count(), 4);
}

TEST(NameHistory, TypedNamesBecomeHtmlFileNames)
{
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("index")), QStringLiteral("index.html"));
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("page.htm")), QStringLiteral("page.html"));
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("/web/Top.HTM")), QStringLiteral("Top.html"));
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("/web/page.html")), QStringLiteral("page.html"));
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("映画.txt")), QStringLiteral("映画.html"));
    EXPECT_EQ(NormalizeHtmlFileName(QStringLiteral("   ")), QStringLiteral("   "));
}
