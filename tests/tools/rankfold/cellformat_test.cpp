#include "tools/rankfold/cellformat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace corvane;

namespace {

std::string Printf(float value)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%f", static_cast<double>(value));
    return buf;
}

std::string Format(float value, char separator = '.')
{
    char buf[kMaxFloatFText];
    return std::string(buf, FormatFloatF(value, separator, buf));
}

float FromBits(uint32_t bits)
{
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

/// The cell's text and whether every byte after it is zero.
std::pair<std::string, bool> CellText(const char* cell)
{
    const size_t len = strnlen(cell, kSortedCellSize);
    bool zeros = true;
    for (size_t i = len; i < kSortedCellSize; ++i)
        zeros = zeros && cell[i] == 0;
    return {std::string(cell, len), zeros};
}

} // namespace

TEST(CellFormatTest, FloatTextIsWhatPrintfWrites)
{
    // The test runs in the C locale, where printf writes a point.
    const float inf = std::numeric_limits<float>::infinity();
    const float edges[] = {0.0f,
                           -0.0f,
                           1.0f,
                           0.1f,
                           0.5f,
                           1e-7f,
                           5e-7f,
                           4.9999997e-7f,
                           0.0078125f /* 7812.5 millionths: a tie, rounds to even */,
                           0.0234375f /* 23437.5: rounds up to even */,
                           0.9999995f,
                           0.99999994f,
                           4294967040.0f,
                           4294967296.0f,
                           123456.789f,
                           -3.25f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::denorm_min(),
                           inf,
                           -inf,
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN()};
    for (float v : edges)
        EXPECT_EQ(Format(v), Printf(v)) << "bits of " << v;

    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_real_distribution<float> probability(0.0f, 1.0f);
    for (int i = 0; i < 300000; ++i) {
        const float any = FromBits(bits(rng));
        ASSERT_EQ(Format(any), Printf(any));
        const float p = probability(rng);
        ASSERT_EQ(Format(p), Printf(p));
    }
}

TEST(CellFormatTest, SeparatorReplacesThePoint)
{
    EXPECT_EQ(Format(0.25f, ','), "0,250000");
    EXPECT_EQ(Format(-1e30f, ','), "-1000000015047466219876688855040,000000");
}

TEST(CellFormatTest, CellsHoldAtMost49CharactersThenZeros)
{
    struct Case
    {
        const char* name;
        std::string word;
        float value;
        std::string text;
    };
    const std::string w40(40, 'w');
    const Case cases[] = {
        {"short", "cat", 0.5f, "cat: 0.500000"},
        {"empty word", "", 0.125f, ": 0.125000"},
        {"exactly 49", w40 + "x", 0.5f, w40 + "x: 0.5000"},
        {"value cut", w40, 0.5f, w40 + ": 0.50000"},
        {"word alone fills the cell", std::string(60, 'a'), 1.0f, std::string(49, 'a')},
        {"word of 48 keeps the colon", std::string(48, 'b'), 1.0f, std::string(48, 'b') + ":"},
        {"Windows-1251 bytes pass unchanged", "\xEA\xEE\xF8\xEA\xE0", 0.5f,
         "\xEA\xEE\xF8\xEA\xE0: 0.500000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char cell[kSortedCellSize];
        std::memset(cell, 'X', sizeof cell);
        FormatWordCell(c.word, c.value, '.', cell);
        const auto [text, zeros] = CellText(cell);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(zeros);
    }
}

TEST(CellFormatTest, NumberCells)
{
    struct Case
    {
        int32_t number;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {1, 0.5f, "1: 0,500000"},
        {0, 0.0f, "0: 0,000000"},
        {-12, 0.25f, "-12: 0,250000"},
        {INT_MIN, 1e-6f, "-2147483648: 0,000001"},
        {123, 3e38f, "123: 300000000549775575777803994281145270272,0000"},
    };
    for (const auto& c : cases) {
        char cell[kSortedCellSize];
        std::memset(cell, 'X', sizeof cell);
        FormatNumberCell(c.number, c.value, ',', cell);
        const auto [text, zeros] = CellText(cell);
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(zeros);
    }
}
