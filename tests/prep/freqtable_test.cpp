#include "prep/freqtable.h"

#include "platform/userlocale.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace corvane;
using namespace corvane::test;

namespace {

TWordAndFreq Word(uint32_t id, int32_t freq, const std::string& w, double tfidf)
{
    TWordAndFreq wf{};
    wf.wfuID = id;
    wf.wfFreq = freq;
    SetWord(wf, w);
    wf.wfTFIDF = tfidf;
    return wf;
}

int32_t I32At(const std::string& bytes, size_t at)
{
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

} // namespace

TEST(FreqTableTest, TableHasThreeColumnsOfExactLayout)
{
    TTempDir dir;
    const std::string path = dir.File("freq_calc.bin");
    const std::vector<TWordAndFreq> words = {Word(1, 9, "\xEC\xE0\xEC\xE0", 0.25),
                                             Word(2, 7, "b", 0.5)};
    std::string error;
    ASSERT_TRUE(WriteFreqTable(path, words, error)) << error;

    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 12u + 3 * 139 + 2 * (64 + 4 + 8));
    EXPECT_EQ(I32At(bytes, 0), 3);
    EXPECT_EQ(I32At(bytes, 4), 2);
    EXPECT_EQ(I32At(bytes, 8), 0);
    struct Col
    {
        uint8_t type;
        int32_t width;
        std::string name, caption;
    };
    const Col cols[] = {{fgcText, 64, "ColWord", "Word"},
                        {fgcInt, 4, "ColFreq", "Freq"},
                        {fgcDouble, 8, "ColTFIDF", "TF-IDF"}};
    for (size_t c = 0; c < 3; ++c) {
        const size_t d = 12 + c * 139;
        EXPECT_EQ(static_cast<uint8_t>(bytes[d]), cols[c].type);
        EXPECT_EQ(I32At(bytes, d + 1), cols[c].width);
        EXPECT_EQ(bytes.substr(d + 9, 1 + cols[c].name.size()),
                  char(cols[c].name.size()) + cols[c].name);
        EXPECT_EQ(bytes.substr(d + 74, 1 + cols[c].caption.size()),
                  char(cols[c].caption.size()) + cols[c].caption);
    }
    TFGStreamData table;
    ASSERT_TRUE(table.OpenDataFile(path, true));
    EXPECT_EQ(table.GetDataAsText(0, 0), "\xEC\xE0\xEC\xE0");
    EXPECT_EQ(table.GetDataAsInt(1, 1), 7);
    EXPECT_EQ(table.GetDataAsDouble(2, 1), 0.5);
}

TEST(FreqTableTest, CsvQuotesEveryCellAndEndsEachWithSemicolon)
{
    TTempDir dir;
    const std::string path = dir.File("freq_calc.bin");
    std::string error;
    ASSERT_TRUE(WriteFreqTable(path,
                               std::vector<TWordAndFreq>{Word(1, 12, "say \"hi\"", 0.125),
                                                         Word(2, 3, "\xEC\xE0", 1.0 / 3)},
                               error));
    TFGStreamData table;
    ASSERT_TRUE(table.OpenDataFile(path, true));
    SetUserDecimalSeparator(',');
    std::vector<int32_t> progress;
    ASSERT_TRUE(ExportFreqTableCsv(
        table, dir.File("words.csv"), [&](int32_t p) { progress.push_back(p); }, error));
    EXPECT_EQ(ReadFileBytes(dir.File("words.csv")),
              "\"say \"\"hi\"\"\";\"12\";\"0,12500\";\r\n\"\xEC\xE0\";\"3\";\"0,33333\";\r\n");
    EXPECT_EQ(progress, (std::vector<int32_t>{50, 100}));
    EXPECT_FALSE(ExportFreqTableCsv(table, dir.File("no/such.csv"), {}, error));
}

TEST(FreqTableTest, SelectionByBounds)
{
    struct Case
    {
        const char* name;
        std::vector<int32_t> freqs;
        double low, up;
        std::vector<int32_t> rows;
    };
    const Case cases[] = {
        {"defaults", {9, 7, 3, 1}, 0, 7, {0, 1}},
        {"both tests: selected twice", {9, 4, 2}, 5, 3, {0, 1, 1, 2}},
        {"low bound only", {9, 7, 3, 1}, 3, 100, {2, 3}},
        {"fractional bounds", {9, 7, 3, 1}, 2.5, 7.5, {0, 3}},
        {"empty list", {}, 0, 7, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SelectByFrequencyBounds(c.freqs, c.low, c.up), c.rows);
    }
}
