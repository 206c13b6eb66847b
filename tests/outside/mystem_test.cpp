// The analyser program with its generated lexicon, driven as the lemmatization stage drives it.
#include "platform/childprocess.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace corvane {
namespace {

struct TRun
{
    std::string output;
    int status = -1;
    TExchangeResult exchange = TExchangeResult::Error;
};

TRun RunProgram(const std::string& program, const std::string& args, const std::string& input,
                bool closeStdin = true)
{
    TSpawnOptions options;
    options.argv = {program};
    std::istringstream words(args);
    for (std::string w; words >> w;)
        options.argv.push_back(w);
    TChildProcess child;
    std::string error;
    TRun run;
    if (!child.Start(options, error)) {
        ADD_FAILURE() << error;
        return run;
    }
    run.exchange =
        ExchangeWithChild(child, input, run.output, std::chrono::seconds(20), closeStdin);
    run.status = child.Wait();
    return run;
}

TRun RunMystem(const std::string& args, const std::string& input, bool closeStdin = true)
{
    return RunProgram(CORVANE_MYSTEM_PROGRAM, args, input, closeStdin);
}

TEST(MystemProgramTest, WritesLemmasInBraces)
{
    const struct
    {
        const char* args;
        const char* input; // UTF-8; converted for Windows-1251 runs
        const char* expected;
    } cases[] = {
        {"-c -l -e utf-8", "Мама мыла раму.", "{мама} {мыло|мыть} {рама|рам}."},
        {"-c -wl -e  utf-8", "Она шла, а людей — нет!", "{она} {идти}, {а} {человек} — {нет}!"},
        {"-e utf-8", "Мама мыла", "Мама{мама}\nмыла{мыло|мыть}\n"},
        {"-l -e utf-8", "Первый\n\nраз", "{первый}\n{раз}\n"},
        {"-cl -eutf-8", "кракозябры", "{кракозябра?}"},
        {"-cwl -e utf-8", "кракозябры мыла", "кракозябры {мыло|мыть}"},
        {"-wl -e utf-8", "кракозябры мыла", "{мыло|мыть}\n"},
        {"-cl -e utf-8", "кто-то из-за давай-ка по-русски",
         "{кто-то} {из-за} {давать-ка} {по-русски}"},
        {"-cl -e utf-8", "Ёлки, Hello и 2-х", "{елка}, {hello?} {и} 2-{х?}"},
        {"-cl -e utf-8", "CТОЛ", "{стол}"}, // Latin C
        {"-cl -e utf-8", "日 мир", "? {мир|миро}"},
        {"-x --format=json -i -c -l -e utf-8", "мыла", "{мыло|мыть}"},
        {"-c -l -e utf-8", "", ""},
        {"-c -l -e utf-8", "!!! 123", "!!! 123"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.args) + " / " + c.input);
        const TRun run = RunMystem(c.args, std::string(c.input) + '\x1A');
        EXPECT_EQ(run.output, c.expected);
        EXPECT_EQ(run.status, 0);
    }
}

TEST(MystemProgramTest, WindowsCodePageWithoutEncodingFlag)
{
    for (const char* args : {"-c -wl", "-c -wl -e cp1251"}) {
        SCOPED_TRACE(args);
        const TRun run = RunMystem(args, Utf8ToCp1251("Мама мыла раму, ёлки") + '\x1A');
        EXPECT_EQ(run.output, Utf8ToCp1251("{мама} {мыло|мыть} {рама|рам}, {елка}"));
    }
}

TEST(MystemProgramTest, StopsAtTheEndMarkWithInputStillOpen)
{
    const TRun run = RunMystem("-c -wl -e utf-8", "мыла\x1Aшла", /*closeStdin=*/false);
    EXPECT_EQ(run.exchange, TExchangeResult::Ok);
    EXPECT_EQ(run.output, "{мыло|мыть}");
    EXPECT_EQ(run.status, 0);
    // Without the mark the end of input ends the text.
    EXPECT_EQ(RunMystem("-c -wl -e utf-8", "шла").output, "{идти}");
}

TEST(MystemProgramTest, LongDocument)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "Мама мыла раму. ";
    const TRun run = RunMystem("-c -wl -e utf-8", text + '\x1A');
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.size(), std::string("{мама} {мыло|мыть} {рама|рам}. ").size() * 20000);
}

TEST(MystemProgramTest, MissingOrDamagedLexiconExitsWithStatusTwo)
{
    namespace fs = std::filesystem;
    test::TTempDir dir;
    const std::string program = dir.File("mystem");
    fs::copy_file(CORVANE_MYSTEM_PROGRAM, program);
    EXPECT_EQ(RunProgram(program, "-c -wl", "мыла\x1A").status, 2);

    const std::string lexicon = fs::path(CORVANE_MYSTEM_PROGRAM).parent_path() / "mystem.lex";
    test::WriteFileBytes(dir.File("mystem.lex"), test::ReadFileBytes(lexicon).substr(0, 100000));
    const TRun run = RunProgram(program, "-c -wl", "мыла\x1A");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "");
}

} // namespace
} // namespace corvane
