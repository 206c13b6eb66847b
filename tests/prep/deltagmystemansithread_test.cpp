#include "prep/deltagmystemansithread.h"

#include "container/binarydoc.h"
#include "container/logunit.h"
#include "container/metablock.h"
#include "container/streams.h"
#include "platform/codepage.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TDelivered
{
    std::string orig;
    std::string lem;
    std::string meta; // the author, "-" without metadata
};

struct TRunResult
{
    std::vector<int32_t> order;           // docids in delivery order
    std::map<int32_t, TDelivered> stored; // read back from the container
    std::vector<std::pair<int32_t, bool>> progress;
    std::vector<std::string> log;
    int32_t files = 0;
    double seconds = 0;
};

// A texts folder, a program folder with the fake lemmatizer under the names the stage starts,
// and a log; runs the stage as the program does, with a main-thread loop and a container.
class TStageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_Texts);
        fs::create_directories(m_Bin);
        for (const char* name : {"mystem", "rootcut"})
            fs::create_symlink(CORVANE_FAKE_LEMMATIZER, m_Bin + "/" + name);
        std::string error;
        ASSERT_TRUE(StartLog(error, m_Dir.Path())) << error;
    }
    void TearDown() override { StopLog(); }

    void AddText(const std::string& name, const std::string& bytes)
    {
        test::WriteFileBytes(m_Texts + "/" + name, bytes);
    }

    TRunResult Run(const std::string& params, TCodePage page = cpUtf8, TStemmer stem = stemMystem,
                   const std::string& trash = "", int children = 2,
                   std::chrono::milliseconds idle = 60s, bool terminateAtFirstProgress = false)
    {
        TRunResult result;
        const std::string out = m_Dir.File("out.cvlda");
        const auto start = std::chrono::steady_clock::now();
        {
            TBinaryDoc doc;
            EXPECT_TRUE(doc.Create(out, true));
            TLoopMainThread mainThread;
            bool done = false;
            TDelTagMystemAnsiThread stage(mainThread, m_Texts, params, trash, page, stem);
            stage.m_ProgramDir = m_Bin;
            stage.m_MaxChildren = children;
            stage.m_ChildIdleLimit = idle;
            stage.OnMystemAnsiReady = [&](TDelTagMystemAnsiThread&, int32_t docid, TStream& orig,
                                          TStream& lem, const TDocMetaData* pdata) {
                result.order.push_back(docid);
                EXPECT_TRUE(StoreMystemDocument(doc, docid, orig, lem, pdata));
            };
            stage.OnProgress = [&](TDelTagMystemAnsiThread& sender, int32_t progress, bool isDone) {
                result.progress.emplace_back(progress, isDone);
                done = isDone;
                if (terminateAtFirstProgress)
                    sender.Terminate();
            };
            stage.Start();
            mainThread.RunUntil([&] { return done; });
            stage.WaitFor();
            result.files = stage.FileCount();
            EXPECT_TRUE(doc.Close());
        }
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        TBinaryDoc doc;
        EXPECT_TRUE(doc.Create(out, false)) << doc.LastError();
        for (int32_t i = 0; i < doc.GetDocumentCount(); ++i) {
            TBinaryDocIdxFile entry;
            EXPECT_TRUE(doc.GetIndexEntry(i, entry));
            TDelivered d;
            std::string block;
            EXPECT_TRUE(doc.GetDocuments(entry.docid, d.orig, d.lem));
            EXPECT_TRUE(doc.GetLemDocument(entry.docid, d.lem, &block));
            TMetaFields fields;
            d.meta = block.empty() ? "-" : DecodeMetaBlock(block, fields) ? fields[0] : "?";
            result.stored[entry.docid] = d;
        }
        std::istringstream log(test::ReadFileBytes(m_Dir.File("log.txt")));
        for (std::string line; std::getline(log, line);)
            result.log.push_back(line);
        return result;
    }

    static size_t CountLines(const TRunResult& r, const std::string& line)
    {
        return static_cast<size_t>(std::count(r.log.begin(), r.log.end(), line));
    }

    test::TTempDir m_Dir;
    const std::string m_Texts = m_Dir.File("texts");
    const std::string m_Bin = m_Dir.File("bin");
};

TEST_F(TStageTest, EmptyFolderGivesAnEmptyContainerAndDoneAtOnce)
{
    AddText("notes.md", "not a text file");
    const TRunResult r = Run("");
    EXPECT_EQ(r.files, 0);
    EXPECT_TRUE(r.stored.empty());
    EXPECT_EQ(r.progress, (std::vector<std::pair<int32_t, bool>>{{0, true}}));
    EXPECT_EQ(r.log, (std::vector<std::string>{"TDelTagMystemAnsiThread::Create",
                                               "TDelTagMystemAnsiThread::Execute",
                                               "TDelTagMystemAnsiThread: metadata loaded",
                                               "TDelTagMystemAnsiThread::Execute completed",
                                               "TDelTagMystemAnsiThread::Destroy"}));
}

TEST_F(TStageTest, StoresCleanedTextsWithMetadataWhateverOrderChildrenFinish)
{
    AddText("12.txt", "<b>Slow</b>\r\nHello");
    AddText("a.txt", "Привет &shy;мир");
    AddText("B.TXT", "ONE two");
    AddText("x.txt", "");
    AddText("ignored.csv", "no");
    fs::create_directories(m_Texts + "/folder.txt");
    test::WriteFileBytes(m_Texts + "/metadata.csv", "12;Ann;north;\nx.txt,Bob\nB.TXT;Eve\n");

    const TRunResult r = Run("--slow=Slow");
    ASSERT_EQ(r.files, 4);
    ASSERT_EQ(r.stored.size(), 4u);
    EXPECT_NE(r.order.front(), 0); // the slow first document finished after others
    EXPECT_EQ(r.stored.at(0).orig, "Slow Hello");
    EXPECT_EQ(r.stored.at(0).lem, "{slow} {hello} "); // ASCII lower-cased
    EXPECT_EQ(r.stored.at(0).meta, "Ann");            // by numeric id
    EXPECT_EQ(r.stored.at(1).orig, Utf8ToCp1251("Привет мир"));
    EXPECT_EQ(r.stored.at(1).lem, Utf8ToCp1251("{Привет} {мир} "));
    EXPECT_EQ(r.stored.at(1).meta, "-");
    EXPECT_EQ(r.stored.at(2).lem, "{one} {two} ");
    EXPECT_EQ(r.stored.at(2).meta, "Eve");    // by whole file name
    EXPECT_EQ(r.stored.at(3).lem, "{00000}"); // nothing written
    EXPECT_EQ(r.stored.at(3).meta, "Bob");
    EXPECT_EQ(r.progress.back(), std::make_pair(100, true));
    EXPECT_EQ(std::count_if(r.progress.begin(), r.progress.end(), [](auto& p) { return p.second; }),
              1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread::Execute i=" + std::to_string(i)), 1u);
        EXPECT_EQ(
            CountLines(r, "TDelTagMystemAnsiThread: Try exec mystem docid=" + std::to_string(i)),
            1u);
    }
    EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread: process mystem created OK"), 4u);
    EXPECT_EQ(r.log.back(), "TDelTagMystemAnsiThread::Destroy");
}

TEST_F(TStageTest, CodePagesAndParameterSplitting)
{
    const std::string ansi = Utf8ToCp1251("Ёж ABC");
    AddText("1.txt", ansi);
    TRunResult r = Run("");
    EXPECT_EQ(r.stored.at(0).orig, Utf8ToCp1251("?? ABC")); // not UTF-8: each bad byte is one "?"

    r = Run("", cpAnsi);
    EXPECT_EQ(r.stored.at(0).orig, ansi);
    EXPECT_EQ(r.stored.at(0).lem, Utf8ToCp1251("{Ёж} {abc} "));

    // No shell: blanks split the parameter text, quotes and $ stay as they are.
    r = Run("--args -c -wl -e  utf-8 'a b' $HOME");
    EXPECT_EQ(r.stored.at(0).lem, "{--args}{-c}{-wl}{-e}{utf-8}{'a}{b'}{$home}");
}

TEST_F(TStageTest, LanguageChoosesTheProgram)
{
    AddText("1.txt", "words");
    fs::remove(m_Bin + "/mystem");
    TRunResult r = Run("", cpUtf8, stemRootcut);
    EXPECT_EQ(r.stored.size(), 1u);
    EXPECT_EQ(r.stored.at(0).lem, "{words} ");

    r = Run("", cpUtf8, stemMystem);
    EXPECT_TRUE(r.stored.empty());
    EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread: process mystem created ERROR"), 1u);
}

TEST_F(TStageTest, MissingChildProgramSkipsDocumentsAndKeepsIds)
{
    AddText("1.txt", "a");
    AddText("2.txt", "b");
    fs::remove(m_Bin + "/mystem");
    const TRunResult r = Run("");
    EXPECT_EQ(r.files, 2);
    EXPECT_TRUE(r.stored.empty());
    EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread: process mystem created ERROR"), 2u);
    EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread::Execute i=1"), 1u);
    EXPECT_EQ(r.progress.back(), std::make_pair(100, true));
}

TEST_F(TStageTest, ChildThatWritesBeforeReadingDoesNotDeadlock)
{
    AddText("big.txt", std::string(3 << 20, 'w'));
    const TRunResult r = Run("--flood");
    ASSERT_EQ(r.stored.size(), 1u);
    EXPECT_EQ(r.stored.at(0).lem.size(), (4u << 20) + (3u << 20) + 3);
}

TEST_F(TStageTest, ChildThatHangsIsKilledAndItsDocumentIsEmpty)
{
    AddText("1.txt", "never answered");
    AddText("2.txt", "neither");
    const TRunResult r = Run("--hang", cpUtf8, stemMystem, "", 2, 200ms);
    ASSERT_EQ(r.stored.size(), 2u);
    EXPECT_EQ(r.stored.at(0).lem, "{00000}");
    EXPECT_EQ(r.stored.at(0).orig, "never answered");
    EXPECT_EQ(
        CountLines(r, "TMystemAnsiThread::Execute: no output for 0.2 s, child killed, docid=0"),
        1u);
    EXPECT_EQ(
        CountLines(r, "TMystemAnsiThread::Execute: no output for 0.2 s, child killed, docid=1"),
        1u);
    EXPECT_LT(r.seconds, 10);
}

TEST_F(TStageTest, ChildThatLeavesEarlyGivesAnEmptyDocument)
{
    AddText("1.txt", std::string(2 << 20, 'z'));
    const TRunResult r = Run("--exit-early");
    ASSERT_EQ(r.stored.size(), 1u);
    EXPECT_EQ(r.stored.at(0).lem, "{00000}");
}

TEST_F(TStageTest, TrashLinesAndAMissingTrashFile)
{
    AddText("1.txt", "Buy NOW cheap pills today");
    test::WriteFileBytes(m_Dir.File("trash.txt"), "buy now\r\n\r\n  PILLS \n");
    TRunResult r = Run("", cpUtf8, stemMystem, m_Dir.File("trash.txt"));
    EXPECT_EQ(r.stored.at(0).orig, "cheap   today");

    r = Run("", cpUtf8, stemMystem, m_Dir.File("absent.txt"));
    EXPECT_EQ(r.stored.at(0).orig, "Buy NOW cheap pills today");
    EXPECT_EQ(CountLines(r, "TDelTagMystemAnsiThread::Execute: cannot read the trash file " +
                                m_Dir.File("absent.txt") + ", running without trash lines"),
              1u);
}

TEST_F(TStageTest, NeverMoreChildrenThanTheLimit)
{
    const std::string counts = m_Dir.File("running");
    fs::create_directories(counts);
    for (int i = 0; i < 8; ++i)
        AddText(std::to_string(i) + ".txt", "doc");
    for (int limit : {1, 2, 3}) {
        SCOPED_TRACE(limit);
        const TRunResult r = Run("--count=" + counts, cpUtf8, stemMystem, "", limit);
        ASSERT_EQ(r.stored.size(), 8u);
        for (const auto& [id, d] : r.stored) {
            ASSERT_EQ(d.lem.rfind("{running=", 0), 0u) << d.lem;
            EXPECT_LE(std::stoi(d.lem.substr(9)), limit) << id;
        }
    }
}

TEST_F(TStageTest, TerminateEndsARunWithChildrenStillRunning)
{
    for (int i = 0; i < 5; ++i)
        AddText(std::to_string(i) + ".txt", "doc");
    const TRunResult r = Run("--hang", cpUtf8, stemMystem, "", 2, 60s, true);
    EXPECT_LT(r.stored.size(), 5u);
    EXPECT_EQ(r.progress.back().second, true);
    EXPECT_LT(r.seconds, 10);
}

} // namespace
} // namespace corvane
