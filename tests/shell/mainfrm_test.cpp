#include "shell/mainfrm.h"
#include "shell/preptab.h"
#include "shell/fileedit.h"
#include "platform/mainthread.h"
#include "tests/support/scripteddialogservice.h"
#include "tests/support/tempdir.h"

#include <QComboBox>
#include <QMenu>
#include <QTabWidget>

#include "tests/support/qtprint.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace corvane;

namespace {

/// A main window whose settings folder is a fresh temporary one.
struct MainFrmFixture : ::testing::Test
{
    void SetUp() override { setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    std::string ConfFile() const { return config.File("Corvane/local.conf"); }

    test::TTempDir config;
    test::TScriptedDialogService dialogs;
    TInlineMainThread mainThread;
};

QStringList MenuTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* a : menu.actions())
        texts << a->text();
    return texts;
}

} // namespace

TEST_F(MainFrmFixture, FiveTabsInOrderAndTheCaption)
{
    TMainFrm frm(dialogs, mainThread);
    const QStringList expected = {QStringLiteral("Lematization (Russian language)"),
                                  QStringLiteral("View of CVLDA file"),
                                  QStringLiteral("Gibbs LDA sampling"), QStringLiteral("BigARTM"),
                                  QStringLiteral("Kullback-Leibler Distance, Jaccard index")};
    ASSERT_EQ(frm.PageControl1->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(frm.PageControl1->tabText(i), expected[i]);

    int activations = 0;
    frm.OnFirstActivated = [&] { ++activations; };
    frm.show();
    frm.hide();
    frm.show();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(frm.windowTitle(), QStringLiteral("Corvane - Sentiment analysis - ver. 81 (64 bit)"));
    EXPECT_EQ(frm.ConfFile(), ConfFile());
}

TEST_F(MainFrmFixture, EmptyHistoryShowsItsMenuItem)
{
    TMainFrm frm(dialogs, mainThread);
    EXPECT_EQ(MenuTexts(*frm.HistoryMenu), QStringList{QStringLiteral("(File history is empty)")});
    EXPECT_EQ(frm.PrepTab->Stage2_InputEdit->HistoryBox->count(), 0);
}

TEST_F(MainFrmFixture, HistoryFileRoundTrip)
{
    std::filesystem::create_directories(config.File("Corvane"));
    test::WriteFileBytes(ConfFile(), "[FileHistory]\n"
                                     "Count=3\n"
                                     "MaxCount=3\n"
                                     "File0=/data/a.cvlda\n"
                                     "File1=/data/б.cvlda\n"
                                     "File2=/data/c.cvlda\n"
                                     "[Other]\n"
                                     "Keep=1\n");
    {
        TMainFrm frm(dialogs, mainThread);
        EXPECT_EQ(MenuTexts(*frm.HistoryMenu),
                  (QStringList{QStringLiteral("/data/a.cvlda"), QStringLiteral("/data/б.cvlda"),
                               QStringLiteral("/data/c.cvlda")}));
        for (TFileEdit* edit : {frm.PrepTab->Stage1_ResultEdit, frm.PrepTab->Stage2_InputEdit,
                                frm.PrepTab->Stage3_InputEdit}) {
            ASSERT_EQ(edit->HistoryBox->count(), 3);
            EXPECT_EQ(edit->HistoryBox->itemText(1), QStringLiteral("/data/б.cvlda"));
        }
        frm.FileHistory().Add("/data/d, e;f.cvlda"); // a fourth file: the oldest goes
        frm.RebuildHistoryMenu();
        EXPECT_EQ(MenuTexts(*frm.HistoryMenu).first(), QStringLiteral("/data/d, e;f.cvlda"));
        frm.show();
        frm.close(); // closing writes the history
    }
    const std::string written = test::ReadFileBytes(ConfFile());
    EXPECT_NE(written.find("Count=3"), std::string::npos) << written;
    EXPECT_NE(written.find("/data/d, e;f.cvlda"), std::string::npos) << written;
    EXPECT_EQ(written.find("c.cvlda"), std::string::npos) << written;
    EXPECT_NE(written.find("Keep=1"), std::string::npos) << written; // other sections stay

    TMainFrm again(dialogs, mainThread);
    EXPECT_EQ(again.FileHistory().Items(),
              (std::vector<std::string>{"/data/d, e;f.cvlda", "/data/a.cvlda", "/data/б.cvlda"}));
    EXPECT_EQ(again.FileHistory().MaxCount(), 3);
}
