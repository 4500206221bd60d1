#include <gtest/gtest.h>

#include <limits>

#include "pages/NumberFormat.h"

using kpx::FormatThousands;

TEST(NumberFormat, GroupsDigitsByThousands)
{
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(123456), "123,456");
    EXPECT_EQ(FormatThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatThousands(-1234), "-1,234");
    EXPECT_EQ(FormatThousands(std::numeric_limits<std::int64_t>::min()), "-9,223,372,036,854,775,808");
}
