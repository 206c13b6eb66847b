#include "models/resulttables.h"

#include "platform/userlocale.h"
#include "tables/fgstreamdata.h"
#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

/// A matrix in the engine's form: one pointer per row.
struct TMatrix
{
    std::vector<std::vector<double>> rows;
    std::vector<const double*> pointers;

    explicit TMatrix(std::vector<std::vector<double>> values) : rows(std::move(values))
    {
        for (const auto& r : rows)
            pointers.push_back(r.data());
    }
    const double* const* Data() const { return pointers.data(); }
};

void ExpectColumn(const TFGStreamData& t, int32_t col, TFGColType type, int32_t width,
                  const std::string& name, const std::string& caption)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(t.ColumnGetType(col), type);
    EXPECT_EQ(t.ColumnGetWidth(col), width);
    EXPECT_EQ(t.ColumnGetName(col), name);
    EXPECT_EQ(t.ColumnGetCapt(col), caption);
}

TMetaFields FullMeta()
{
    TMetaFields f;
    f[0] = "author";
    f[3] = "field three";
    f[20] = std::string(70, 'z'); // longer than its 64-byte column
    return f;
}

} // namespace

TEST(ResultTablesTest, DocumentTopicTableLayoutTextsAndValues)
{
    TTempDir dir;
    const std::string container = dir.File("news.cvlda");
    const std::string longText(200, 'x');
    // Index order differs from the ids: rows follow the ids.
    WriteLdaContainer(container,
                      {{1, "second", std::nullopt, {}},
                       {0, longText, FullMeta(), {}},
                       {2, "", TMetaFields{}, {}}},
                      {});
    const TMatrix theta({{0.7, 0.3}, {0.5, 0.5}, {0.1, 0.9}});
    const std::string table = dir.File("news_theta.bin");

    EXPECT_EQ(WriteThetaTable(table, container, 3, 2, theta.Data()), 2);

    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(table, true));
    EXPECT_EQ(t.HeaderInfo().RecSize, 0);
    ASSERT_EQ(t.ColCount(), 25);
    ASSERT_EQ(t.RowCount(), 4);
    EXPECT_EQ(t.FileSize(), 12 + 139 * 25 + 4 * (16 + 22 * 64 + 2 * 4));
    ExpectColumn(t, 0, fgcText, 16, "Col_DocID", "ID");
    ExpectColumn(t, 1, fgcText, 64, "Col_OrigText", "Orig Text");
    ExpectColumn(t, 2, fgcText, 64, "Col_Nick", "Nick");
    for (int n = 1; n <= 20; ++n)
        ExpectColumn(t, 2 + n, fgcText, 64, "Col_Field" + std::to_string(n),
                     "Field " + std::to_string(n));
    ExpectColumn(t, 23, fgcFloat, 4, "Col_Topic1", "Topic 1");
    ExpectColumn(t, 24, fgcFloat, 4, "Col_Topic2", "Topic 2");

    for (int c = 0; c < 23; ++c)
        EXPECT_EQ(t.GetDataAsText(c, 0), "") << c;
    EXPECT_EQ(t.GetDataAsText(0, 1), "1");
    EXPECT_EQ(t.GetDataAsText(0, 3), "3");
    EXPECT_EQ(t.GetDataAsText(1, 1), std::string(50, 'x'));
    EXPECT_EQ(t.GetDataAsText(2, 1), "author");
    EXPECT_EQ(t.GetDataAsText(5, 1), "field three");
    EXPECT_EQ(t.GetDataAsText(22, 1), std::string(64, 'z'));
    EXPECT_EQ(t.GetDataAsText(1, 2), "second");
    for (int c = 1; c < 23; ++c) {
        EXPECT_EQ(t.GetDataAsText(c, 3), "") << c;
        if (c > 1) {
            EXPECT_EQ(t.GetDataAsText(c, 2), "") << c; // no metadata block
        }
    }
    EXPECT_EQ(t.GetDataAsFloat(23, 1), 0.7f);
    EXPECT_EQ(t.GetDataAsFloat(24, 1), 0.3f);
    EXPECT_EQ(t.GetDataAsFloat(23, 3), 0.1f);
    EXPECT_EQ(t.GetDataAsFloat(24, 3), 0.9f);
}

TEST(ResultTablesTest, DocumentTopicTableWithoutItsContainerKeepsTextCellsEmpty)
{
    TTempDir dir;
    const TMatrix theta({{0.25, 0.75}});
    const std::string table = dir.File("t_theta.bin");
    EXPECT_EQ(WriteThetaTable(table, dir.File("missing.cvlda"), 1, 2, theta.Data()), 1);
    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(table, true));
    EXPECT_EQ(t.GetDataAsText(0, 1), "1");
    EXPECT_EQ(t.GetDataAsText(1, 1), "");
    EXPECT_EQ(t.GetDataAsFloat(24, 1), 0.75f);
}

TEST(ResultTablesTest, TopicWordTableLayoutAndValues)
{
    TTempDir dir;
    TWordAndFreqArray wordmap = {WordRecord("alpha"), WordRecord("beta"),
                                 WordRecord(std::string(56, 'w'))};
    const TMatrix phi({{0.5, 0.25, 0.25}, {0.125, 0.125, 0.75}});
    const std::string table = dir.File("t_phi.bin");

    EXPECT_EQ(WritePhiTable(table, wordmap, 2, phi.Data()), 2);

    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(table, true));
    ASSERT_EQ(t.ColCount(), 3);
    ASSERT_EQ(t.RowCount(), 3);
    EXPECT_EQ(t.FileSize(), 12 + 139 * 3 + 3 * (64 + 4 + 4));
    ExpectColumn(t, 0, fgcText, 64, "Col_Word", "Word");
    ExpectColumn(t, 1, fgcFloat, 4, "Col_Topic1", "Topic 1");
    ExpectColumn(t, 2, fgcFloat, 4, "Col_Topic2", "Topic 2");
    EXPECT_EQ(t.GetDataAsText(0, 0), "alpha");
    EXPECT_EQ(t.GetDataAsText(0, 2), std::string(56, 'w'));
    EXPECT_EQ(t.GetDataAsFloat(1, 0), 0.5f);
    EXPECT_EQ(t.GetDataAsFloat(2, 2), 0.75f);
}

TEST(ResultTablesTest, ValuesAreCountedInSinglePrecisionAgainstTheUniformValue)
{
    TTempDir dir;
    const std::string container = dir.File("none.cvlda");
    struct Case
    {
        const char* name;
        int32_t n; // K topics of one document, or V words of one topic
        double value;
        bool counted;
    };
    const Case cases[] = {
        {"K = 1: nothing exceeds 1", 1, 1.0, false},
        {"exactly 1/4 is not above", 4, 0.25, false},
        {"above 1/4 in double only", 4, 0.25 + 1e-12, false},
        {"1/3 rounds up in single precision", 3, 1.0 / 3.0, true},
        {"clearly above", 2, 0.6, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TMatrix row({std::vector<double>(static_cast<size_t>(c.n), c.value)});
        const int64_t expected = c.counted ? c.n : 0;
        EXPECT_EQ(WriteThetaTable(dir.File("c_theta.bin"), container, 1, c.n, row.Data()),
                  expected);
        const TWordAndFreqArray wordmap(static_cast<size_t>(c.n), WordRecord("w"));
        EXPECT_EQ(WritePhiTable(dir.File("c_phi.bin"), wordmap, 1, row.Data()), expected);
    }
    EXPECT_DOUBLE_EQ(RatioPercent(3, 12), 25.0);
    EXPECT_DOUBLE_EQ(RatioPercent(0, 0), 0.0);
}

TEST(ResultTablesTest, OriginalTextComesBackAsUtf8)
{
    TTempDir dir;
    const std::string container = dir.File("c.cvlda");
    WriteLdaContainer(container, {{0, "\xCF\xF0\xE8\xE2\xE5\xF2", std::nullopt, {}}},
                      {}); // "Привет"
    EXPECT_EQ(GetOrigText(container, 0), "Привет");
    EXPECT_EQ(GetOrigText(container, 5), "");
    EXPECT_EQ(GetOrigText(dir.File("missing.cvlda"), 0), "");
}

TEST(ResultTablesTest, RatioCheckRoundsToFiveDecimals)
{
    TTempDir dir;
    TWordAndFreqArray wordmap = {WordRecord("a"), WordRecord("b"), WordRecord("c")};
    // 1/V = 0.333..: 0.333334 rounds to 0.33333 (not above), 0.333336 to 0.33334 (above).
    const TMatrix phi({{0.333334, 0.333336, 0.1}, {0.5, 0.2, 0.3}});
    const std::string table = dir.File("r_phi.bin");
    WritePhiTable(table, wordmap, 2, phi.Data());
    const auto percent = CheckPhiRatio(table);
    ASSERT_TRUE(percent.has_value());
    EXPECT_DOUBLE_EQ(*percent, 100.0 * 2 / 6);
    SetUserDecimalSeparator(',');
    EXPECT_EQ(FormatGeneral(*percent), "33,3333333333333");
    SetUserDecimalSeparator('.');

    EXPECT_FALSE(CheckPhiRatio(dir.File("missing.bin")).has_value());
    WritePhiTable(table, {}, 2, phi.Data()); // no rows
    EXPECT_FALSE(CheckPhiRatio(table).has_value());
}
