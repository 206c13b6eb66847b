// Project files: the XML written and read, where a project's files are looked for, and "Save
// project" / "Load project." on the Gibbs tab.
#include "shell/projectfile.h"

#include "shell/fileedit.h"
#include "shell/ldatab.h"
#include "tests/shell/ldafrmfixture.h"
#include "tests/support/qtprint.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

std::string Xml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body;
}

} // namespace

TEST(ProjectFileTest, WritesExactlyTheThreePaths)
{
    TTempDir dir;
    const std::string path = dir.File("p.cvproj");
    ASSERT_TRUE(WriteProjectFile(path, {"/d/новости & co.cvlda", "/d/a_phi.bin", "", "/d/s.bin"}));
    EXPECT_EQ(ReadFileBytes(path), Xml("<CorvaneProject>\n"
                                       "    <LDAFileName>/d/новости &amp; co.cvlda</LDAFileName>\n"
                                       "    <PhiFileName>/d/a_phi.bin</PhiFileName>\n"
                                       "    <ThetaFileName></ThetaFileName>\n"
                                       "</CorvaneProject>\n"));
    const auto read = ReadProjectFile(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->ldaFile, "/d/новости & co.cvlda");
    EXPECT_EQ(read->phiFile, "/d/a_phi.bin");
    EXPECT_TRUE(read->sentDicFile.empty());

    // A folder that does not exist: nothing is written.
    EXPECT_FALSE(WriteProjectFile(dir.File("none/p.cvproj"), {}));
}

TEST(ProjectFileTest, ReadsWhatItKnowsAndRejectsOtherDocuments)
{
    TTempDir dir;
    struct Case
    {
        const char* name;
        std::string text;
        bool ok;
        std::string lda;
        std::string sentDic;
    } cases[] = {
        {"with dictionary and extras",
         Xml("<!-- saved by hand -->\n<CorvaneProject><Other><LDAFileName>x</LDAFileName></Other>"
             "<LDAFileName>/a.cvlda</LDAFileName><SentDicFileName>/s.bin</SentDicFileName>"
             "</CorvaneProject>"),
         true, "/a.cvlda", "/s.bin"},
        {"elements missing", Xml("<CorvaneProject/>"), true, "", ""},
        {"another root", Xml("<Project><LDAFileName>/a</LDAFileName></Project>"), false, "", ""},
        {"not well-formed", Xml("<CorvaneProject><LDAFileName>/a</CorvaneProject>"), false, "", ""},
        {"empty file", "", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(dir.File("p.cvproj"), c.text);
        const auto project = ReadProjectFile(dir.File("p.cvproj"));
        ASSERT_EQ(project.has_value(), c.ok);
        if (c.ok) {
            EXPECT_EQ(project->ldaFile, c.lda);
            EXPECT_EQ(project->sentDicFile, c.sentDic);
        }
    }
    EXPECT_FALSE(ReadProjectFile(dir.File("missing.cvproj")));
}

TEST(ProjectFileTest, LooksForMovedFilesInTheProjectFolder)
{
    TTempDir dir;
    for (const char* name : {"c.cvlda", "c_phi.bin", "c_theta.bin", "dict.bin"})
        WriteFileBytes(dir.File(name), "x");
    const std::string project = dir.File("p.cvproj");
    struct Case
    {
        const char* name;
        TProject stored;
        bool found;
        std::string phi;
        std::string sentDic;
    } cases[] = {
        {"where stored",
         {dir.File("c.cvlda"), dir.File("c_phi.bin"), dir.File("c_theta.bin"), ""},
         true,
         dir.File("c_phi.bin"),
         ""},
        {"moved with the project",
         {"/gone/c.cvlda", "/gone/c_phi.bin", "/gone/c_theta.bin", "/gone/dict.bin"},
         true,
         dir.File("c_phi.bin"),
         dir.File("dict.bin")},
        {"written on Windows",
         {"C:\\data\\c.cvlda", "C:\\data\\c_phi.bin", "C:\\data\\c_theta.bin", ""},
         true,
         dir.File("c_phi.bin"),
         ""},
        {"a table missing",
         {"/gone/c.cvlda", "/gone/c_phi.bin", "/gone/other.bin", ""},
         false,
         dir.File("c_phi.bin"),
         ""},
        {"container found, tables elsewhere",
         {dir.File("c.cvlda"), "/gone/c_phi.bin", "/gone/c_theta.bin", ""},
         false,
         "/gone/c_phi.bin",
         ""},
        {"dictionary nowhere",
         {dir.File("c.cvlda"), dir.File("c_phi.bin"), dir.File("c_theta.bin"), "/gone/none.bin"},
         true,
         dir.File("c_phi.bin"),
         ""},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LocateProjectFiles(c.stored, project), c.found);
        EXPECT_EQ(c.stored.phiFile, c.phi);
        EXPECT_EQ(c.stored.sentDicFile, c.sentDic);
    }
}

using ProjectFrmFixture = LdaFrmFixture;

TEST_F(ProjectFrmFixture, SavedProjectLoadsFromAMovedFolderWithItsTables)
{
    const std::string folder = dir.File("work");
    std::filesystem::create_directories(folder);
    const std::string stored = folder + "/news.cvlda";
    WriteCorpus(stored);
    LoadThroughDialog(stored);
    frm->LdaTab->TopicsEdit->setText(QStringLiteral("2"));
    frm->LdaTab->IterEdit->setText(QStringLiteral("10"));
    frm->RunBtnClick();
    ASSERT_TRUE(WaitIdle());

    dialogs.Expect(TAsk::SaveFile, folder + "/news.cvproj");
    frm->LdaTab->SaveProjectBtn->click();
    EXPECT_EQ(dialogs.Asked().back().caption, "Save Corvane Project...");
    EXPECT_EQ(dialogs.Asked().back().filter, "Corvane Projects Files (*.cvproj)");
    EXPECT_EQ(dialogs.Asked().back().defaultExt, "cvproj");
    const std::string xml = ReadFileBytes(folder + "/news.cvproj");
    EXPECT_NE(xml.find("<PhiFileName>" + folder + "/news_phi.bin</PhiFileName>"), std::string::npos)
        << xml;

    // The folder moves; a fresh window loads the project from there and keeps the tables.
    const std::string moved = dir.File("moved");
    std::filesystem::rename(folder, moved);
    const std::string thetaBytes = ReadFileBytes(moved + "/news_theta.bin");
    TMainFrm second(dialogs, dispatcher);
    second.LdaTab->SentDicEdit->SetText(QStringLiteral("/kept/dict.bin"));
    dialogs.Expect(TAsk::OpenFile, moved + "/news.cvproj");
    second.LdaTab->LoadProjectBtn->click();
    EXPECT_EQ(dialogs.Asked().back().caption, "Load Corvane Project...");
    EXPECT_EQ(second.CurrLDABinFile(), moved + "/news.cvlda");
    EXPECT_EQ(second.PhiFileName(), moved + "/news_phi.bin");
    EXPECT_EQ(second.ThetaFileName(), moved + "/news_theta.bin");
    EXPECT_EQ(ReadFileBytes(moved + "/news_theta.bin"), thetaBytes);
    EXPECT_EQ(second.LdaTab->DocCountLabel->text(), QStringLiteral("6"));
    EXPECT_EQ(second.SentDicFileName(), "/kept/dict.bin"); // the project names none
    EXPECT_TRUE(second.FileHistory().Items().empty());     // a project does not enter the history

    // A dictionary named by the project and found beside it is taken.
    WriteFileBytes(moved + "/dict.bin", "x");
    ASSERT_TRUE(
        WriteProjectFile(moved + "/dict.cvproj", {moved + "/news.cvlda", moved + "/news_phi.bin",
                                                  moved + "/news_theta.bin", ""}));
    std::string text = ReadFileBytes(moved + "/dict.cvproj");
    text.insert(text.find("</CorvaneProject>"),
                "    <SentDicFileName>/elsewhere/dict.bin</SentDicFileName>\n");
    WriteFileBytes(moved + "/dict.cvproj", text);
    dialogs.Expect(TAsk::OpenFile, moved + "/dict.cvproj");
    second.LoadProjectClick();
    EXPECT_EQ(second.SentDicFileName(), moved + "/dict.bin");
    EXPECT_EQ(second.LdaTab->SentDicEdit->Text().toStdString(), moved + "/dict.bin");
}

TEST_F(ProjectFrmFixture, MissingTableOrBadFileLeavesTheWindowAsItWas)
{
    WriteCorpus(container);
    WriteFileBytes(dir.File("news_phi.bin"), "x");
    ASSERT_TRUE(WriteProjectFile(dir.File("p.cvproj"), {container, dir.File("news_phi.bin"),
                                                        dir.File("news_theta.bin"), ""}));
    WriteFileBytes(dir.File("bad.cvproj"), "<CorvaneProject>");
    for (const char* name : {"p.cvproj", "bad.cvproj"}) {
        SCOPED_TRACE(name);
        dialogs.Expect(TAsk::OpenFile, dir.File(name));
        dialogs.ExpectMessage();
        frm->LoadProjectClick();
        EXPECT_EQ(dialogs.Asked().back().text, "Error on loading project file.");
        EXPECT_EQ(dialogs.Asked().back().caption, "Error");
        EXPECT_EQ(dialogs.Asked().back().icon, TMsgIcon::Warning);
        EXPECT_TRUE(frm->CurrLDABinFile().empty());
        EXPECT_EQ(frm->LdaInput(), nullptr);
        EXPECT_TRUE(frm->PhiFileName().empty());
    }

    // Saving where no file can be written.
    dialogs.Expect(TAsk::SaveFile, dir.File("none/p.cvproj"));
    dialogs.ExpectMessage();
    frm->SaveProjectClick();
    EXPECT_EQ(dialogs.Asked().back().text, "Error while saving project file.");
    EXPECT_EQ(dialogs.Asked().back().caption, "Corvane");
    EXPECT_EQ(dialogs.Asked().back().icon, TMsgIcon::Error);
}
