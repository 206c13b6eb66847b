#include "cli/progressbar.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace corvane::cli;

TEST(ProgressBarTest, DrawsThrottledAndEndsTheLineOnce)
{
    std::ostringstream out;
    {
        TProgressBar bar("Sorting", out);
        bar.Update(10); // first draw: due at once
        bar.Update(20); // within 100 ms of it: not drawn
        bar.Update(150);
        bar.Finish();
        bar.Finish();
    }
    const std::string text = out.str();
    EXPECT_EQ(text.find("\rSorting [###..."), 0u) << text;
    EXPECT_NE(text.find(" 10%  00:00:00"), std::string::npos) << text;
    EXPECT_EQ(text.find(" 20%"), std::string::npos) << text;
    EXPECT_NE(text.find("[##############################] 100%  00:00:00\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1);
}

TEST(ProgressBarTest, NotesAndLinesPrintedWhereTheBarStands)
{
    std::ostringstream bar;
    std::ostringstream lines;
    TProgressBar b("Run", bar);
    b.SetNote("a long note");
    b.Update(50);
    b.PrintLine(lines, "Status: done");
    b.SetNote("short");
    b.Finish();
    EXPECT_EQ(lines.str(), "Status: done\n");
    const std::string text = bar.str();
    const std::string first = "\rRun [###############...............]  50%  00:00:00  a long note";
    ASSERT_EQ(text.find(first), 0u) << text;
    // Erased before the line, drawn again after it; the shorter note blanks the rest.
    EXPECT_EQ(text.substr(first.size(), first.size() + 1),
              "\r" + std::string(first.size() - 1, ' ') + "\r");
    EXPECT_NE(text.find("00:00:00  short      \n"), std::string::npos) << text;
}
