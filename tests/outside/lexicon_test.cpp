#include "outside/mystem/lexicon.h"

#include "outside/mystem/lexgen/lexiconbuilder.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace corvane::mystem {
namespace {

using test::ReadFileBytes;
using test::TTempDir;
using test::WriteFileBytes;

std::string W(const char* utf8)
{
    return Utf8ToCp1251(utf8);
}

// A small lexicon: two ambiguous forms, a suppletive one, and nouns in -ами for the guesser.
std::string BuildSmallLexicon(const TTempDir& dir)
{
    TLexiconBuilder builder;
    builder.AddForm(W("мыла"), {W("мыло"), W("мыть")});
    builder.AddForm(W("шла"), {W("идти")});
    for (const char* stem : {"стол", "дом", "сад", "кот"})
        builder.AddForm(W(stem) + W("ами"), {W(stem)});
    builder.BuildGuesser(3);
    builder.AddForm(W("еж"), {W("еж")}); // added after the guesser, out of order
    const std::string path = dir.File("small.lex");
    std::string error;
    EXPECT_TRUE(builder.Write(path, error)) << error;
    return path;
}

TEST(TLexiconTest, FindsFormsAndGuessesByEnding)
{
    TTempDir dir;
    TLexicon lexicon;
    ASSERT_TRUE(lexicon.Open(BuildSmallLexicon(dir))) << lexicon.LastError();
    EXPECT_EQ(lexicon.FormCount(), 7u);

    std::vector<std::string> lemmas;
    ASSERT_TRUE(lexicon.Find(W("мыла"), lemmas));
    EXPECT_EQ(lemmas, (std::vector<std::string>{W("мыло"), W("мыть")}));
    ASSERT_TRUE(lexicon.Find(W("шла"), lemmas));
    EXPECT_EQ(lemmas, std::vector<std::string>{W("идти")});
    ASSERT_TRUE(lexicon.Find(W("еж"), lemmas));
    EXPECT_FALSE(lexicon.Find(W("мыл"), lemmas));
    EXPECT_FALSE(lexicon.Find(W("мылаа"), lemmas));
    EXPECT_FALSE(lexicon.Find("", lemmas));

    std::string guess;
    ASSERT_TRUE(lexicon.Guess(W("бзыками"), guess));
    EXPECT_EQ(guess, W("бзык"));
    // The ending must leave part of the word: "ами" alone is no noun.
    EXPECT_FALSE(lexicon.Guess(W("ами"), guess));
    EXPECT_FALSE(lexicon.Guess(W("бзык"), guess));
}

TEST(TLexiconTest, LexiconKeyFoldsCaseAndYo)
{
    EXPECT_EQ(LexiconKey(W("ЁЛКИ Ёж")), W("елки еж"));
    EXPECT_EQ(LexiconKey("ABC"), "abc");
}

TEST(TLexiconTest, RejectsMissingShortAndForeignFiles)
{
    TTempDir dir;
    const std::string good = ReadFileBytes(BuildSmallLexicon(dir));
    std::string badMagic = good;
    badMagic[0] = 'X';
    std::string sectionPastEnd = good;
    sectionPastEnd[offsetof(TLexiconHeader, sets) + offsetof(TSectionHeader, dataOffset) + 7] =
        '\x7F';
    const struct
    {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"header only half", good.substr(0, 40)},
        {"truncated", good.substr(0, good.size() - 1)},
        {"longer than recorded", good + "x"},
        {"bad magic", badMagic},
        {"section past the end", sectionPastEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir.File("bad.lex"), c.bytes);
        TLexicon lexicon;
        EXPECT_FALSE(lexicon.Open(dir.File("bad.lex")));
        EXPECT_FALSE(lexicon.LastError().empty());
    }
    TLexicon lexicon;
    EXPECT_FALSE(lexicon.Open(dir.File("absent.lex")));
}

// Every single damaged byte past the header must give answers or "unknown", never a crash or
// a read outside the mapping (the sanitizer build checks the latter).
TEST(TLexiconTest, DamagedBytesNeverCrashLookups)
{
    TTempDir dir;
    const std::string good = ReadFileBytes(BuildSmallLexicon(dir));
    const std::string path = dir.File("damaged.lex");
    for (size_t i = sizeof(TLexiconHeader); i < good.size(); ++i) {
        for (const char value : {'\x00', '\xFF', '\x80'}) {
            std::string bytes = good;
            bytes[i] = value;
            WriteFileBytes(path, bytes);
            TLexicon lexicon;
            ASSERT_TRUE(lexicon.Open(path));
            std::vector<std::string> lemmas;
            std::string guess;
            for (const char* word : {"мыла", "шла", "столами", "еж", "бзыками", "я"}) {
                lexicon.Find(W(word), lemmas);
                lexicon.Guess(W(word), guess);
            }
        }
    }
}

} // namespace
} // namespace corvane::mystem
