#include "tools/rootcut/arguments.h"

#include "tools/rootcut/rootcuterror.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(ArgumentsTest, ReadsCodePageAndFiles)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        const char* infile;
        const char* outfile;
        bool utf8;
    };
    const Case cases[] = {
        {"none", {}, "", "", false},
        {"lemmatizer, UTF-8", {"-c", "-wl", "-e", "utf-8"}, "", "", true},
        {"lemmatizer, ANSI", {"-c", "-wl"}, "", "", false},
        {"code page is case-sensitive", {"-e", "UTF-8"}, "", "", false},
        {"other code page clears UTF-8", {"-e", "utf-8", "-e", "cp1251"}, "", "", false},
        {"code page may look like an option", {"-e", "-x"}, "", "", false},
        {"-e at the end", {"-e"}, "", "", false},
        {"two files", {"in.txt", "out.txt"}, "in.txt", "out.txt", false},
        {"options between files",
         {"in.txt", "-e", "utf-8", "-x", "out.txt"},
         "in.txt",
         "out.txt",
         true},
        {"later input wins", {"a.txt", "b.txt", "out.txt"}, "b.txt", "out.txt", false},
        {"lone dash is ignored", {"-", "in.txt", "out.txt"}, "in.txt", "out.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRootcutArgs a = ParseArguments(c.args);
        EXPECT_EQ(a.infile, c.infile);
        EXPECT_EQ(a.outfile, c.outfile);
        EXPECT_EQ(a.cp_utf8, c.utf8);
    }
}

TEST(ArgumentsTest, OneFileAloneAborts)
{
    const std::vector<std::string> cases[] = {
        {"out.txt"},
        {"in.txt", "-e", "utf-8"},
        {"-e", "utf-8", "out.txt"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        try {
            ParseArguments(args);
            ADD_FAILURE() << "no error";
        } catch (const TRootcutError& e) {
            EXPECT_EQ(e.ClassName(), "EAbort");
            EXPECT_STREQ(e.what(), "Operation aborted");
        }
    }
}
