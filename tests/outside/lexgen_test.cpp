#include "outside/mystem/lexgen/hunspellsfx.h"
#include "outside/mystem/lexgen/json.h"
#include "outside/mystem/lexgen/ranking.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace corvane::mystem {
namespace {

TEST(RankLemmasTest, OrdersByWeightSumsAndFilters)
{
    const struct
    {
        const char* name;
        std::vector<TWeightedParse> parses;
        uint32_t formLemma;
        std::vector<uint32_t> expected;
    } cases[] = {
        // Three noun cells at 1/6, 1/6, 1/3 outweigh one verb cell at 1/3.
        {"measured sums",
         {{2, .333f, true, false},
          {1, .167f, true, false},
          {1, .167f, true, false},
          {1, .333f, true, false}},
         kNoLemma,
         {1, 2}},
        {"measured under 1% dropped",
         {{1, .995f, true, false}, {2, .005f, true, false}},
         kNoLemma,
         {1}},
        {"unmeasured variant of a measured form",
         {{1, .5f, true, false}, {2, 5.f, false, false}},
         kNoLemma,
         {1}},
        {"priors sum over cells",
         {{1, 3.f, false, false}, {2, 3.f, false, false}, {2, 3.f, false, false}},
         kNoLemma,
         {2, 1}},
        {"abbreviation dropped beside a full word",
         {{1, .05f, false, true}, {2, .04f, false, false}},
         kNoLemma,
         {2}},
        {"abbreviations alone are kept",
         {{1, .04f, false, true}, {2, .05f, false, true}},
         kNoLemma,
         {2, 1}},
        {"tie: the form's own spelling first",
         {{1, 4.f, false, false}, {2, 4.f, false, false}},
         2,
         {2, 1}},
        {"tie: otherwise first seen first",
         {{1, 4.f, false, false}, {2, 4.f, false, false}},
         kNoLemma,
         {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RankLemmas(c.parses, c.formLemma), c.expected);
    }
}

TEST(THunspellSfxTest, ExpandsSuffixRulesWithConditions)
{
    test::TTempDir dir;
    test::WriteFileBytes(dir.File("t.aff"), "SET UTF-8\n"
                                            "SFX A Y 3\n"
                                            "SFX A   а    ы     [^к]а\n"
                                            "SFX A   а    и     ка\n"
                                            "SFX A   0    м     а\n"
                                            "SFX B Y 1\n"
                                            "SFX B   ый   о     [лнр]ый\n");
    test::WriteFileBytes(dir.File("t.dic"), "4\nрама/A\nрука/A\nбелый/B\nЧуя/A\n");
    THunspellSfx hunspell;
    std::string error;
    ASSERT_TRUE(hunspell.Load(dir.File("t.aff"), dir.File("t.dic"), error)) << error;
    std::string got;
    hunspell.Expand([&](const std::string& form, const std::string& stem) {
        got += Cp1251ToUtf8(form) + "<" + Cp1251ToUtf8(stem) + " ";
    });
    EXPECT_EQ(got, "рама<рама рамы<рама рамам<рама рука<рука руки<рука рукам<рука белый<белый "
                   "бело<белый Чуя<Чуя ");
}

TEST(THunspellSfxTest, RefusesWhatItCannotExpand)
{
    test::TTempDir dir;
    const struct
    {
        const char* name;
        const char* aff;
    } cases[] = {
        {"other encoding", "SET KOI8-R\n"},
        {"long flags", "FLAG long\n"},
        {"prefix rules", "PFX A Y 1\nPFX A 0 не .\n"},
        {"unclosed condition", "SFX A Y 1\nSFX A 0 ы [аб\n"},
    };
    test::WriteFileBytes(dir.File("t.dic"), "1\nслово/A\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(dir.File("t.aff"), c.aff);
        THunspellSfx hunspell;
        std::string error;
        EXPECT_FALSE(hunspell.Load(dir.File("t.aff"), dir.File("t.dic"), error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(TJsonTest, ParsesTheShapesTheDictionaryUses)
{
    TJson json;
    std::string error;
    ASSERT_TRUE(TJson::Parse(R"([["words_dawg_length", 5094147], ["o", {"p": ["", "\u043f\u043e"]}],
                                  true, null, -1.5e2, "a\"b"])",
                             json, error))
        << error;
    ASSERT_EQ(json.array.size(), 6u);
    EXPECT_EQ(json.array[0].array[1].number, 5094147);
    EXPECT_EQ(json.array[1].array[1].object.at("p").array[1].string, "по");
    EXPECT_TRUE(json.array[2].boolean);
    EXPECT_EQ(json.array[4].number, -150);
    EXPECT_EQ(json.array[5].string, "a\"b");
    for (const char* bad : {"", "[1,", "[1 2]", "{\"a\" 1}", "\"open", "[1] x", "nope"})
        EXPECT_FALSE(TJson::Parse(bad, json, error)) << bad;
}

} // namespace
} // namespace corvane::mystem
