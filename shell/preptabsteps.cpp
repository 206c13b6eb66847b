// The preparation tab's three corpus steps: each run button gathers the inputs and starts the
// core stage; the stage's reports arrive on the main thread and update the status bar.
#include "shell/preptab.h"

#include "container/binarydoc.h"
#include "grid/fastgrid.h"
#include "prep/deltagmystemansithread.h"
#include "prep/freqtable.h"
#include "prep/stage2.h"
#include "prep/stage3.h"
#include "shell/dialogservice.h"
#include "shell/fileedit.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>

#include <filesystem>

namespace corvane {

template <class T> void TPrepTab::Release(std::unique_ptr<T>& stage)
{
    // The stage is still inside its last report: destroy it once that has returned. It leaves
    // the member now, so a run started in between keeps its own stage.
    std::shared_ptr<T> finished(std::move(stage));
    QMetaObject::invokeMethod(
        this, [finished]() mutable { finished.reset(); }, Qt::QueuedConnection);
}

// ---- step 1: lemmatization -------------------------------------------------------------------

void TPrepTab::Stage1_RunBtnClick()
{
    const std::string folder = Stage1_FolderEdit->Path();
    const std::string result = Stage1_ResultEdit->Path();
    if (folder.empty() || result.empty())
        return;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        // Without this check a mistyped folder gives an empty container and a finished status.
        ShowError("Folder not found: " + folder);
        return;
    }
    m_Stage1Doc = std::make_unique<TBinaryDoc>();
    if (!m_Stage1Doc->Create(result, true)) {
        ShowError(m_Stage1Doc->LastError());
        m_Stage1Doc.reset();
        return;
    }
    m_StartTime = std::chrono::steady_clock::now();
    m_Stage1StoreFailed = false;
    const TCodePage page = Stage1_CodepageBox->currentIndex() == 1 ? cpAnsi : cpUtf8;
    const TStemmer stemmer = Stage1_LangBox->currentIndex() == 1 ? stemRootcut : stemMystem;
    m_Stage1 = std::make_unique<TDelTagMystemAnsiThread>(m_MainThread, folder,
                                                         ToUtf8(Stage1_ParamsEdit->text()),
                                                         Stage1_TrashEdit->Path(), page, stemmer);
    m_Stage1->OnMystemAnsiReady = [this](TDelTagMystemAnsiThread&, int32_t docid, TStream& orig,
                                         TStream& lem, const TDocMetaData* pdata) {
        if (!StoreMystemDocument(*m_Stage1Doc, docid, orig, lem, pdata))
            m_Stage1StoreFailed = true;
    };
    m_Stage1->OnProgress = [this](TDelTagMystemAnsiThread&, int32_t progress, bool done) {
        Stage1Progress(progress, done);
    };
    StatusBar->Gauge()->setRange(0, 100);
    StatusBar->Gauge()->setValue(0);
    m_Stage1->Start();
    SetBusy(true);
}

void TPrepTab::Stage1Progress(int32_t Progress, bool Done)
{
    StatusBar->Gauge()->setValue(Progress);
    StatusBar->SetPanel(1, QStringLiteral("Execution: %1%").arg(Progress));
    SetBusy(!Done);
    if (!Done) {
        StatusBar->SetPanel(0, QStringLiteral("Status: Lematization... ") + Elapsed());
        return;
    }
    const bool closed = m_Stage1Doc->Close(); // writes the index
    const std::string error = m_Stage1Doc->LastError();
    StatusBar->Gauge()->setValue(0);
    StatusBar->SetPanel(0, QStringLiteral("Status: Lematization is finished (") + Elapsed() +
                               QStringLiteral(")"));
    Release(m_Stage1);
    Release(m_Stage1Doc);
    if (!closed || m_Stage1StoreFailed)
        ShowError("Writing " + Stage1_ResultEdit->Path() + " failed: " + error);
}

// ---- step 2.2: dictionary stage --------------------------------------------------------------

void TPrepTab::Stage2_RunBtnClick()
{
    const std::string input = Stage2_InputEdit->Path();
    if (input.empty())
        return;
    FreqGrid->SetDataFile(""); // the stage deletes the table the grid holds open
    m_StartTime = std::chrono::steady_clock::now();
    StatusBar->Gauge()->setRange(0, 100);
    StatusBar->Gauge()->setValue(0);
    m_Stage2 = std::make_unique<TStage2>(m_MainThread, input, Stage2_OutputEdit->Path(), 0);
    m_Stage2->SetFreqTableFile(m_FreqTableFile);
    m_Stage2->OnProgress = [this](TCorpusStage&, int32_t progress, bool done, uint32_t exitcode) {
        Stage2Progress(progress, done, exitcode);
    };
    m_Stage2->Start();
    SetBusy(true);
    StatusBar->SetPanel(0, QStringLiteral("Status: Freq calculation..."));
}

void TPrepTab::Stage2Progress(int32_t Progress, bool Done, uint32_t exitcode)
{
    StatusBar->Gauge()->setValue(Progress);
    if (!Done)
        return;
    if (m_Stage2->ErrorCode() == TStageError::None) {
        ShowWordTable(exitcode);
        StatusBar->SetPanel(0, QStringLiteral("Status:  Freq calculation is finished (") +
                                   Elapsed() + QStringLiteral(")"));
    } else {
        StatusBar->SetPanel(0, QStringLiteral("Status:"));
        ShowError(m_Stage2->LastError());
    }
    SetBusy(false);
    StatusBar->Gauge()->setValue(0);
    Release(m_Stage2);
}

void TPrepTab::ShowWordTable(uint32_t words)
{
    std::string error;
    if (!WriteFreqTable(m_FreqTableFile, m_Stage2->WordList(), error)) {
        ShowError(error);
    } else if (FreqGrid->SetDataFile(m_FreqTableFile)) {
        FreqGrid->SetHeaderText(0, "Word");
        FreqGrid->SetHeaderText(1, "Freq");
        FreqGrid->SetHeaderText(2, "TF-IDF");
    }
    TotalWordsLabel->setText(
        QStringLiteral("Total word number: %1").arg(m_Stage2->TotalWordCount()));
    UnicWordsLabel->setText(QStringLiteral("Number of unic words: %1").arg(words));
}

// ---- step 3: stop-word removal ---------------------------------------------------------------

void TPrepTab::Stage3_RunBtnClick()
{
    const std::string input = Stage3_InputEdit->Path();
    const std::string output = Stage3_OutputEdit->Path();
    if (input.empty() || output.empty())
        return;
    StatusBar->Gauge()->setRange(0, 100);
    StatusBar->Gauge()->setValue(0);
    m_StartTime = std::chrono::steady_clock::now();
    m_Stage3 = std::make_unique<TStage3>(m_MainThread, input, output, StopWords(), 0);
    m_Stage3->OnProgress = [this](TCorpusStage&, int32_t progress, bool done, uint32_t) {
        Stage3Progress(progress, done);
    };
    m_Stage3->Start();
    SetBusy(true);
    StatusBar->SetPanel(0, QStringLiteral("Status: Removing stop words..."));
}

void TPrepTab::Stage3Progress(int32_t Progress, bool Done)
{
    StatusBar->Gauge()->setValue(Progress);
    if (!Done)
        return;
    SetBusy(false);
    StatusBar->Gauge()->setValue(0);
    if (m_Stage3->ErrorCode() == TStageError::None) {
        StatusBar->SetPanel(0, QStringLiteral("Status:  Stop words removing is finished (") +
                                   Elapsed() + QStringLiteral(")"));
    } else {
        StatusBar->SetPanel(0, QStringLiteral("Status:"));
        ShowError(m_Stage3->LastError());
    }
    Release(m_Stage3);
}

} // namespace corvane
