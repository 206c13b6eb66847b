// The preparation tab driven as a user drives it, with the real stages and scripted dialogs.
#include "container/binarydoc.h"
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
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace corvane;
using test::TAsk;

namespace {

struct PrepStepsFixture : ::testing::Test
{
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        SetUserDecimalSeparator(',');
        frm = std::make_unique<TMainFrm>(dialogs, dispatcher);
        tab = frm->PrepTab;
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

    // While the stage runs the tabs and the page's controls are locked; the status bar is not.
    EXPECT_TRUE(tab->Busy());
    EXPECT_FALSE(frm->PageControl1->tabBar()->isEnabled());
    EXPECT_FALSE(tab->Stage2_RunBtn->isEnabled());
    EXPECT_TRUE(tab->StatusBar->isEnabled());
    frm->PageControl1->setCurrentIndex(2);
    EXPECT_EQ(frm->PageControl1->currentIndex(), 0);

    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(frm->PageControl1->tabBar()->isEnabled());
    frm->PageControl1->setCurrentIndex(2);
    EXPECT_EQ(frm->PageControl1->currentIndex(), 2);
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
