#include "tools/rootcut/textcodec.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

std::string ToAnsi(std::string_view utf8)
{
    std::string ansi = "stale";
    Utf8ToAnsi(utf8, ansi);
    return ansi;
}

std::string ToUtf8(std::string_view ansi)
{
    std::string utf8 = "stale";
    AnsiToUtf8(ansi, utf8);
    return utf8;
}

} // namespace

TEST(TextCodecTest, CyrillicRoundTrips)
{
    const std::string utf8 = "Съешь ещё этих мягких французских булок: Ёж, № 5, «€» — ЇїЎў";
    const std::string ansi = ToAnsi(utf8);
    EXPECT_EQ(ansi.substr(0, 6), "\xD1\xFA\xE5\xF8\xFC ");
    EXPECT_EQ(ansi.find('?'), std::string::npos);
    EXPECT_EQ(ToUtf8(ansi), utf8);
}

TEST(TextCodecTest, QuestionMarkForWhatWindows1251CannotHold)
{
    struct Case
    {
        const char* name;
        const char* utf8;
        const char* ansi;
    };
    const Case cases[] = {
        {"Latin letter", "Zo\xC3\xAB!", "Zo?!"},
        {"CJK", "\xE6\x97\xA5\xE6\x9C\xAC", "??"},
        {"emoji", "a\xF0\x9F\x98\x80z", "a?z"},
        {"stray continuation byte", "a\x80z", "a?z"},
        {"cut sequence keeps the next byte", "\xD0\n\xD0", "?\n?"},
        {"invalid lead byte", "\xFF\xFE", "??"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToAnsi(c.utf8), c.ansi);
    }
    // 0x98 is the one byte the code page leaves undefined.
    EXPECT_EQ(ToUtf8("a\x98z"), "a?z");
}
