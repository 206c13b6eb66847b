#include "models/ratiochart.h"

#include "platform/userlocale.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(TRatioChartTest, SavesTenDecimalsWithAPointAndCrLfWhateverTheLocale)
{
    SetUserDecimalSeparator(',');
    TRatioChart chart;
    chart.Add(1, 10, 12.5);
    chart.Add(2, 10, 3.25);
    chart.Add(1, 20, 100.0 / 3.0);
    chart.Add(2, 20, 0);
    chart.Add(3, 30, 1); // no such series
    EXPECT_EQ(chart.SaveText(), "10.0000000000 12.5000000000 3.2500000000\r\n"
                                "20.0000000000 33.3333333333 0.0000000000\r\n");
    SetUserDecimalSeparator('.');

    chart.Add(1, 30, 1);
    EXPECT_EQ(chart.SaveText().substr(2 * 42), "30.0000000000 1.0000000000\r\n");
    chart.Clear();
    EXPECT_EQ(chart.SaveText(), "");
    EXPECT_TRUE(chart.Series(2).empty());
}
