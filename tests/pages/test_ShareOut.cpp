#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "pages/ShareOut.h"

using namespace kpx;

TEST(ShareOut, EveryItemIsWorkedOnceWhateverTheCount)
{
    for (const size_t count : {size_t{0}, size_t{1}, size_t{4095}, size_t{4096 * 3 + 7}, size_t{100000}}) {
        SCOPED_TRACE(count);
        std::vector<int> visits(count);
        std::atomic<int> shares{0};
        ShareOut(count, [&](size_t first, size_t end) {
            ++shares;
            for (size_t i = first; i < end; ++i)
                ++visits[i];
        });
        EXPECT_TRUE(std::all_of(visits.begin(), visits.end(), [](int n) { return n == 1; }));
        EXPECT_GE(shares.load(), 1);
    }
}

TEST(ShareOut, AFailingShareIsThrownToTheCallerAfterTheOthersEnd)
{
    constexpr size_t Count = 100000;
    std::vector<int> visits(Count);
    EXPECT_THROW(ShareOut(Count,
                          [&](size_t first, size_t end) {
                              for (size_t i = first; i < end; ++i)
                                  ++visits[i];
                              if (end == Count)
                                  throw std::runtime_error("last share");
                          }),
                 std::runtime_error);
    EXPECT_TRUE(std::all_of(visits.begin(), visits.end(), [](int n) { return n == 1; }));
}
