#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>

using namespace corvane;

namespace {

// glibc's own converter as the reference for single bytes (it leaves 0x98 undefined).
std::string IconvToUtf8(unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    const size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    return r == static_cast<size_t>(-1) ? std::string() : std::string(out, op - out);
}

} // namespace

TEST(CodePageTest, EveryByteMatchesTheSystemConverterAndRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(byte);
        if (b != 0x98) {
            EXPECT_EQ(utf8, IconvToUtf8(static_cast<unsigned char>(b)));
        }
        EXPECT_EQ(Utf8ToCp1251(utf8), byte);
    }
}

TEST(CodePageTest, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    struct Case
    {
        const char* name;
        std::string utf8;
        std::string ansi;
        size_t substituted;
    };
    const Case cases[] = {
        {"russian", "Мама мыла раму, ёж", "\xCC\xE0\xEC\xE0 \xEC\xFB\xEB\xE0 \xF0\xE0\xEC\xF3, \xB8\xE6", 0},
        {"latin accents", "\xC3\x84\xC3\xB8", "??", 2},
        {"cjk and emoji", "a\xE4\xB8\xAD\xF0\x9F\x98\x80z", "a??z", 2},
        {"typography kept", "\xE2\x84\x96 \xC2\xAB\xE2\x80\x94\xC2\xBB \xE2\x82\xAC", "\xB9 \xAB\x97\xBB \x88", 0},
        {"lone continuation byte", "a\x80z", "a?z", 1},
        {"sequence cut at the end", "ab\xD0", "ab?", 1},
        {"overlong encoding", "\xC0\xAF", "?", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        size_t bad = 99;
        EXPECT_EQ(Utf8ToCp1251(c.utf8, &bad), c.ansi);
        EXPECT_EQ(bad, c.substituted);
    }
}

TEST(CodePageTest, LowerCasesEveryLetterOfTheCodePage)
{
    // Each upper-case letter next to its lower-case form, in Windows-1251.
    const std::string upper = "ABZ\xC0\xDF\xA8\x80\x81\x8A\x8C\x8D\x8E\x8F\xA1\xA3\xA5\xAA\xAF\xB2\xBD";
    const std::string lower = "abz\xE0\xFF\xB8\x90\x83\x9A\x9C\x9D\x9E\x9F\xA2\xBC\xB4\xBA\xBF\xB3\xBE";
    EXPECT_EQ(LowerCp1251(upper), lower);
    EXPECT_EQ(LowerCp1251(lower), lower);
    // Punctuation, digits and symbols of the upper half stay.
    const std::string other = "09{}\x85\x96\x97\xAB\xB9\xA9";
    EXPECT_EQ(LowerCp1251(other), other);

    std::string ascii = "ABC \xC0\xC1";
    LowerAsciiInPlace(ascii);
    EXPECT_EQ(ascii, "abc \xC0\xC1");
}

TEST(CodePageTest, LowerCaseAgreesWithUnicodeForEveryLetter)
{
    for (int b = 0; b < 256; ++b) {
        const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(b));
        const char32_t l = Cp1251ToUnicode(LowerCp1251(static_cast<unsigned char>(b)));
        char32_t expected = u;
        if ((u >= U'A' && u <= U'Z') || (u >= 0x0410 && u <= 0x042F))
            expected = u + 32;
        else if (u >= 0x0400 && u <= 0x040F)
            expected = u + 80;
        else if (u == 0x0490)
            expected = 0x0491;
        EXPECT_EQ(l, expected) << "byte " << b;
    }
}

TEST(CodePageTest, LettersAreTheCasedCharacters)
{
    for (unsigned char c : std::string("azAZ\xC0\xFF\xA8\xB8\xB2\xB3\xA5\xB4\x80\x90"))
        EXPECT_TRUE(IsLetterCp1251(c)) << int(c);
    for (unsigned char c : std::string("09{}?-' \x85\x98\xAB\xB9\xA0\xAD\xB5"))
        EXPECT_FALSE(IsLetterCp1251(c)) << int(c);
}
