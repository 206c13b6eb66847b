#include "cli/demosample.h"

#include "platform/codepage.h"
#include "prep/parsemetadata.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::cli;
using namespace corvane::test;

namespace {

/// Two fortune files (written out of name order) and files that are not UTF-8 fortunes.
void WriteFortunes(const TTempDir& dir)
{
    WriteFileBytes(dir.File("2001.04.u8"), "Четвертая\n\t\t-- Кто-то\n%\nПятая\n%\n");
    WriteFileBytes(dir.File("2001.03.u8"),
                   "Первая мысль.\n\t\t-- Автор, Один\n%\n"
                   "-- Диалог?\n-- Да.\n%\n"
                   "   \n%\n"
                   "Цитата с двумя\nстроками\n\t-- Первый\n\t-- Второй; последний\n%\n");
    WriteFileBytes(dir.File("2001.03"), "not UTF-8\n%\n");
    WriteFileBytes(dir.File("2001.03.dat"), "index");
}

} // namespace

TEST(DemoSampleTest, QuotesComeInFileOrderWithTheirAuthorLines)
{
    TTempDir dir;
    WriteFortunes(dir);
    const std::vector<TQuote> quotes = ReadFortunes(dir.Path(), 100);
    struct Expected
    {
        const char* text;
        const char* author;
        const char* source;
    };
    const Expected expected[] = {
        {"Первая мысль.\n", "Автор, Один", "2001.03"},
        {"-- Диалог?\n-- Да.\n", "", "2001.03"}, // dialogue lines are not indented
        {"Цитата с двумя\nстроками\n\t-- Первый\n", "Второй; последний", "2001.03"},
        {"Четвертая\n", "Кто-то", "2001.04"},
        {"Пятая\n", "", "2001.04"},
    };
    ASSERT_EQ(quotes.size(), std::size(expected));
    for (size_t i = 0; i < quotes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(quotes[i].text, expected[i].text);
        EXPECT_EQ(quotes[i].author, expected[i].author);
        EXPECT_EQ(quotes[i].source, expected[i].source);
    }
    EXPECT_EQ(ReadFortunes(dir.Path(), 4).size(), 4u);
    EXPECT_EQ(ReadFortunes(dir.Path(), 4).back().author, "Кто-то");
    EXPECT_TRUE(ReadFortunes(dir.File("none"), 10).empty());
}

TEST(DemoSampleTest, TextsAndMetadataAreWhatTheLemmatizationStageReads)
{
    TTempDir dir;
    WriteFortunes(dir);
    const std::string texts = dir.File("texts");
    std::string error;
    ASSERT_TRUE(WriteSampleTexts(ReadFortunes(dir.Path(), 100), texts, error)) << error;

    EXPECT_EQ(ReadFileBytes(texts + "/00000.txt"), "Первая мысль.\n");
    EXPECT_EQ(ReadFileBytes(texts + "/00004.txt"), "Пятая\n");
    // Separators inside a field would split it.
    const std::string firstLine = "00000;" + Utf8ToCp1251("Автор  Один") + ";2001.03;\r\n";
    EXPECT_EQ(ReadFileBytes(texts + "/metadata.csv").substr(0, firstLine.size()), firstLine);

    const TParseMetadata metadata(texts + "/metadata.csv");
    ASSERT_EQ(metadata.Count(), 5);
    const struct
    {
        int32_t id;
        const char* author;
        const char* field1;
    } expected[] = {
        {0, "Автор  Один", "2001.03"},
        {1, "", "2001.03"},
        {2, "Второй  последний", "2001.03"},
        {4, "", "2001.04"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.id);
        const TDocMetaData* record = metadata.GetDocMetaDataById(e.id);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->auth, Utf8ToCp1251(e.author));
        EXPECT_EQ(record->addfields[0], e.field1);
        EXPECT_EQ(record->addfields[1], "");
    }
}
