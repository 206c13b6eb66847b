#include "prep/tagremoval.h"

#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(RemoveTagsTest, CleansMarkupLineEndsAndTrash)
{
    const struct
    {
        const char* name;
        std::string raw;
        std::vector<std::string> trash;
        std::string expected;
    } cases[] = {
        {"tags, CR LF", "<b>Hello</b>\r\nworld", {}, "Hello world"},
        {"lone < drops up to the next >", "a < b and c > d", {}, "a  d"},
        {"unclosed tag drops the rest", "text <i never closed", {}, "text"},
        {"> outside a tag is dropped", "1 > 0", {}, "1  0"},
        {"TAB gets a space before it, NUL and LF go", std::string("a\tb\0c\nd", 8), {}, "a \tbcd"},
        {"&shy; in any case", "co&shy;ope&SHY;ra&Shy;te", {}, "cooperate"},
        {"trash in any case, trimmed, by one space",
         "Sale: Buy NOW! today",
         {"  buy now!  "},
         "Sale:   today"},
        {"blank trash lines do nothing", "keep", {"", "   ", "\t"}, "keep"},
        {"trash in file order", "abcabc!", {"bc", "a a"}, "!"},
        {"Cyrillic trash in any case",
         Utf8ToCp1251("РЕКЛАМА: Текст реклама"),
         {Utf8ToCp1251("реклама")},
         Utf8ToCp1251(": Текст")},
        {"UTF-8 bytes pass unchanged", "Привет, <br/>мир", {}, "Привет, мир"},
        {"only blanks", " \r\n\t ", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemoveTags(c.raw, c.trash), c.expected);
    }
}

} // namespace
} // namespace corvane
