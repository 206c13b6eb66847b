#include "models/fixedtopics.h"

#include "tables/fgstreamdata.h"
#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

TWordAndFreqArray Wordmap(const std::vector<std::string>& words)
{
    TWordAndFreqArray map;
    for (const auto& w : words)
        map.push_back(WordRecord(w));
    return map;
}

std::vector<TFixedTopicsRow> ReadRows(const std::string& table)
{
    std::vector<TFixedTopicsRow> rows;
    std::string error;
    EXPECT_TRUE(ReadFixedTopicsTable(table, rows, error)) << error;
    return rows;
}

bool SameRows(const std::vector<TFixedTopicsRow>& a, const std::vector<TFixedTopicsRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].word != b[i].word || a[i].topics != b[i].topics)
            return false;
    return true;
}

} // namespace

TEST(FixedTopicsTest, TableFromTheWordMapHasItsLayoutAndZeros)
{
    TTempDir dir;
    const std::string table = dir.File("islda.bin");
    std::string error;
    ASSERT_TRUE(CreateFixedTopicsTable(table, Wordmap({"cat", std::string(56, 'k')}), error));

    TFGStreamData t;
    ASSERT_TRUE(t.OpenDataFile(table, true));
    ASSERT_EQ(t.ColCount(), 6);
    ASSERT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.HeaderInfo().RecSize, 0);
    EXPECT_EQ(t.FileSize(), 12 + 139 * 6 + 2 * (60 + 5 * 4));
    EXPECT_EQ(t.ColumnGetType(0), fgcText);
    EXPECT_EQ(t.ColumnGetWidth(0), 60);
    EXPECT_EQ(t.ColumnGetName(0), "Col_Word");
    EXPECT_EQ(t.ColumnGetCapt(0), "Word");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(t.ColumnGetType(i), fgcInt);
        EXPECT_EQ(t.ColumnGetName(i), "Col_Topic" + std::to_string(i));
        EXPECT_EQ(t.ColumnGetCapt(i), "Topic" + std::to_string(i));
        EXPECT_EQ(t.GetDataAsInt(i, 1), 0);
    }
    EXPECT_EQ(t.GetDataAsText(0, 0), "cat");
    EXPECT_EQ(t.GetDataAsText(0, 1), std::string(56, 'k'));
}

TEST(FixedTopicsTest, CsvExportHasItsExactFormAndLoadsBackToTheSameTable)
{
    TTempDir dir;
    const std::string table = dir.File("islda.bin");
    const std::vector<TFixedTopicsRow> rows = {
        {"\xEA\xEE\xF2", {3, 7, 0, 0, 0}}, {"two words", {0, 0, 0, 0, 12}}, {"dog", {}}};
    std::string error;
    ASSERT_TRUE(WriteFixedTopicsTable(table, rows, error));
    const std::string csv = dir.File("fixed.csv");
    ASSERT_TRUE(ExportFixedTopicsCsv(table, csv, error)) << error;
    EXPECT_EQ(ReadFileBytes(csv),
              "\"Word\";\"Topic 1\";\"Topic 2\";\"Topic 3\";\"Topic 4\";\"Topic 5\";\r\n"
              "\"\xEA\xEE\xF2\";\"3\";\"7\";\"0\";\"0\";\"0\";\r\n"
              "\"two words\";\"0\";\"0\";\"0\";\"0\";\"12\";\r\n"
              "\"dog\";\"0\";\"0\";\"0\";\"0\";\"0\";\r\n");

    const std::string again = dir.File("again.bin");
    ASSERT_TRUE(LoadFixedTopicsCsv(csv, again, error)) << error;
    EXPECT_TRUE(SameRows(ReadRows(again), rows));
    EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(table));
}

TEST(FixedTopicsTest, CsvLoadAcceptsLooseLinesAndRejectsNonIntegersWithoutTouchingTheTable)
{
    TTempDir dir;
    const std::string csv = dir.File("in.csv");
    const std::string table = dir.File("islda.bin");
    // Blanks instead of quotes and semicolons, no final ";", a blank line, LF endings.
    WriteFileBytes(csv, "header\nword 1 2 3 4 5\n\n  \"x\";\"-1\";\"0\";\"0\";\"0\";\"9\"\r\n");
    std::string error;
    ASSERT_TRUE(LoadFixedTopicsCsv(csv, table, error)) << error;
    const std::vector<TFixedTopicsRow> expected = {{"word", {1, 2, 3, 4, 5}},
                                                   {"x", {-1, 0, 0, 0, 9}}};
    EXPECT_TRUE(SameRows(ReadRows(table), expected));

    struct Case
    {
        const char* line;
        const char* error;
    };
    const Case bad[] = {
        {"\"w\";\"1\";\"x\";\"0\";\"0\";\"0\";", "'x' is not a valid integer value"},
        {"\"w\";\"1\";\"2\";", "'' is not a valid integer value"},
        {"\"w\";\"1.5\";\"0\";\"0\";\"0\";\"0\";", "'1.5' is not a valid integer value"},
    };
    const std::string before = ReadFileBytes(table);
    for (const auto& c : bad) {
        SCOPED_TRACE(c.line);
        WriteFileBytes(csv, std::string("h\r\n\"ok\";\"1\";\"0\";\"0\";\"0\";\"0\";\r\n") + c.line);
        EXPECT_FALSE(LoadFixedTopicsCsv(csv, table, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(ReadFileBytes(table), before);
    }
    EXPECT_FALSE(LoadFixedTopicsCsv(dir.File("missing.csv"), table, error));
}

TEST(FixedTopicsTest, RunGetsZeroBasedTopicsOfKnownWordsWithAnyTopic)
{
    TTempDir dir;
    const std::string table = dir.File("islda.bin");
    std::string error;
    ASSERT_TRUE(WriteFixedTopicsTable(table,
                                      {{"cat", {3, 7, 0, 0, 0}},
                                       {"dog", {0, 0, 0, 0, 0}},     // no topic
                                       {"unknown", {1, 0, 0, 0, 0}}, // not in the word map
                                       {"owl", {0, 0, 0, 0, 1}},
                                       {"cat", {2, 0, 0, 0, 0}}},
                                      error));
    // "cat" twice in the word map: the first entry is the one.
    const auto fixed = ReadFixedTopics(table, Wordmap({"dog", "cat", "owl", "cat"}));
    ASSERT_EQ(fixed.size(), 3u);
    const int32_t expected[3][6] = {
        {1, 2, 6, -1, -1, -1}, {2, -1, -1, -1, -1, 0}, {1, 1, -1, -1, -1, -1}};
    for (size_t i = 0; i < fixed.size(); ++i) {
        EXPECT_EQ(fixed[i].word, expected[i][0]) << i;
        for (int s = 0; s < 5; ++s)
            EXPECT_EQ(fixed[i].topics[s], expected[i][1 + s]) << i << " " << s;
    }
    EXPECT_TRUE(ReadFixedTopics(dir.File("missing.bin"), Wordmap({"cat"})).empty());
}
