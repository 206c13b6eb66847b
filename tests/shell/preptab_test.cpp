#include "shell/preptab.h"

#include "grid/fastgrid.h"
#include "platform/mainthread.h"
#include "shell/fileedit.h"
#include "shell/statuspanels.h"
#include "tests/support/scripteddialogservice.h"
#include "tests/support/tempdir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

using namespace corvane;
using test::TAsk;

namespace {

struct PrepTabFixture : ::testing::Test
{
    test::TTempDir dir;
    test::TScriptedDialogService dialogs;
    TInlineMainThread mainThread;
    TPrepTab tab{dialogs, mainThread};
};

QStringList Texts(const QList<QLabel*>& labels)
{
    QStringList texts;
    for (const QLabel* l : labels)
        texts << l->text();
    return texts;
}

} // namespace

TEST_F(PrepTabFixture, ControlsCarryTheirCaptionsAndDefaults)
{
    QStringList groups;
    for (const QGroupBox* g : tab.findChildren<QGroupBox*>())
        groups << g->title();
    for (const char* title :
         {"STEP 1. Assembling, deleting HTML tags and Lemmatisation",
          " STEP 2.2. Extraction words form brackets and calculating word frequency",
          "List of words", " 2.3 Distribution of word frequency in whole collection",
          "STEP 3. Removing stop words"})
        EXPECT_TRUE(groups.contains(QString::fromUtf8(title))) << title;

    const QStringList labels = Texts(tab.findChildren<QLabel*>());
    for (const char* label :
         {"Folder with original text files:", "Result file (binary):", "Parameters for stemming:",
          "Lang:", "Codepage", "File with trash data:", "File for clearing (binary):",
          "Output file (optional):", "Search in list of words:", "Number of unic words:   0",
          "Total word number:  0", "Low bound", "Upper bound", "File for clearing (binary)",
          "Output file (binary)"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;

    EXPECT_EQ(tab.Stage1_ParamsEdit->text(), QStringLiteral("-c -wl -e  utf-8"));
    EXPECT_EQ(tab.Stage1_LangBox->currentText(), QStringLiteral("Russian"));
    EXPECT_EQ(tab.Stage1_LangBox->itemText(1), QStringLiteral("English"));
    EXPECT_EQ(tab.Stage1_CodepageBox->currentText(), QStringLiteral("UTF"));
    EXPECT_EQ(tab.Stage1_CodepageBox->itemText(1), QStringLiteral("ANSI"));
    EXPECT_EQ(tab.SearchEdit->text(), QStringLiteral("no"));
    EXPECT_EQ(tab.LowBoundEdit->text(), QStringLiteral("0"));
    EXPECT_EQ(tab.UpperBoundEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(tab.Stage1_RunBtn->toolTip(), QStringLiteral("Run first step"));
    EXPECT_EQ(tab.Stage2_RunBtn->toolTip(), QStringLiteral("Run second step"));
    EXPECT_EQ(tab.Stage3_RunBtn->toolTip(), QStringLiteral("Run third step"));
    EXPECT_EQ(tab.ExportBtn->toolTip(), QStringLiteral("Saving freq matrix to csv file"));
    EXPECT_EQ(tab.ClearStopWordsBtn->toolTip(), QStringLiteral("Clear stop words list"));
    EXPECT_EQ(tab.SaveStopWordsBtn->toolTip(), QStringLiteral("Save stop words list to txt"));
    EXPECT_EQ(tab.LoadStopWordsBtn->toolTip(),
              QStringLiteral("Load stop words list from txt file"));
    EXPECT_EQ(tab.FiltrationBtn->text(), QStringLiteral("Filtration"));
    EXPECT_EQ(tab.FiltrationBtn->menu()->actions().size(), 2);
    EXPECT_EQ(tab.WriteToStopWordsItem->text(), QStringLiteral("Write to stop words list"));
    EXPECT_EQ(tab.SaveToFileItem->text(), QStringLiteral("Save to file..."));
    EXPECT_EQ(tab.CloseBtn->text(), QStringLiteral("Close program"));
    EXPECT_EQ(tab.StatusBar->Panel(0), QStringLiteral("Status:"));
    EXPECT_EQ(tab.FreqGrid->ColCount(), 3);
}

TEST_F(PrepTabFixture, CodePageRewritesTheParameters)
{
    tab.Stage1_ParamsEdit->setText(QStringLiteral("-x"));
    tab.Stage1_CodepageBox->setCurrentIndex(1);
    tab.CodepageChange(1);
    EXPECT_EQ(tab.Stage1_ParamsEdit->text(), QStringLiteral("-c -wl"));
    tab.CodepageChange(0);
    EXPECT_EQ(tab.Stage1_ParamsEdit->text(), QStringLiteral("-c -wl -e  utf-8"));
}

TEST_F(PrepTabFixture, FileFieldsAskWithTheirFilters)
{
    dialogs.Expect(TAsk::SaveFile, dir.File("out.cvlda"));
    QTest::mouseClick(tab.Stage1_ResultEdit->BrowseBtn, Qt::LeftButton);
    EXPECT_EQ(tab.Stage1_ResultEdit->Path(), dir.File("out.cvlda"));

    dialogs.Expect(TAsk::OpenFile, std::nullopt); // cancelled: the field keeps its text
    tab.Stage2_InputEdit->SetText(QStringLiteral("/keep.cvlda"));
    QTest::mouseClick(tab.Stage2_InputEdit->BrowseBtn, Qt::LeftButton);
    EXPECT_EQ(tab.Stage2_InputEdit->Path(), "/keep.cvlda");

    dialogs.Expect(TAsk::OpenFile, dir.File("trash.txt"));
    QTest::mouseClick(tab.Stage1_TrashEdit->BrowseBtn, Qt::LeftButton);
    dialogs.Expect(TAsk::Folder, dir.Path());
    QTest::mouseClick(tab.Stage1_FolderEdit->BrowseBtn, Qt::LeftButton);
    EXPECT_EQ(tab.Stage1_FolderEdit->Path(), dir.Path());

    const auto& asked = dialogs.Asked();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].filter, "Corvane LDA files (*.cvlda)");
    EXPECT_EQ(asked[0].defaultExt, "cvlda");
    EXPECT_EQ(asked[1].filter, "Corvane LDA files (*.cvlda)");
    EXPECT_EQ(asked[2].filter, "Corvane LDA files (*.txt)");
}

TEST_F(PrepTabFixture, SearchScrollsTheFoundWordToTheTop)
{
    TFGStreamData t;
    const std::string path = dir.File("words.bin");
    ASSERT_TRUE(t.CreateNewDataFile(path, 1, 100, 0));
    ASSERT_TRUE(t.ColumnAdd(fgcText, 64, "ColWord", "Word"));
    for (int32_t r = 0; r < 100; ++r)
        ASSERT_TRUE(t.WriteData(0, r, std::string_view("w" + std::to_string(r))));
    ASSERT_TRUE(t.WriteData(0, 40, std::string_view("\xec\xe0\xec\xe0"))); // "мама" in 1251
    t.CloseDataFile();
    tab.resize(1200, 800);
    tab.show();
    ASSERT_TRUE(tab.FreqGrid->SetDataFile(path));

    struct Case
    {
        const char* name;
        QString text;
        int32_t top;
    };
    const Case cases[] = {
        {"exact", QStringLiteral("w30"), 30},
        {"surrounding spaces", QStringLiteral("  мама "), 40},
        {"other letter case: not found, no scrolling", QStringLiteral("Мама"), 40},
        {"part of a word: not found", QStringLiteral("w"), 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tab.SearchEdit->setText(c.text);
        QTest::mouseClick(tab.SearchBtn, Qt::LeftButton);
        EXPECT_EQ(tab.FreqGrid->TopRow(), c.top);
        EXPECT_EQ(tab.FreqGrid->LeftCol(), 0);
    }
}

TEST_F(PrepTabFixture, ClearEmptiesTheStopWordList)
{
    tab.StopWordsMemo->setPlainText(QStringLiteral("и\nв\n"));
    QTest::mouseClick(tab.ClearStopWordsBtn, Qt::LeftButton);
    EXPECT_TRUE(tab.StopWordsMemo->toPlainText().isEmpty());
}
