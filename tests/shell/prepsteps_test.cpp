// The preparation tab driven as a user drives it: the three corpus steps, the list of words and
// the stop-word editor, with the real stages and scripted dialogs.
#include "container/binarydoc.h"
#include "grid/fastgrid.h"
#include "platform/codepage.h"
#include "platform/userlocale.h"
#include "shell/fileedit.h"
#include "shell/mainfrm.h"
#include "shell/preptab.h"
#include "shell/qtmainthread.h"
#include "shell/statuspanels.h"
#include "tests/support/qtprint.h"
#include "tests/support/scripteddialogservice.h"
#include "tests/support/tempdir.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace corvane;
using test::TAsk;

namespace {

std::string Ansi(const char* utf8)
{
    return Utf8ToCp1251(utf8);
}

/// A lemmatized container as step 1 leaves it: мама 3 times, мыть twice, рама and папа once.
void MakeLemmatizedContainer(const std::string& path)
{
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, true));
    const char* const texts[] = {"{мама} {мыть} {рама}", "{мама}", "{мама} {папа} {мыть}"};
    for (int32_t id = 0; id < 3; ++id)
        ASSERT_TRUE(doc.AddDocuments(id, Ansi("текст"), Ansi(texts[id])));
    ASSERT_TRUE(doc.Close());
}

/// Every LDA document of a container as (document id, words).
std::vector<std::pair<int32_t, std::vector<std::string>>> LdaDocuments(const std::string& path)
{
    TBinaryDoc doc;
    std::vector<std::pair<int32_t, std::vector<std::string>>> docs;
    if (!doc.Create(path, false))
        return docs;
    TWordAndFreqArray map(static_cast<size_t>(doc.GetLDAWordmapBinarySize()));
    doc.GetLDAWordmapBinary(map.data(), static_cast<int32_t>(map.size()));
    int32_t id = 0, size = 0;
    for (bool ok = doc.GetLDADocumentBinaryFirst(id, size); ok;
         ok = doc.GetLDADocumentBinaryNext(id, size)) {
        std::vector<uint32_t> ids(static_cast<size_t>(size));
        doc.GetLDADocumentBinary(ids.data(), size);
        std::vector<std::string> words;
        for (uint32_t wid : ids)
            for (const TWordAndFreq& wf : map)
                if (wf.wfuID == wid)
                    words.push_back(Cp1251ToUtf8(WordOf(wf)));
        docs.emplace_back(id, words);
    }
    return docs;
}

struct PrepStepsFixture : ::testing::Test
{
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        SetUserDecimalSeparator(',');
        frm = std::make_unique<TMainFrm>(dialogs, dispatcher);
        tab = frm->PrepTab;
        tab->SetFreqTableFile(dir.File("freq_calc.bin"));
        frm->show();
    }
    void TearDown() override
    {
        dispatcher.Shutdown(); // releases a stage a failed test left running
        frm.reset();
        unsetenv("XDG_CONFIG_HOME");
    }

    /// Lets the main thread run until the running stage has finished.
    bool WaitIdle()
    {
        QElapsedTimer timer;
        timer.start();
        while (tab->Busy() && timer.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents(); // the finished stage is released
        return !tab->Busy();
    }

    QString Status(int panel) const { return tab->StatusBar->Panel(panel); }

    test::TTempDir dir;
    test::TScriptedDialogService dialogs;
    TQtMainThread dispatcher;
    std::unique_ptr<TMainFrm> frm;
    TPrepTab* tab = nullptr;
};

} // namespace

TEST_F(PrepStepsFixture, DictionaryListStopWordsAndStepThree)
{
    MakeLemmatizedContainer(dir.File("lem.cvlda"));
    tab->Stage2_InputEdit->SetText(QString::fromStdString(dir.File("lem.cvlda")));
    tab->Stage2_OutputEdit->SetText(QString::fromStdString(dir.File("dict.cvlda")));
    QTest::mouseClick(tab->Stage2_RunBtn, Qt::LeftButton);

    // While the stage runs the tabs are locked.
    EXPECT_TRUE(tab->Busy());
    EXPECT_EQ(Status(0), QStringLiteral("Status: Freq calculation..."));
    EXPECT_FALSE(frm->PageControl1->tabBar()->isEnabled());
    EXPECT_FALSE(tab->Stage3_RunBtn->isEnabled());
    frm->PageControl1->setCurrentIndex(2);
    EXPECT_EQ(frm->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(tab->StatusBar->isEnabled());

    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Status(0).startsWith(QStringLiteral("Status:  Freq calculation is finished (")))
        << Status(0).toStdString();
    EXPECT_EQ(tab->UnicWordsLabel->text(), QStringLiteral("Number of unic words: 4"));
    EXPECT_EQ(tab->TotalWordsLabel->text(), QStringLiteral("Total word number: 7"));
    TFastGrid& grid = *tab->FreqGrid;
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.GetHeaderText(0), "Word");
    EXPECT_EQ(grid.GetHeaderText(1), "Freq");
    EXPECT_EQ(grid.GetHeaderText(2), "TF-IDF");
    const char* const words[] = {"мама", "мыть", "рама", "папа"};
    const char* const freqs[] = {"3", "2", "1", "1"};
    for (int32_t r = 0; r < 4; ++r) {
        EXPECT_EQ(grid.GetDataVisible(0, r), Ansi(words[r]));
        EXPECT_EQ(grid.GetDataVisible(1, r), freqs[r]);
    }
    EXPECT_EQ(grid.GetDataVisible(2, 0), "0,00000"); // in every document: ln(3 / 3) = 0
    frm->PageControl1->setCurrentIndex(2);           // idle again: the tab may change
    EXPECT_EQ(frm->PageControl1->currentIndex(), 2);
    frm->PageControl1->setCurrentIndex(0);

    // The list as CSV: every cell quoted and followed by ";", single-byte text.
    dialogs.Expect(TAsk::SaveFile, dir.File("dict.csv"));
    QTest::mouseClick(tab->ExportBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Save dictionary to CSV file");
    EXPECT_EQ(dialogs.Asked().back().filter, "Dictionary data (*.csv)");
    const std::string csv = test::ReadFileBytes(dir.File("dict.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1), "\"" + Ansi("мама") + "\";\"3\";\"0,00000\";\r\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_EQ(Status(0), QStringLiteral("Status: Saving dictionary to XLS file is finished"));
    EXPECT_EQ(Status(1), QStringLiteral("File name: dict.csv"));

    // Words of frequency >= 1,5 become the stop-word list.
    tab->LowBoundEdit->setText(QStringLiteral("0"));
    tab->UpperBoundEdit->setText(QStringLiteral("1,5"));
    tab->StopWordsMemo->setPlainText(QStringLiteral("old"));
    tab->WriteToStopWordsItem->trigger();
    EXPECT_EQ(tab->StopWordsMemo->toPlainText(), QStringLiteral("мама\nмыть"));

    tab->Stage3_InputEdit->SetText(QString::fromStdString(dir.File("dict.cvlda")));
    tab->Stage3_OutputEdit->SetText(QString::fromStdString(dir.File("clean.cvlda")));
    QTest::mouseClick(tab->Stage3_RunBtn, Qt::LeftButton);
    EXPECT_EQ(Status(0), QStringLiteral("Status: Removing stop words..."));
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Status(0).startsWith(QStringLiteral("Status:  Stop words removing is finished (")))
        << Status(0).toStdString();
    using TDocs = std::vector<std::pair<int32_t, std::vector<std::string>>>;
    EXPECT_EQ(LdaDocuments(dir.File("clean.cvlda")),
              (TDocs{{0, {"рама"}}, {1, {}}, {2, {"папа"}}}));
    EXPECT_EQ(LdaDocuments(dir.File("dict.cvlda")),
              (TDocs{{0, {"мама", "мыть", "рама"}}, {1, {"мама"}}, {2, {"мама", "папа", "мыть"}}}));
}

TEST_F(PrepStepsFixture, ProcessedContainerShowsItsStoredWordMap)
{
    // A container counted before is not counted again: the list shows its word map as stored.
    const std::string input = dir.File("sample.cvlda");
    std::filesystem::copy_file(test::FixturePath("container/sample.cvlda"), input);
    const std::string before = test::ReadFileBytes(input);
    tab->Stage2_InputEdit->SetText(QString::fromStdString(input));
    QTest::mouseClick(tab->Stage2_RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(tab->UnicWordsLabel->text(), QStringLiteral("Number of unic words: 9"));
    EXPECT_EQ(tab->TotalWordsLabel->text(), QStringLiteral("Total word number: 11"));
    ASSERT_EQ(tab->FreqGrid->RowCount(), 9);
    EXPECT_EQ(tab->FreqGrid->GetDataVisible(0, 1), Ansi("рама"));
    EXPECT_EQ(tab->FreqGrid->GetDataVisible(2, 8), "0,00107");
    EXPECT_EQ(test::ReadFileBytes(input), before);
}

TEST_F(PrepStepsFixture, StageFailureIsShownAndUnlocksTheTab)
{
    tab->Stage2_InputEdit->SetText(QString::fromStdString(dir.File("missing.cvlda")));
    dialogs.ExpectMessage();
    QTest::mouseClick(tab->Stage2_RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].caption, "Error");
    EXPECT_EQ(dialogs.Asked()[0].icon, TMsgIcon::Warning);
    EXPECT_NE(dialogs.Asked()[0].text.find("missing.cvlda"), std::string::npos);
    EXPECT_EQ(Status(0), QStringLiteral("Status:"));
    EXPECT_TRUE(frm->PageControl1->tabBar()->isEnabled());
    EXPECT_FALSE(tab->FreqGrid->DataPresent());

    // Without an input name nothing happens.
    tab->Stage2_InputEdit->SetText(QString());
    QTest::mouseClick(tab->Stage2_RunBtn, Qt::LeftButton);
    EXPECT_FALSE(tab->Busy());
}

TEST_F(PrepStepsFixture, StepOneLemmatizesEnglishTextsWithRootcut)
{
    const std::string texts = dir.File("texts");
    std::filesystem::create_directories(texts);
    test::WriteFileBytes(texts + "/1.txt", "The <b>running</b> dogs,\r\nhappy ponies.");
    test::WriteFileBytes(texts + "/2.txt", "Cats");
    tab->Stage1_FolderEdit->SetText(QString::fromStdString(texts));
    tab->Stage1_ResultEdit->SetText(QString::fromStdString(dir.File("en.cvlda")));
    tab->Stage1_LangBox->setCurrentIndex(1);
    QTest::mouseClick(tab->Stage1_RunBtn, Qt::LeftButton);
    EXPECT_TRUE(tab->Busy());
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Status(0).startsWith(QStringLiteral("Status: Lematization is finished (")))
        << Status(0).toStdString();
    EXPECT_EQ(Status(1), QStringLiteral("Execution: 100%"));

    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(dir.File("en.cvlda"), false));
    ASSERT_EQ(doc.GetDocumentCount(), 2);
    std::string orig, lem;
    ASSERT_TRUE(doc.GetDocuments(0, orig, lem));
    EXPECT_EQ(orig, "The running dogs, happy ponies.");
    EXPECT_EQ(lem, "{the} {run} {dog} {happi} {poni} ");
    ASSERT_TRUE(doc.GetDocuments(1, orig, lem));
    EXPECT_EQ(lem, "{cat} ");
}

TEST_F(PrepStepsFixture, StepOneRefusesAMissingFolder)
{
    tab->Stage1_FolderEdit->SetText(QString::fromStdString(dir.File("nowhere")));
    tab->Stage1_ResultEdit->SetText(QString::fromStdString(dir.File("out.cvlda")));
    dialogs.ExpectMessage();
    QTest::mouseClick(tab->Stage1_RunBtn, Qt::LeftButton);
    EXPECT_FALSE(tab->Busy());
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.cvlda")));
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].caption, "Error");
}

TEST_F(PrepStepsFixture, StopWordListSavesAndLoadsOneWordALine)
{
    tab->StopWordsMemo->setPlainText(QStringLiteral("и\nв \nМама\n"));
    dialogs.Expect(TAsk::SaveFile, dir.File("stop.txt"));
    QTest::mouseClick(tab->SaveStopWordsBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Save list of stop words to file");
    EXPECT_EQ(test::ReadFileBytes(dir.File("stop.txt")),
              Ansi("и") + "\r\n" + Ansi("в ") + "\r\n" + Ansi("Мама") + "\r\n");

    QTest::mouseClick(tab->ClearStopWordsBtn, Qt::LeftButton);
    EXPECT_TRUE(tab->StopWordsMemo->toPlainText().isEmpty());
    dialogs.Expect(TAsk::OpenFile, dir.File("stop.txt"));
    QTest::mouseClick(tab->LoadStopWordsBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Load list of stop words from file");
    EXPECT_EQ(tab->StopWordsMemo->toPlainText(), QStringLiteral("и\nв \nМама"));

    dialogs.Expect(TAsk::OpenFile, std::nullopt); // cancelled: the list stays
    QTest::mouseClick(tab->LoadStopWordsBtn, Qt::LeftButton);
    EXPECT_EQ(tab->StopWordsMemo->toPlainText(), QStringLiteral("и\nв \nМама"));
}

TEST_F(PrepStepsFixture, FiltrationSavesTheSelectedWords)
{
    MakeLemmatizedContainer(dir.File("lem.cvlda"));
    tab->Stage2_InputEdit->SetText(QString::fromStdString(dir.File("lem.cvlda")));
    QTest::mouseClick(tab->Stage2_RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());

    // Low 2 and up 2: мыть is both <= 2 and >= 2 and comes twice.
    tab->LowBoundEdit->setText(QStringLiteral("2"));
    tab->UpperBoundEdit->setText(QStringLiteral("2"));
    tab->StopWordsMemo->setPlainText(QStringLiteral("keep"));
    dialogs.Expect(TAsk::SaveFile, dir.File("filtered.txt"));
    QTest::mouseClick(tab->FiltrationBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Save filtered words to file");
    EXPECT_EQ(dialogs.Asked().back().filter, "Text files (*.txt)");
    EXPECT_EQ(test::ReadFileBytes(dir.File("filtered.txt")),
              Ansi("мама") + "\r\n" + Ansi("мыть") + "\r\n" + Ansi("мыть") + "\r\n" + Ansi("рама") +
                  "\r\n" + Ansi("папа") + "\r\n");
    EXPECT_EQ(tab->StopWordsMemo->toPlainText(), QStringLiteral("keep"));

    tab->UpperBoundEdit->setText(QStringLiteral("abc"));
    dialogs.ExpectMessage();
    tab->WriteToStopWordsItem->trigger();
    EXPECT_EQ(dialogs.Asked().back().text, "'abc' is not a valid floating point value");
    EXPECT_EQ(tab->StopWordsMemo->toPlainText(), QStringLiteral("keep"));
}
