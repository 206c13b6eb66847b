#include "tools/rootcut/urootcut.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvane;

namespace {

struct Case
{
    const char* word;
    const char* stem;
};

// One row per rule, including the departures from the 1980 paper.
constexpr Case kWords[] = {
    {"caresses", "caress"},        // 1a "sses"
    {"ponies", "poni"},            // 1a "ies"
    {"ties", "ti"},                // 1a "ies" with 4 letters
    {"ies", "ie"},                 // 1a: too short for "ies"
    {"sses", "sse"},               // 1a: too short for "sses"
    {"cats", "cat"},               // 1a
    {"caress", "caress"},          // 1a keeps "ss"
    {"agreed", "agre"},            // 1b "eed" -> "ee", then 5a
    {"feed", "feed"},              // 1b "eed" matched with m = 0: "ed" is not tried
    {"plastered", "plaster"},      // 1b "ed"
    {"motoring", "motor"},         // 1b "ing"
    {"sing", "sing"},              // 1b needs a vowel before "ing"
    {"conflated", "conflat"},      // 1b2 "at" -> "ate", then 5a
    {"troubled", "troubl"},        // 1b2 "bl" -> "ble", then 5a
    {"sized", "size"},             // 1b2 "iz" -> "ize"
    {"hopping", "hop"},            // 1b2 double consonant
    {"falling", "fall"},           // 1b2 keeps "ll"
    {"hissing", "hiss"},           // 1b2 keeps "ss"
    {"filing", "file"},            // 1b2 m = 1 and oRule: append "e"
    {"failing", "fail"},           // 1b2 no oRule: nothing appended
    {"ating", "at"},               // 1b2 needs 3 letters left
    {"happy", "happi"},            // 1c
    {"sky", "sky"},                // 1c needs a vowel before "y"
    {"byyed", "byi"},              // y after y is a vowel: "yy" is no double consonant
    {"relational", "relat"},       // 2 then 4
    {"conditional", "condit"},     // 2 "tional"
    {"valenci", "valenc"},         // 2 "enci", then 5a
    {"digitizer", "digit"},        // 2 "izer", 4
    {"possibly", "possibl"},       // 1c, 2 "bli" -> "ble", 5a
    {"archaeology", "archaeolog"}, // 1c, 2 "logi" -> "log"
    {"radically", "radic"},        // 2 "alli", 4
    {"organization", "organ"},     // 2 "ization", 4
    {"operator", "oper"},          // 2 "ator", 4
    {"hopefulness", "hope"},       // 2 "fulness", 3 "ful"
    {"sensitiviti", "sensit"},     // 2 "iviti", 4
    {"triplicate", "triplic"},     // 3 "icate"
    {"formative", "form"},         // 3 "ative"
    {"electrical", "electr"},      // 3 "ical", 4
    {"goodness", "good"},          // 3 "ness"
    {"generalizations", "gener"},  // 1a, 2, 3, 4
    {"adoption", "adopt"},         // 4 "ion" after "t"
    {"companion", "companion"},    // 4 "ion" needs "s" or "t" before it
    {"replacement", "replac"},     // 4 "ement"
    {"irritant", "irrit"},         // 4 "ant"
    {"homologou", "homolog"},      // 4 "ou"
    {"communism", "commun"},       // 4 "ism"
    {"defensible", "defens"},      // 4 "ible"
    {"rate", "rate"},              // 5a m = 1 with oRule keeps "e"
    {"cease", "ceas"},             // 5a m = 1 without oRule drops "e"
    {"controll", "control"},       // 5b
    {"roll", "roll"},              // 5b needs m > 1
    {"Running", "Run"},            // upper case is a consonant
    {"CATS", "CATS"},              // upper-case suffixes stay
    {"a", "a"},                    // fewer than 3 letters
    {"is", "is"},
};

} // namespace

TEST(URootcutTest, StemsEveryWordOfTheTable)
{
    for (const Case& c : kWords) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(fRootcut(c.word), c.stem);
    }
}

TEST(URootcutTest, InPlaceFormTouchesOnlyItsRange)
{
    // The same words in the middle of a buffer between guard bytes that look like suffixes.
    for (const Case& c : kWords) {
        SCOPED_TRACE(c.word);
        const std::string word = c.word;
        std::string buffer = "ses" + word + "ies";
        const auto last = static_cast<int32_t>(3 + word.size() - 1);
        const int32_t newLast = fRootcut(buffer.data(), 3, last);
        EXPECT_EQ(buffer.substr(3, static_cast<size_t>(newLast - 2)), c.stem);
        EXPECT_EQ(buffer.substr(0, 3), "ses");
        EXPECT_EQ(buffer.substr(buffer.size() - 3), "ies");
    }
}

TEST(URootcutTest, TreatsNonLetterBytesAsConsonants)
{
    // Windows-1251 Cyrillic and digits never match a suffix, but count in the measure.
    EXPECT_EQ(fRootcut("\xEA\xEE\xF2\xFB"), "\xEA\xEE\xF2\xFB");
    EXPECT_EQ(fRootcut("\xEA\xEE\xF2s"), "\xEA\xEE\xF2");
    EXPECT_EQ(fRootcut("2000s"), "2000");
    EXPECT_EQ(fRootcut(""), "");
}
