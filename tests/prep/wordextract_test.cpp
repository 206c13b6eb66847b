#include "prep/wordextract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace corvane;

TEST(ExtractWordsTest, BracedWordsByTheirTerminators)
{
    struct Case
    {
        const char* name;
        std::string text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"plain", "{\xEC\xE0\xEC\xE0}{\xEC\xFB\xF2\xFC}", {"\xEC\xE0\xEC\xE0", "\xEC\xFB\xF2\xFC"}},
        {"guess mark", "{word?}", {"word"}},
        {"alternatives", "{a|b}", {"a"}},
        {"dot", "{a.b}{c}", {"a", "c"}},
        {"text between words", "x {a} y {b} z", {"a", "b"}},
        {"blanks and control characters", "{ \t\x01w\x02 }", {"w"}},
        {"empty words skipped", "{}{ }{?}{a}", {"a"}},
        {"brace inside a word", "{a{b}c}", {"a{b"}},
        {"unterminated: drops the last character", "{abc", {"ab"}},
        {"unterminated after words", "{a}{bc", {"a", "b"}},
        {"unterminated of one character", "{a", {"{00000}"}},
        {"no braces", "no words here", {"{00000}"}},
        {"empty text", "", {"{00000}"}},
        {"empty-document marker", "{00000}", {"00000"}},
    };
    std::vector<std::string_view> words;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExtractWords(c.text, words);
        EXPECT_EQ(std::vector<std::string>(words.begin(), words.end()), c.words);
    }
}
