#include "platform/userlocale.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(UserLocaleTest, CellNumbersUseEightDigitsFiveDecimalsAndTheUserSeparator)
{
    struct Case
    {
        double value;
        char sep;
        const char* text;
    };
    const Case cases[] = {
        {0.5, ',', "0,50000"},
        {0.123456789, '.', "0.12346"},
        {1234.56789, '.', "1234.56790"}, // eight digits first: 1234.5679
        {-2.0, ',', "-2,00000"},
        {0.0, '.', "0.00000"},
        {-0.000001, '.', "0.00000"},
        {99999999.0, '.', "99999999.00000"},
        {1.5e9, ',', "1,5000000E+009"},
        {-2.5e12, '.', "-2.5000000E+012"},
    };
    for (const auto& c : cases) {
        SetUserDecimalSeparator(c.sep);
        EXPECT_EQ(FormatCellNumber(c.value), c.text) << c.value;
    }
    SetUserDecimalSeparator(',');
    EXPECT_EQ(FormatFixed(0.25, 10), "0,2500000000");
    EXPECT_EQ(FormatGeneral(25.0), "25");
    EXPECT_EQ(FormatGeneral(100.0 / 3.0), "33,3333333333333");
    SetUserDecimalSeparator('.');
    EXPECT_EQ(FormatGeneral(0.125), "0.125");
}

TEST(UserLocaleTest, DecimalsAreReadWithEitherSeparator)
{
    struct Case
    {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"0,5", true, 0.5},     {"0.5", true, 0.5},  {" -1,25 ", true, -1.25},
        {"1e3", true, 1000.0},  {"+2", true, 2.0},   {"1,2.3", false, 0},
        {"0,5x", false, 0},     {"", false, 0},      {"abc", false, 0},
        {"1 000", false, 0},
    };
    for (char sep : {',', '.'}) {
        SetUserDecimalSeparator(sep);
        for (const auto& c : cases) {
            double v = -99;
            EXPECT_EQ(ParseUserDecimal(c.text, v), c.ok) << c.text << " sep " << sep;
            if (c.ok) {
                EXPECT_DOUBLE_EQ(v, c.value) << c.text;
            }
        }
    }
    SetUserDecimalSeparator('.');
}

TEST(UserLocaleTest, IntegersAreWholeNumbersOnly)
{
    int32_t v = 0;
    EXPECT_TRUE(ParseInt32(" 40 ", v));
    EXPECT_EQ(v, 40);
    EXPECT_TRUE(ParseInt32("-7", v));
    EXPECT_EQ(v, -7);
    for (const char* bad : {"", "4.0", "abc", "12a", "99999999999"})
        EXPECT_FALSE(ParseInt32(bad, v)) << bad;
}
