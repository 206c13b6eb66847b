#pragma once

#include "models/ldarun.h"
#include "platform/userlocale.h"
#include "shell/mainfrm.h"
#include "shell/qtmainthread.h"
#include "tests/models/ldafixture.h"
#include "tests/support/scripteddialogservice.h"
#include "tests/support/tempdir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace corvane::test {

/// The words of the test corpus, in word-map order: two groups that never share a document.
inline const std::vector<std::string> kCorpusWords = {"cat", "dog", "owl", "emu", "fox", "elk",
                                                      "oak", "elm", "ash", "fir", "yew", "ivy"};

/// A container of six documents over kCorpusWords, ready for the model runs.
inline void WriteCorpus(const std::string& path)
{
    std::vector<TFixtureDoc> docs;
    for (int32_t d = 0; d < 6; ++d) {
        TFixtureDoc doc;
        doc.id = d;
        doc.orig = "document number " + std::to_string(d);
        for (int i = 0; i < 30; ++i)
            doc.words.push_back(kCorpusWords[(d % 2) * 6 + (i + d) % 6]);
        docs.push_back(doc);
    }
    WriteLdaContainer(path, docs, kCorpusWords);
}

/// Lets the main thread run until `done` holds or `ms` have passed.
template <class Done> bool WaitFor(Done done, int ms = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
    return done();
}

/// A main window with its own settings folder, on the Gibbs tab, recording the run's statuses
/// (elapsed times masked).
struct LdaFrmFixture : ::testing::Test
{
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        SetUserDecimalSeparator(',');
        frm = std::make_unique<TMainFrm>(dialogs, dispatcher);
        frm->show();
        frm->PageControl1->setCurrentIndex(2);
        auto shown = frm->LdaRun().OnStatus;
        frm->LdaRun().OnStatus = [this, shown](const std::string& text) {
            statuses.push_back(
                std::regex_replace(text, std::regex("\\d\\d:\\d\\d:\\d\\d"), "hh:mm:ss"));
            shown(text);
        };
    }
    void TearDown() override
    {
        dispatcher.Shutdown(); // releases a run a failed test left waiting
        frm.reset();
        unsetenv("XDG_CONFIG_HOME");
    }

    /// Loads `path` through "Load data into LDA" and its dialog.
    void LoadThroughDialog(const std::string& path)
    {
        dialogs.Expect(TAsk::OpenFile, path);
        frm->LoadDataClick();
    }
    bool WaitIdle()
    {
        return WaitFor([this] { return !frm->LdaRun().Running(); });
    }

    TTempDir dir;
    std::string container = dir.File("news.cvlda");
    TScriptedDialogService dialogs;
    TQtMainThread dispatcher;
    std::unique_ptr<TMainFrm> frm;
    std::vector<std::string> statuses;
};

} // namespace corvane::test
