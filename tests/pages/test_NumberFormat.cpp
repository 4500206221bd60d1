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

TEST(NumberFormat, AmountsOfDataInOneDecimal)
{
    const struct
    {
        std::uintmax_t bytes;
        const char *mebibytes, *megabytes;
    } cases[] = {
        {0, "0.0 MiB", "0.0 MB"},
        {1572864, "1.5 MiB", "1.5 MB"},
        {3221225472, "3072.0 MiB", "3072.0 MB"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(kpx::FormatMebibytes(c.bytes), c.mebibytes);
        EXPECT_EQ(kpx::FormatMegabytes(c.bytes), c.megabytes);
    }
}
