#include "tables/fgstreamdata.h"
#include "tests/cli/clirun.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace corvane;
using namespace corvane::test;

TEST(CliTest, InfoAndWordmapOfTheSampleContainer)
{
    const std::string sample = test::FixturePath("container/sample.cvlda");
    TRun info = RunCli({"info", sample});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out, "file: " + sample +
                            "\nmagic: Qorvelv3\ndocuments: 3\nLDA section: binary, 3 documents\n"
                            "word map: 9 words\n");
    TRun words = RunCli({"wordmap", sample});
    EXPECT_EQ(words.status, 0);
    EXPECT_EQ(words.out.substr(0, 54), "id\tfrequency\tword\ttfidf\n1187950500\t2\tмама\t0.00079\n");
}

TEST(CliTest, DocsPrintsTextsMetadataAndWords)
{
    TRun run = RunCli({"docs", test::FixturePath("container/sample.cvlda"), "--from", "2", "--lda"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "=== document 2 ===\noriginal: Кот спал.\nlemmatized: {кот}{спать}\n"
                       "author: \nlda (2 words): 3363488054/кот 101265974/спать\n");
}

TEST(CliTest, TableAsTextAndCsv)
{
    test::TTempDir dir;
    const std::string path = dir.File("freq.bin");
    {
        TFGStreamData t;
        ASSERT_TRUE(t.CreateNewDataFile(path, 2, 2, 0));
        ASSERT_TRUE(t.ColumnAdd(fgcText, 8, "Col_Word", "Word"));
        ASSERT_TRUE(t.ColumnAdd(fgcFloat, 4, "Col_P", "P"));
        ASSERT_TRUE(t.WriteData(0, 0, std::string_view("\xEC\xE0\xEC\xE0")));
        ASSERT_TRUE(t.WriteData(1, 0, 0.5f));
        ASSERT_TRUE(t.WriteData(0, 1, std::string_view("a\"b")));
    }
    TRun text = RunCli({"table", path});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "columns: 2  rows: 2  RecSize: 0 (column-major)\n"
                        "column 0: text width 8 name \"Col_Word\" caption \"Word\"\n"
                        "column 1: float width 4 name \"Col_P\" caption \"P\"\n"
                        "Word\tP\nмама\t0.50000\na\"b\t0.00000\n");
    TRun csv = RunCli({"table", path, "--csv", "--from", "1"});
    EXPECT_EQ(csv.out, "\"Word\";\"P\";\n\"a\"\"b\";\"0.00000\";\n");
}

TEST(CliTest, ErrorsGiveOneLineAndNonZeroStatus)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {"missing file", {"info", "/nonexistent.cvlda"}, 1},
        {"missing argument", {"docs"}, 1},
        {"unknown option", {"info", "x", "--bogus"}, 1},
        {"bad number", {"docs", test::FixturePath("container/sample.cvlda"), "--from", "abc"}, 1},
        {"unknown command", {"frobnicate"}, 2},
        {"no command", {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TRun run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(RunCli({"help"}).status, 0);

    // Any file opens as a fixed-record table; only cells inside the file are shown.
    TRun text = RunCli({"table", test::FixturePath("README.md")});
    EXPECT_EQ(text.status, 0);
    EXPECT_LT(text.out.size(), 1000u);
}

TEST(CliTest, LemmatizeAFolderWithTheRussianAnalyser)
{
    test::TTempDir dir;
    const std::string texts = dir.File("texts");
    std::filesystem::create_directories(texts);
    test::WriteFileBytes(texts + "/1.txt", "<p>Мама мыла раму.</p>");
    test::WriteFileBytes(texts + "/2.txt", "Она шла, а кракозябра — нет.");
    test::WriteFileBytes(texts + "/3.txt", "<img src=x.png>");
    test::WriteFileBytes(texts + "/metadata.csv", "1;Ann;\n");
    const std::string out = dir.File("out.cvlda");

    TRun run = RunCli({"lemmatize", "--texts", texts, "--out", out, "--jobs", "3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(std::regex_match(
        run.out, std::regex("lemmatize: 3 documents stored, 0 skipped, 1 empty, [0-9.]+ s\n")))
        << run.out;
    TRun docs = RunCli({"docs", out});
    EXPECT_EQ(docs.out, "=== document 0 ===\noriginal: Мама мыла раму.\n"
                        "lemmatized: {мама} {мыло|мыть} {рама|рам}.\nauthor: Ann\n"
                        "=== document 1 ===\noriginal: Она шла, а кракозябра — нет.\n"
                        "lemmatized: {она} {идти}, {а} кракозябра — {нет}.\nmetadata: none\n"
                        "=== document 2 ===\noriginal: \nlemmatized: {00000}\nmetadata: none\n");

    // Guesses are written once -w is left out.
    run = RunCli({"lemmatize", "--texts", texts, "--out", out, "--params", "-c -l -e utf-8"});
    EXPECT_EQ(run.status, 0);
    docs = RunCli({"docs", out, "--from", "1", "--count", "1"});
    EXPECT_NE(docs.out.find("{кракозябра?}"), std::string::npos) << docs.out;

    const std::vector<std::vector<std::string>> bad = {
        {"lemmatize", "--texts", dir.File("absent"), "--out", out},
        {"lemmatize", "--texts", texts},
        {"lemmatize", "--texts", texts, "--out", out, "--lang", "de"},
        {"lemmatize", "--texts", texts, "--out", out, "--codepage", "koi8"},
        {"lemmatize", "--texts", texts, "--out", out, "--jobs", "0"},
        {"lemmatize", "--texts", texts, "--out", dir.File("absent/out.cvlda")},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(RunCli(args).status, 1);
    }
}

TEST(CliTest, LemmatizeEnglishWithRootcut)
{
    TTempDir dir;
    const std::string texts = dir.File("texts");
    std::filesystem::create_directories(texts);
    WriteFileBytes(texts + "/1.txt", "The <b>running</b> dogs, happy ponies.");
    const std::string out = dir.File("out.cvlda");
    for (const char* page : {"utf", "ansi"}) {
        SCOPED_TRACE(page);
        const TRun run = RunCli(
            {"lemmatize", "--texts", texts, "--out", out, "--lang", "en", "--codepage", page});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(RunCli({"docs", out}).out,
                  "=== document 0 ===\noriginal: The running dogs, happy ponies.\n"
                  "lemmatized: {the} {run} {dog} {happi} {poni} \nmetadata: none\n");
    }
}
