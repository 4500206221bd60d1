#include <gtest/gtest.h>

#include "tags/InputHistory.h"

using kpx::TInputHistory;

TEST(InputHistory, AddsEachTextOnceIgnoringCase)
{
    TInputHistory history;
    history.Add(QStringLiteral("Abc"));
    history.Add(QStringLiteral("abc"));
    history.Add(QStringLiteral("ABD"));
    ASSERT_EQ(history.Count(), 2);
    EXPECT_EQ(history.At(0), QStringLiteral("Abc"));
    EXPECT_TRUE(history.ContainsNoCase(QStringLiteral("aBC")));
    EXPECT_FALSE(history.ContainsNoCase(QStringLiteral("ab")));
}

TEST(InputHistory, PrefixSearchFindsTheFirstEntryInListOrder)
{
    TInputHistory history;
    history.Add(QStringLiteral("Abc"));
    history.Add(QStringLiteral("abd"));
    history.Add(QStringLiteral("映画"));
    EXPECT_EQ(history.FindPrefixNoCase(QStringLiteral("a")), 0);
    EXPECT_EQ(history.FindPrefixNoCase(QStringLiteral("ABD")), 1);
    EXPECT_EQ(history.FindPrefixNoCase(QStringLiteral("映")), 2);
    EXPECT_EQ(history.FindPrefixNoCase(QStringLiteral("x")), -1);
    EXPECT_EQ(history.FindPrefixNoCase(QString()), -1);
}
