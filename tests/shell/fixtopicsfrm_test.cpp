// The "Topic Fixing" window: paging over "islda.bin", write-back of edited cells, search, the
// CSV exchange and the reset, and the edits reaching an ISLDA run of the real engine.
#include "shell/fixtopicsfrm.h"

#include "models/fixedtopics.h"
#include "shell/ldatab.h"
#include "tables/fgstreamdata.h"
#include "tests/shell/ldafrmfixture.h"
#include "tests/support/qtprint.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

std::shared_ptr<TLdaInput> WordMapOf(const std::vector<std::string>& words)
{
    auto input = std::make_shared<TLdaInput>();
    for (const std::string& w : words)
        input->wordmap.push_back(WordRecord(w));
    return input;
}

std::vector<TFixedTopicsRow> TableRows(const std::string& table)
{
    std::vector<TFixedTopicsRow> rows;
    std::string error;
    EXPECT_TRUE(ReadFixedTopicsTable(table, rows, error)) << error;
    return rows;
}

QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}

/// The texts of one grid row.
QStringList GridRow(const QTableWidget& grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.columnCount(); ++c)
        texts << grid.item(row, c)->text();
    return texts;
}

/// A "Topic Fixing" window over a fresh table of 15 words.
struct FixTopicsFixture : ::testing::Test
{
    FixTopicsFixture()
    {
        for (int i = 0; i < 15; ++i)
            words.push_back("w" + std::to_string(i));
        frm = std::make_unique<TFixTopicsFrm>(dialogs, table, WordMapOf(words));
        frm->show();
    }
    ~FixTopicsFixture() override { frm.reset(); }

    void Type(int row, int topic, const char* text)
    {
        frm->Grid->item(row, 1 + topic)->setText(QString::fromUtf8(text));
    }

    TTempDir dir;
    std::string table = dir.File("islda.bin");
    std::vector<std::string> words;
    TScriptedDialogService dialogs;
    std::unique_ptr<TFixTopicsFrm> frm;
};

} // namespace

TEST_F(FixTopicsFixture, CreatesTheTableAndPagesTenRows)
{
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("Topic Fixing"));
    QStringList headers;
    for (int c = 0; c < frm->Grid->columnCount(); ++c)
        headers << frm->Grid->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, Texts({"N", "Word", "Topic 1", "Topic 2", "Topic 3", "Topic 4", "Topic 5"}));
    EXPECT_EQ(frm->SearchEdit->text(), QStringLiteral("no"));
    EXPECT_EQ(frm->Grid->rowCount(), 10);
    EXPECT_EQ(frm->Grid->rowHeight(0), 20);
    EXPECT_EQ(frm->ScrollBar->maximum(), 5);
    EXPECT_EQ(GridRow(*frm->Grid, 0), Texts({"1", "w0", "0", "0", "0", "0", "0"}));
    EXPECT_FALSE(frm->Grid->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(frm->Grid->item(0, 2)->flags() & Qt::ItemIsEditable);
    const std::vector<TFixedTopicsRow> rows = TableRows(table);
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_EQ(rows[14].word, "w14");

    // Search: the word's index becomes the position, as far as the scroll bar reaches.
    struct Case
    {
        const char* text;
        int position;
    } cases[] = {{"w3", 3}, {"w12", 5}, {"nothing", 5}, {"W3", 5}, {" w3", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        frm->SearchEdit->setText(QString::fromUtf8(c.text));
        QTest::keyClick(frm->SearchEdit, Qt::Key_Return);
        EXPECT_EQ(frm->ScrollBar->value(), c.position);
    }
    EXPECT_EQ(frm->Grid->item(0, 0)->text(), QStringLiteral("6"));

    // Arrows past the shown rows and the wheel move by rows.
    frm->ScrollBar->setValue(1);
    frm->Grid->setCurrentCell(0, 2);
    QTest::keyClick(frm->Grid, Qt::Key_Up);
    EXPECT_EQ(frm->ScrollBar->value(), 0);
    frm->Grid->setCurrentCell(9, 2);
    QTest::keyClick(frm->Grid, Qt::Key_Down);
    EXPECT_EQ(frm->ScrollBar->value(), 1);
    frm->Grid->setCurrentCell(4, 2);
    QTest::keyClick(frm->Grid, Qt::Key_Down); // inside the rows: the cell moves instead
    EXPECT_EQ(frm->ScrollBar->value(), 1);
    const QPointF at(10, 10);
    QWheelEvent wheel(at, frm->Grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(frm->Grid->viewport(), &wheel);
    EXPECT_EQ(frm->ScrollBar->value(), 3);
}

TEST_F(FixTopicsFixture, EditedCellsAreStoredWhenTheRowsMoveOrTheFocusLeaves)
{
    Type(0, 1, "3");
    Type(0, 2, "x"); // not a number: the stored 0 stays
    Type(9, 5, " 7 ");
    frm->ScrollBar->setValue(1);
    std::vector<TFixedTopicsRow> rows = TableRows(table);
    EXPECT_EQ(rows[0].topics, (std::array<int32_t, 5>{3, 0, 0, 0, 0}));
    EXPECT_EQ(rows[9].topics, (std::array<int32_t, 5>{0, 0, 0, 0, 7}));
    EXPECT_EQ(GridRow(*frm->Grid, 8), Texts({"10", "w9", "0", "0", "0", "0", "7"}));

    // A cell typed into its editor counts as soon as the rows move.
    QApplication::setActiveWindow(frm.get());
    frm->Grid->setFocus();
    frm->Grid->setCurrentCell(2, 3);
    frm->Grid->editItem(frm->Grid->item(2, 3));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, frm->Grid);
    QTest::keyClicks(editor, QStringLiteral("12"));
    frm->ScrollBar->setValue(0);
    EXPECT_EQ(TableRows(table)[3].topics[1], 12);

    // Leaving the grid stores too.
    frm->Grid->setFocus();
    Type(4, 4, "9");
    frm->SearchEdit->setFocus();
    EXPECT_EQ(TableRows(table)[4].topics[3], 9);

    // So does closing the window, whose grid then lets go of the table.
    Type(5, 1, "2");
    frm->CloseBtn->click();
    EXPECT_EQ(TableRows(table)[5].topics[0], 2);
    EXPECT_EQ(frm->Grid->rowCount(), 0);
}

TEST_F(FixTopicsFixture, CsvExportLoadAndReset)
{
    Type(1, 1, "3");
    Type(1, 2, "7");
    frm->ScrollBar->setValue(1);
    const std::string csv = dir.File("fixed.csv");
    dialogs.Expect(TAsk::SaveFile, csv);
    frm->ExportBtn->click();
    EXPECT_EQ(dialogs.Asked().back().caption, "Export topic fixing data...");
    EXPECT_EQ(dialogs.Asked().back().filter, "MS Excel files (csv) (*.csv)");
    EXPECT_EQ(dialogs.Asked().back().defaultExt, "csv");
    const std::string text = ReadFileBytes(csv);
    EXPECT_TRUE(text.starts_with("\"Word\";\"Topic 1\";\"Topic 2\";\"Topic 3\";\"Topic 4\";"
                                 "\"Topic 5\";\r\n\"w0\";\"0\";\"0\";\"0\";\"0\";\"0\";\r\n"
                                 "\"w1\";\"3\";\"7\";\"0\";\"0\";\"0\";\r\n"))
        << text;
    const std::vector<TFixedTopicsRow> exported = TableRows(table);

    // "No" keeps everything; "Yes" empties every topic, also in the rows shown.
    dialogs.ExpectMessage(TMsgResult::No);
    frm->ResetBtn->click();
    EXPECT_EQ(dialogs.Asked().back().text, "Are you sure you want to reset all topic fixing data?");
    EXPECT_EQ(dialogs.Asked().back().caption, "Warning");
    EXPECT_EQ(dialogs.Asked().back().icon, TMsgIcon::Question);
    EXPECT_EQ(TableRows(table)[1].topics[0], 3);
    dialogs.ExpectMessage(TMsgResult::Yes);
    frm->ResetBtn->click();
    EXPECT_EQ(frm->ScrollBar->value(), 0);
    EXPECT_EQ(GridRow(*frm->Grid, 1), Texts({"2", "w1", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(TableRows(table)[1].topics[0], 0);

    // Loading the export restores the table and what the grid shows.
    dialogs.Expect(TAsk::OpenFile, csv);
    frm->LoadBtn->click();
    EXPECT_EQ(dialogs.Asked().back().caption, "Load topic fixing data...");
    std::vector<TFixedTopicsRow> loaded = TableRows(table);
    ASSERT_EQ(loaded.size(), exported.size());
    for (size_t r = 0; r < loaded.size(); ++r) {
        EXPECT_EQ(loaded[r].word, exported[r].word);
        EXPECT_EQ(loaded[r].topics, exported[r].topics);
    }
    EXPECT_EQ(GridRow(*frm->Grid, 1), Texts({"2", "w1", "3", "7", "0", "0", "0"}));

    // A file with a bad number changes nothing; a shorter one gives fewer rows.
    WriteFileBytes(dir.File("bad.csv"), "\"Word\";\r\n\"a\";\"1\";\"x\";\"0\";\"0\";\"0\";\r\n");
    dialogs.Expect(TAsk::OpenFile, dir.File("bad.csv"));
    dialogs.ExpectMessage();
    frm->LoadBtn->click();
    EXPECT_EQ(dialogs.Asked().back().caption, "Error");
    EXPECT_EQ(TableRows(table).size(), 15u);
    WriteFileBytes(dir.File("short.csv"),
                   "\"Word\";\r\n\"a\";\"1\";\"0\";\"0\";\"0\";\"0\";\r\n\"zz\";\"2\";\"0\";\"0\";"
                   "\"0\";\"0\";\r\n");
    dialogs.Expect(TAsk::OpenFile, dir.File("short.csv"));
    frm->LoadBtn->click();
    EXPECT_EQ(frm->Grid->rowCount(), 2);
    EXPECT_EQ(frm->ScrollBar->maximum(), 0);
    EXPECT_EQ(GridRow(*frm->Grid, 1), Texts({"2", "zz", "2", "0", "0", "0", "0"}));
}

using FixTopicsRunFixture = LdaFrmFixture;

TEST_F(FixTopicsRunFixture, WindowEditsReachTheEngine)
{
    WriteCorpus(container);
    LoadThroughDialog(container);
    TLdaTab& tab = *frm->LdaTab;
    tab.MethodBox->setCurrentIndex(1); // ISLDA
    EXPECT_EQ(frm->FixTopicsFile(), dir.File("config/Corvane/islda.bin"));

    // Words that always meet are pulled apart: "cat" (word 0) may only take topic 2, "dog"
    // (word 1) only topic 1.
    bool edited = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TFixTopicsFrm*>(QApplication::activeModalWidget());
        if (!window)
            return;
        window->Grid->item(0, 2)->setText(QStringLiteral("2"));
        window->Grid->item(1, 2)->setText(QStringLiteral("1"));
        window->CloseBtn->click();
        edited = true;
    });
    QTest::mouseClick(tab.FixTopicsBtn, Qt::LeftButton);
    ASSERT_TRUE(edited);
    EXPECT_EQ(TableRows(frm->FixTopicsFile())[0].topics[0], 2);

    tab.TopicsEdit->setText(QStringLiteral("3"));
    tab.IterEdit->setText(QStringLiteral("30"));
    QTest::mouseClick(tab.RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(frm->LdaRun().LDA().islda, frm->FixTopicsFile());

    // A word has no count in the topics it may not take: its value there is the topic's
    // smallest one, and above it in its own topic.
    TFGStreamData phi;
    ASSERT_TRUE(phi.OpenDataFile(dir.File("news_phi.bin"), true));
    const int32_t own[] = {2, 1}; // the topic of word 0 and of word 1
    for (int32_t word = 0; word < 2; ++word) {
        for (int32_t topic = 1; topic <= 3; ++topic) {
            SCOPED_TRACE(std::to_string(word) + " in " + std::to_string(topic));
            float smallest = 1;
            for (int32_t w = 0; w < phi.RowCount(); ++w)
                smallest = std::min(smallest, phi.GetDataAsFloat(topic, w));
            if (topic == own[word])
                EXPECT_GT(phi.GetDataAsFloat(topic, word), smallest);
            else
                EXPECT_EQ(phi.GetDataAsFloat(topic, word), smallest);
        }
    }
}
