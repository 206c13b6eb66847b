#include "shell/filehistory.h"

#include <gtest/gtest.h>

#include <map>

using namespace corvane;

namespace {

using TSection = std::map<std::string, std::string>;

TFileHistory LoadFrom(const TSection& section)
{
    TFileHistory h;
    h.Load([&](const std::string& key) -> std::optional<std::string> {
        auto it = section.find(key);
        if (it == section.end())
            return std::nullopt;
        return it->second;
    });
    return h;
}

TSection SaveTo(const TFileHistory& h)
{
    TSection section;
    h.Save([&](const std::string& key, const std::string& value) { section[key] = value; });
    return section;
}

using TList = std::vector<std::string>;

} // namespace

TEST(TFileHistoryTest, LoadsAtMostMaxCountEntries)
{
    struct Case
    {
        const char* name;
        TSection section;
        TList items;
        int32_t max;
    };
    const Case cases[] = {
        {"empty section", {}, {}, 10},
        {"count and entries",
         {{"Count", "2"}, {"File0", "/a.cvlda"}, {"File1", "/b.cvlda"}},
         {"/a.cvlda", "/b.cvlda"},
         10},
        {"count above MaxCount",
         {{"Count", "3"}, {"MaxCount", "2"}, {"File0", "/a"}, {"File1", "/b"}, {"File2", "/c"}},
         {"/a", "/b"},
         2},
        {"missing and empty entries skipped",
         {{"Count", "3"}, {"File0", "/a"}, {"File1", ""}},
         {"/a"},
         10},
        {"unreadable numbers fall back",
         {{"Count", "x"}, {"MaxCount", "y"}, {"File0", "/a"}},
         {},
         10},
        {"negative counts", {{"Count", "-4"}, {"MaxCount", "-1"}, {"File0", "/a"}}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TFileHistory h = LoadFrom(c.section);
        EXPECT_EQ(h.Items(), c.items);
        EXPECT_EQ(h.MaxCount(), c.max);
    }
}

TEST(TFileHistoryTest, AddMovesToTopWithoutDuplicatesAndDropsTheOldest)
{
    TFileHistory h = LoadFrom(
        {{"Count", "3"}, {"MaxCount", "3"}, {"File0", "/a"}, {"File1", "/b"}, {"File2", "/c"}});
    h.Add("/b");
    EXPECT_EQ(h.Items(), (TList{"/b", "/a", "/c"}));
    h.Add("/d");
    EXPECT_EQ(h.Items(), (TList{"/d", "/b", "/a"}));
    h.Add("/D"); // another file on a case-sensitive file system
    EXPECT_EQ(h.Items(), (TList{"/D", "/d", "/b"}));
    h.MoveToTop(2);
    EXPECT_EQ(h.Items(), (TList{"/b", "/D", "/d"}));
    h.MoveToTop(7);
    EXPECT_EQ(h.Items(), (TList{"/b", "/D", "/d"}));
}

TEST(TFileHistoryTest, SaveWritesWhatLoadReads)
{
    TFileHistory h = LoadFrom({{"MaxCount", "4"}});
    h.Add("/x/один.cvlda");
    h.Add("/y/two.cvlda");
    const TSection saved = SaveTo(h);
    EXPECT_EQ(saved, (TSection{{"Count", "2"},
                               {"MaxCount", "4"},
                               {"File0", "/y/two.cvlda"},
                               {"File1", "/x/один.cvlda"}}));
    const TFileHistory again = LoadFrom(saved);
    EXPECT_EQ(again.Items(), h.Items());
    EXPECT_EQ(again.MaxCount(), 4);
}
