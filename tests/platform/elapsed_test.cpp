#include "platform/elapsed.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace std::chrono;

TEST(FormatElapsedTest, HoursMinutesSeconds)
{
    EXPECT_EQ(FormatElapsed(milliseconds(999)), "00:00:00");
    EXPECT_EQ(FormatElapsed(seconds(3723)), "01:02:03");
    EXPECT_EQ(FormatElapsed(hours(125) + seconds(59)), "125:00:59");
    EXPECT_EQ(FormatElapsed(-seconds(5)), "00:00:00");
}
