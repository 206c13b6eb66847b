// The "Gibbs LDA sampling" tab driven as a user drives it: loading a container, runs with the
// real engine, stop, bad parameters, the chart and its file, and the engine load report.
#include "models/gibbsldacore.h"
#include "models/resulttables.h"
#include "shell/fileedit.h"
#include "shell/ldatab.h"
#include "shell/statuspanels.h"
#include "tables/fgstreamdata.h"
#include "tests/shell/ldafrmfixture.h"
#include "tests/support/qtprint.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

using LdaTabFixture = LdaFrmFixture;

QList<double> Xs(const QList<QPointF>& points)
{
    QList<double> xs;
    for (const QPointF& p : points)
        xs << p.x();
    return xs;
}

/// 100 * (values of a table's float columns [first, first + count) above `uniform`) / values.
double TableRatio(const std::string& path, int32_t first, int32_t count, int32_t firstRow,
                  double uniform)
{
    TFGStreamData table;
    EXPECT_TRUE(table.OpenDataFile(path, true)) << path;
    int64_t above = 0, cells = 0;
    for (int32_t c = first; c < first + count; ++c)
        for (int32_t r = firstRow; r < table.RowCount(); ++r, ++cells)
            above += table.GetDataAsFloat(c, r) > static_cast<float>(uniform) ? 1 : 0;
    return cells ? 100.0 * static_cast<double>(above) / static_cast<double>(cells) : -1;
}

} // namespace

TEST_F(LdaTabFixture, ControlsCarryTheirCaptionsDefaultsAndHints)
{
    TLdaTab& tab = *frm->LdaTab;
    EXPECT_EQ(tab.AlphaEdit->text(), QStringLiteral("0,5"));
    EXPECT_EQ(tab.BetaEdit->text(), QStringLiteral("0,1"));
    EXPECT_EQ(tab.TopicsEdit->text(), QStringLiteral("40"));
    EXPECT_EQ(tab.IterEdit->text(), QStringLiteral("100"));
    EXPECT_EQ(tab.SaveStepEdit->text(), QStringLiteral("10"));
    const int processors = std::max(1, QThread::idealThreadCount());
    EXPECT_EQ(tab.ThreadsSpin->maximum(), processors);
    EXPECT_EQ(tab.ThreadsSpin->value(), processors);
    EXPECT_EQ(tab.MethodBox->count(), 3);
    EXPECT_EQ(tab.MethodBox->itemText(2), QStringLiteral("Granulate LDA"));
    EXPECT_EQ(tab.MethodBox->currentIndex(), -1);
    EXPECT_TRUE(tab.OmpRadio->isChecked());
    EXPECT_EQ(tab.RunBtn->toolTip(), QStringLiteral("Run simulation"));
    EXPECT_EQ(tab.StopBtn->toolTip(), QStringLiteral("Stop simulation"));
    EXPECT_EQ(tab.ChartSaveBtn->toolTip(), QStringLiteral("Saving chart to txt file"));
    EXPECT_TRUE(tab.RatioCheckBtn->text().isEmpty());
    EXPECT_EQ(tab.StatusBar->Panel(0), QStringLiteral("Status:"));
    EXPECT_EQ(tab.StatusBar->Panel(1), QStringLiteral("File name:  "));
    EXPECT_TRUE(tab.SentDicEdit->Edit->isReadOnly());
    for (QPushButton* view : {tab.ThetaViewBtn, tab.PhiViewBtn, tab.PhiSortBtn, tab.ThetaSortBtn})
        EXPECT_FALSE(view->isEnabled()) << view->text().toStdString();

    // The method decides what else is usable.
    struct Case
    {
        int method;
        bool fixTopics;
        bool window;
    } cases[] = {{-1, false, false}, {0, false, false}, {1, true, false}, {2, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        tab.MethodBox->setCurrentIndex(c.method);
        EXPECT_EQ(tab.FixTopicsBtn->isEnabled(), c.fixTopics);
        EXPECT_EQ(tab.WindowSpin->isVisibleTo(&tab), c.window);
        EXPECT_EQ(tab.WindowLabel->isVisibleTo(&tab), c.window);
    }
    EXPECT_TRUE(tab.RunBtn->isEnabled());
    EXPECT_FALSE(tab.StopBtn->isEnabled());

    // Fixing topics needs a loaded container.
    tab.MethodBox->setCurrentIndex(1);
    dialogs.ExpectMessage();
    QTest::mouseClick(tab.FixTopicsBtn, Qt::LeftButton);
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked()[0].text, "You should load LDA file first.");
    EXPECT_EQ(dialogs.Asked()[0].caption, "Warning");
    EXPECT_EQ(dialogs.Asked()[0].icon, TMsgIcon::Warning);
}

TEST_F(LdaTabFixture, WholeRunFromLoadToChartFile)
{
    TLdaTab& tab = *frm->LdaTab;
    QTest::mouseClick(tab.RunBtn, Qt::LeftButton); // nothing loaded: nothing happens
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(tab.StatusBar->Panel(0), QStringLiteral("Status:"));

    WriteCorpus(container);
    dialogs.Expect(TAsk::OpenFile, container);
    QTest::mouseClick(tab.LoadDataBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Open file with data");
    EXPECT_EQ(dialogs.Asked().back().filter, "Corvane LDA files (*.cvlda)");
    EXPECT_EQ(tab.DocCountLabel->text(), QStringLiteral("6"));
    EXPECT_EQ(tab.WordCountLabel->text(), QStringLiteral("12"));
    EXPECT_EQ(tab.StatusBar->Panel(0),
              QStringLiteral("Status: Documents as bag of words are loaded"));
    EXPECT_EQ(tab.StatusBar->Panel(1), QStringLiteral("File name: news.cvlda"));
    EXPECT_EQ(frm->FileHistory().Items().front(), container);
    EXPECT_EQ(frm->HistoryMenu->actions().front()->text().toStdString(), container);
    EXPECT_EQ(frm->CurrLDABinFile(), container);

    tab.TopicsEdit->setText(QStringLiteral("2"));
    tab.IterEdit->setText(QStringLiteral("20"));
    QTest::mouseClick(tab.RunBtn, Qt::LeftButton);
    EXPECT_TRUE(frm->LdaRun().Running());
    EXPECT_FALSE(tab.RunBtn->isEnabled());
    EXPECT_TRUE(tab.StopBtn->isEnabled());
    frm->PageControl1->setCurrentIndex(0); // refused during a run
    EXPECT_EQ(frm->PageControl1->currentIndex(), 2);
    ASSERT_TRUE(WaitIdle());

    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "Status: Calculating in progress...",
                            "Status: Iteration(10) - Time(hh:mm:ss)",
                            "Status: Iteration(10) - Time(hh:mm:ss)",
                            "Status: Iteration(20) - Time(hh:mm:ss)",
                            "Status: Iteration(20) - Time(hh:mm:ss)",
                            "Status: Calculation completed (hh:mm:ss)",
                        }));
    EXPECT_TRUE(tab.RunBtn->isEnabled());
    EXPECT_FALSE(tab.StopBtn->isEnabled());
    frm->PageControl1->setCurrentIndex(0);
    EXPECT_EQ(frm->PageControl1->currentIndex(), 0);
    frm->PageControl1->setCurrentIndex(2);

    // Series 1 follows the document-topic table, series 2 the topic-word table.
    const QList<QPointF> theta = tab.ChartPoints(1), phi = tab.ChartPoints(2);
    EXPECT_EQ(Xs(theta), (QList<double>{10, 20}));
    EXPECT_EQ(Xs(phi), (QList<double>{10, 20}));
    const std::string thetaFile = dir.File("news_theta.bin"), phiFile = dir.File("news_phi.bin");
    EXPECT_EQ(frm->ThetaFileName(), thetaFile);
    EXPECT_EQ(frm->PhiFileName(), phiFile);
    EXPECT_DOUBLE_EQ(theta.back().y(), TableRatio(thetaFile, 23, 2, 1, 1.0 / 2));
    EXPECT_DOUBLE_EQ(phi.back().y(), TableRatio(phiFile, 1, 2, 0, 1.0 / 12));
    TFGStreamData table;
    ASSERT_TRUE(table.OpenDataFile(thetaFile, true));
    EXPECT_EQ(table.ColCount(), 25);
    EXPECT_EQ(table.RowCount(), 7);
    EXPECT_EQ(table.GetDataAsText(1, 6), "document number 5");
    ASSERT_TRUE(table.OpenDataFile(phiFile, true));
    EXPECT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.GetDataAsText(0, 11), "ivy");

    // The chart as text: one line per point, ten decimals, CR LF.
    dialogs.Expect(TAsk::SaveFile, dir.File("chart.txt"));
    QTest::mouseClick(tab.ChartSaveBtn, Qt::LeftButton);
    EXPECT_EQ(dialogs.Asked().back().caption, "Save chart data (along Y axis)");
    EXPECT_EQ(dialogs.Asked().back().defaultExt, "txt");
    const std::string text = ReadFileBytes(dir.File("chart.txt"));
    EXPECT_EQ(text, frm->LdaRun().Chart().SaveText());
    EXPECT_TRUE(text.starts_with("10.0000000000 ")) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    dialogs.Expect(TAsk::SaveFile, std::nullopt); // cancel writes nothing
    QTest::mouseClick(tab.ChartSaveBtn, Qt::LeftButton);

    // The ratio check reads the topic-word table back: close to the chart's last point.
    dialogs.ExpectMessage();
    QTest::mouseClick(tab.RatioCheckBtn, Qt::LeftButton);
    double checked = -1;
    ASSERT_TRUE(ParseUserDecimal(dialogs.Asked().back().text, checked))
        << dialogs.Asked().back().text;
    EXPECT_NEAR(checked, phi.back().y(), 10.0);

    // A second run starts with an empty chart.
    tab.IterEdit->setText(QStringLiteral("10"));
    QTest::mouseClick(tab.RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(Xs(tab.ChartPoints(1)), (QList<double>{10}));
}

TEST_F(LdaTabFixture, StopEndsTheRunAndEnablesRunAgain)
{
    WriteCorpus(container);
    LoadThroughDialog(container);
    TLdaTab& tab = *frm->LdaTab;
    tab.TopicsEdit->setText(QStringLiteral("2"));
    tab.IterEdit->setText(QStringLiteral("2000000000"));
    tab.SaveStepEdit->setText(QStringLiteral("1"));
    QTest::mouseClick(tab.RunBtn, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !tab.ChartPoints(2).isEmpty(); }));
    QTest::mouseClick(tab.StopBtn, Qt::LeftButton);
    EXPECT_EQ(tab.StatusBar->Panel(0), QStringLiteral("Status: Terminating calculation..."));
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(tab.StatusBar->Panel(0), QStringLiteral("Status: Calculation terminated by user"));
    EXPECT_TRUE(tab.RunBtn->isEnabled());
    EXPECT_FALSE(tab.StopBtn->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(dir.File("news_phi.bin")));
}

TEST_F(LdaTabFixture, InvalidParametersStartNothing)
{
    WriteCorpus(container);
    LoadThroughDialog(container);
    TLdaTab& tab = *frm->LdaTab;
    struct Case
    {
        QLineEdit* edit;
        const char* text;
    } cases[] = {{tab.TopicsEdit, "abc"},
                 {tab.AlphaEdit, ""},
                 {tab.BetaEdit, "0,1x"},
                 {tab.IterEdit, "1,5"},
                 {tab.SaveStepEdit, " "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const QString kept = c.edit->text();
        c.edit->setText(QString::fromUtf8(c.text));
        statuses.clear();
        QTest::mouseClick(tab.RunBtn, Qt::LeftButton);
        EXPECT_FALSE(frm->LdaRun().Running());
        EXPECT_EQ(statuses, std::vector<std::string>{"Status: Invalid parameters"});
        EXPECT_TRUE(tab.RunBtn->isEnabled());
        EXPECT_FALSE(tab.StopBtn->isEnabled());
        c.edit->setText(kept);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("news_theta.bin")));
}

TEST_F(LdaTabFixture, LoadFailuresAndTheHistoryMenu)
{
    // A container without LDA documents, and a file that is no container at all.
    const std::string old = dir.File("old.cvlda");
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(old, true));
        ASSERT_TRUE(doc.AddDocuments(0, "text", "{text}"));
        ASSERT_TRUE(doc.Close());
    }
    WriteFileBytes(dir.File("junk.cvlda"), "not a container");
    struct Case
    {
        std::string path;
        std::vector<std::string> messages;
    } cases[] = {
        {old, {"This file has old format; it is not supported.", "Error on loading LDA file."}},
        {dir.File("junk.cvlda"), {"Error on loading LDA file."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const size_t before = dialogs.Asked().size();
        dialogs.Expect(TAsk::OpenFile, c.path);
        for (size_t i = 0; i < c.messages.size(); ++i)
            dialogs.ExpectMessage();
        frm->LoadDataClick();
        ASSERT_EQ(dialogs.Asked().size(), before + 1 + c.messages.size());
        for (size_t i = 0; i < c.messages.size(); ++i) {
            EXPECT_EQ(dialogs.Asked()[before + 1 + i].text, c.messages[i]);
            EXPECT_EQ(dialogs.Asked()[before + 1 + i].caption, "Error");
        }
        EXPECT_EQ(frm->LdaInput(), nullptr);
        EXPECT_TRUE(frm->FileHistory().Items().empty());
    }

    // Two loads fill the history; its menu loads the older one and moves it to the top.
    WriteCorpus(container);
    const std::string second = dir.File("second.cvlda");
    std::filesystem::copy_file(container, second);
    LoadThroughDialog(container);
    LoadThroughDialog(second);
    EXPECT_EQ(frm->FileHistory().Items(), (std::vector<std::string>{second, container}));
    frm->HistoryMenu->actions().at(1)->trigger();
    ASSERT_TRUE(WaitFor([&] { return frm->CurrLDABinFile() == container; }, 5000));
    EXPECT_EQ(frm->FileHistory().Items(), (std::vector<std::string>{container, second}));
    EXPECT_EQ(frm->HistoryMenu->actions().front()->text().toStdString(), container);
    EXPECT_EQ(frm->LdaTab->StatusBar->Panel(1), QStringLiteral("File name: news.cvlda"));
}

TEST(TLdaTabEngineTest, LoadReportWarnsAndRunsEndWithTheStatus)
{
    test::TTempDir dir;
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    const std::string container = dir.File("news.cvlda");
    WriteCorpus(container);
    struct Case
    {
        const char* name;
        std::string folder;
        const char* warning;
        int32_t status;
    } cases[] = {
        {"missing", dir.File("nowhere"), "Error on loading GIBBS LDA DLL: file not found.", -1},
        {"wrong version", std::string(FAKE_ENGINES_DIR) + "/fake_wrong_version",
         "Error on loading GIBBS LDA DLL: wrong DLL version.", -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGibbsLdaCore core;
        ASSERT_EQ(core.Load(c.folder), c.status);
        test::TScriptedDialogService dialogs;
        TQtMainThread dispatcher;
        TMainFrm frm(dialogs, dispatcher, core);
        frm.show();
        dialogs.ExpectMessage();
        ASSERT_TRUE(WaitFor([&] { return dialogs.Done(); }, 5000));
        ASSERT_EQ(dialogs.Asked().size(), 1u);
        EXPECT_EQ(dialogs.Asked()[0].text, c.warning);
        EXPECT_EQ(dialogs.Asked()[0].caption, "Warning");
        EXPECT_EQ(dialogs.Asked()[0].icon, TMsgIcon::Warning);

        // The window stays usable; a run ends at once with the load status.
        dialogs.Expect(TAsk::OpenFile, container);
        frm.LoadDataClick();
        dialogs.ExpectMessage();
        frm.PageControl1->setCurrentIndex(2);
        frm.LdaTab->RunBtn->click();
        ASSERT_TRUE(WaitFor([&] { return !frm.LdaRun().Running(); }));
        EXPECT_EQ(dialogs.Asked().back().text, "Error on calculation.");
        EXPECT_EQ(frm.LdaTab->StatusBar->Panel(0),
                  QStringLiteral("Status: Error code=%1").arg(c.status));
        EXPECT_TRUE(frm.LdaTab->RunBtn->isEnabled());
    }
    unsetenv("XDG_CONFIG_HOME");
}
