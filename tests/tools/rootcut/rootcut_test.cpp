// The program as the lemmatization stage and a user at a terminal run it.
#include "platform/childprocess.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

struct TRun
{
    std::string output;
    int status = -1;
};

TRun RunRootcut(std::vector<std::string> args, std::string_view input, bool closeStdin = true)
{
    TSpawnOptions options;
    options.argv = {ROOTCUT_PATH};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    TChildProcess child;
    std::string error;
    TRun run;
    if (!child.Start(options, error)) {
        ADD_FAILURE() << error;
        return run;
    }
    EXPECT_EQ(ExchangeWithChild(child, input, run.output, 30s, closeStdin), TExchangeResult::Ok);
    run.status = child.Wait();
    return run;
}

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

} // namespace

TEST(RootcutTest, StopsAtEndMarkWhileThePipeStaysOpen)
{
    // Enough text to fill the pipes both ways; whatever follows 0x1A is ignored.
    const int n = 40000;
    const std::string input = Repeat("Caresses ponies,\r\nhopping-\n", n) + "\x1A" + "cats";
    const TRun run = RunRootcut({"-c", "-wl"}, input, false);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Repeat("{Caress} {poni} {hop} ", n));
}

TEST(RootcutTest, ReadsToEndOfInputWithoutEndMark)
{
    const TRun run = RunRootcut({}, "relational\ndigitizer");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "{relat} {digit} ");
}

TEST(RootcutTest, Utf8ComesBackInUtf8)
{
    // "?" stands for a character Windows-1251 lacks, and "?" separates words.
    const TRun run = RunRootcut({"-c", "-wl", "-e", "utf-8"},
                                "Ёжики в тумане, cats!\nZo\xC3\xAB \xE6\x97\xA5\x1A", false);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "{Ёжики} {в} {тумане} {cats!} {Zo} ");
}

TEST(RootcutTest, WithoutUtf8BytesPassThrough)
{
    const TRun run = RunRootcut({}, "\xD1\xE8\xED\xE8\xE9 ponies\x1A");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "{\xD1\xE8\xED\xE8\xE9} {poni} ");
}

TEST(RootcutTest, WritesTheOutputFile)
{
    test::TTempDir dir;
    const std::string in = dir.File("in.txt");
    const std::string out = dir.File("out.txt");
    test::WriteFileBytes(in, "motoring sky\n\x1A"
                             "cats\n");
    test::WriteFileBytes(out, std::string(1000, 'x'));
    const TRun run = RunRootcut({"-e", "utf-8", in, out}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(test::ReadFileBytes(out), "{motor} {sky} ");
}

TEST(RootcutTest, LinesLongerThanOneReadStayWhole)
{
    // Five-byte groups never line up with the reads, so characters and words straddle them.
    test::TTempDir dir;
    const int n = 300000;
    test::WriteFileBytes(dir.File("in.txt"), Repeat("ёж ", n) + "\r\n" + Repeat("ёж ", n));
    const TRun run = RunRootcut({"-e", "utf-8", dir.File("in.txt"), dir.File("out.txt")}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(test::ReadFileBytes(dir.File("out.txt")) == Repeat("{ёж} ", 2 * n));
}

TEST(RootcutTest, ReportsFailuresOnOneOutputLine)
{
    test::TTempDir dir;
    const std::string missing = dir.File("missing.txt");
    const std::string out = dir.File("out.txt");
    test::WriteFileBytes(dir.File("in"), "cats");
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        std::string line; // the whole line, or its start when it ends in a system message
    };
    const Case cases[] = {
        {"only an output file", {"-c", out}, "EAbort: Operation aborted\n"},
        {"only an input file", {out, "-e", "utf-8"}, "EAbort: Operation aborted\n"},
        {"missing input file",
         {missing, out},
         "EInOutError: Cannot open file \"" + missing + "\": No such file or directory\n"},
        {"input is a folder", {dir.Path(), out}, "EInOutError: Cannot read file \"" + dir.Path()},
        {"output in a missing folder",
         {dir.File("in"), dir.File("no/out.txt")},
         "EInOutError: Cannot create file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRun run = RunRootcut(c.args, "cats\x1A");
        EXPECT_NE(run.status, 0);
        EXPECT_TRUE(run.output.starts_with(c.line)) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}
