#include "prep/stopwordlist.h"

#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

TEST(StopWordListTest, LinesAsTheyStandInEitherEncoding)
{
    TTempDir dir;
    struct Case
    {
        const char* name;
        std::string bytes;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"UTF-8", "\xD0\xBC\xD0\xB0\xD0\xBC\xD0\xB0\nb\n", {"\xEC\xE0\xEC\xE0", "b"}},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF\xD1\x91\r\nx", {"\xB8", "x"}},
        {"Windows-1251",
         "\xEC\xE0\xEC\xE0\r\n\xF0\xE0\xEC\xE0\r\n",
         {"\xEC\xE0\xEC\xE0", "\xF0\xE0\xEC\xE0"}},
        {"blanks, case and empty lines kept", "A \n\n b\n", {"A ", "", " b"}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir.File("list.txt"), c.bytes);
        std::vector<std::string> words = {"old"};
        std::string error;
        ASSERT_TRUE(LoadStopWordList(dir.File("list.txt"), words, error));
        EXPECT_EQ(words, c.words);
    }
    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(LoadStopWordList(dir.File("missing.txt"), words, error));
    EXPECT_FALSE(error.empty());
}

TEST(StopWordListTest, SavedListLoadsBack)
{
    TTempDir dir;
    const std::vector<std::string> words = {"\xEC\xE0\xEC\xE0", "b", "\xB8\xEB\xEA\xE0"};
    std::string error;
    ASSERT_TRUE(SaveWordList(dir.File("list.txt"), words, error));
    EXPECT_EQ(ReadFileBytes(dir.File("list.txt")), "\xEC\xE0\xEC\xE0\r\nb\r\n\xB8\xEB\xEA\xE0\r\n");
    std::vector<std::string> loaded;
    ASSERT_TRUE(LoadStopWordList(dir.File("list.txt"), loaded, error));
    EXPECT_EQ(loaded, words);
    EXPECT_FALSE(SaveWordList(dir.File("no/such/list.txt"), words, error));
}
