#include "tools/rootcut/wordsplit.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvane;

namespace {

std::string Stem(std::string_view text)
{
    std::string out = "[";
    StemWords(text, out);
    EXPECT_EQ(out.substr(0, 1), "[") << "appends to what is there";
    return out.substr(1);
}

} // namespace

TEST(WordSplitTest, SplitsAtPunctMarksOnly)
{
    struct Case
    {
        const char* name;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"apostrophe", "don't ", "{don} {t} "},
        {"hyphen", "well-being ", "{well} {be} "},
        {"runs of separators", "  cats,  dogs... ", "{cat} {dog} "},
        {"braces split words", "{ponies}x{y} ", "{poni} {x} {y} "},
        {"not separators", "a!b a*b [ab] a`b a|b ", "{a!b} {a*b} {[ab]} {a`b} {a|b} "},
        {"tab and digits belong to words", "cats\tdogs 1990s ", "{cats\tdog} {1990} "},
        {"bytes from 128 up belong to words", "\xEA\xEE\xF2s\xA0x ", "{\xEA\xEE\xF2s\xA0x} "},
        {"case is kept", "Caresses CARESSES ", "{Caress} {CARESSES} "},
        {"only separators", " .,;: ", ""},
        {"empty text", "", ""},
        {"single space", " ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Stem(c.text), c.expected);
    }
}

TEST(WordSplitTest, EveryPunctMarkSeparates)
{
    const std::string marks = " \"#$%&'()+,-./:;<=>?@\\^_{}~";
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(IsPunctMark(static_cast<unsigned char>(c)),
                  marks.find(static_cast<char>(c)) != std::string::npos)
            << "byte " << c;
    for (char mark : marks) {
        SCOPED_TRACE(static_cast<int>(mark));
        EXPECT_EQ(Stem(std::string("cats") + mark + "dogs "), "{cat} {dog} ");
    }
}

TEST(WordSplitTest, NeverLooksAtTheLastByte)
{
    // The last byte is always the space after the last line; a word runs up to it.
    EXPECT_EQ(Stem("cats"), "{cat} ");
    EXPECT_EQ(Stem("ab"), "{a} ");
    EXPECT_EQ(Stem("a"), "");
}
