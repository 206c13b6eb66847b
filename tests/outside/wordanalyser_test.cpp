#include "outside/mystem/wordanalyser.h"

#include "outside/mystem/lexgen/lexiconbuilder.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace corvane::mystem {
namespace {

std::string W(const char* utf8)
{
    return Utf8ToCp1251(utf8);
}

class TWordAnalyserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TLexiconBuilder builder;
        const std::pair<const char*, std::vector<const char*>> forms[] = {
            {"мыла", {"мыло", "мыть"}}, {"шла", {"идти"}},      {"кого", {"кто"}},
            {"стол", {"стол"}},         {"кто-то", {"кто-то"}}, {"давай", {"давать"}},
            {"столами", {"стол"}},      {"домами", {"дом"}},    {"садами", {"сад"}},
        };
        for (const auto& [form, lemmas] : forms) {
            std::vector<std::string> converted;
            for (const char* l : lemmas)
                converted.push_back(W(l));
            builder.AddForm(W(form), converted);
        }
        builder.BuildGuesser(3);
        std::string error;
        ASSERT_TRUE(builder.Write(m_Dir.File("t.lex"), error)) << error;
        ASSERT_TRUE(m_Lexicon.Open(m_Dir.File("t.lex"))) << m_Lexicon.LastError();
    }

    test::TTempDir m_Dir;
    TLexicon m_Lexicon;
};

TEST_F(TWordAnalyserTest, KnownUnknownHyphenatedAndLookAlikeWords)
{
    const struct
    {
        const char* word;
        std::vector<const char*> lemmas;
        bool guessed;
    } cases[] = {
        {"МЫЛА", {"мыло", "мыть"}, false},
        {"мылa", {"мыло", "мыть"}, false}, // Latin "a" inside a Cyrillic word
        {"CТОЛ", {"стол"}, false},         // Latin capital C
        {"cтoл", {"стол"}, false},
        {"mыла", {"mыла"}, true},           // lower-case m looks like no Cyrillic letter
        {"Hello", {"hello"}, true},         // Latin words are not analysed
        {"бзыками", {"бзык"}, true},        // guessed from the ending
        {"бзык", {"бзык"}, true},           // no known ending: the word itself
        {"кто-то", {"кто-то"}, false},      // whole hyphenated word in the dictionary
        {"давай-ка", {"давать-ка"}, false}, // trailing particle
        {"шла-таки", {"идти-таки"}, false},
        {"кое-кого", {"кое-кто"}, false}, // leading кое-
        {"кой-кого", {"кой-кто"}, false},
        {"по-бзыковски", {"по-бзыковски"}, false},
        {"мыла-шла", {"мыло-идти"}, false}, // parts joined by their first lemmas
        {"шла-бзыками", {"идти-бзык"}, true},
        {"бзык-то", {"бзык-то"}, true},
    };
    const TWordAnalyser analyser(m_Lexicon);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        const TWordLemmas result = analyser.Analyse(W(c.word));
        std::vector<std::string> expected;
        for (const char* l : c.lemmas)
            expected.push_back(W(l));
        EXPECT_EQ(result.lemmas, expected);
        EXPECT_EQ(result.guessed, c.guessed);
    }
}

} // namespace
} // namespace corvane::mystem
