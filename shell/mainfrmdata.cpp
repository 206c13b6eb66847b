// The main window's data half: loading a container for the model runs (dialog, history menu,
// wait window) and the project files that remember a container with its result tables.
#include "shell/mainfrm.h"

#include "models/sortjobs.h"
#include "shell/dialogservice.h"
#include "shell/fileedit.h"
#include "shell/ldatab.h"
#include "shell/projectfile.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"
#include "shell/waitfrm.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

namespace corvane {
namespace {

const char kProjectFilter[] = "Corvane Projects Files (*.cvproj)";

} // namespace

void TMainFrm::LoadDataClick()
{
    const auto path =
        m_Dialogs.AskOpenFile("Open file with data", "Corvane LDA files (*.cvlda)", {});
    if (!path)
        return;
    if (LoadLdaFile(*path, true))
        AddToHistory(*path);
    else
        m_Dialogs.MessageBox(kMsgLoadError, "Error", TMsgIcon::Warning);
}

void TMainFrm::HistoryItemClick(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_FileHistory.Items().size())
        return;
    m_FileHistory.MoveToTop(index);
    const std::string path = m_FileHistory.Items().front();
    if (!LoadLdaFile(path, true))
        m_Dialogs.MessageBox(kMsgLoadError, "Error", TMsgIcon::Warning);
    RebuildHistoryMenu();
}

void TMainFrm::AddToHistory(const std::string& path)
{
    m_FileHistory.Add(path);
    RebuildHistoryMenu();
}

bool TMainFrm::LoadLdaFile(const std::string& path, bool resetTables)
{
    QProgressBar* gauge = LdaTab->StatusBar->Gauge();
    auto wait = std::make_unique<TWaitFrm>(this);
    wait->setWindowTitle(QStringLiteral("Corvane"));
    wait->SetText(QStringLiteral("\r\nLoading data from file"));
    wait->StopBtn->hide();
    wait->show();
    QCoreApplication::processEvents();
    // The loader waits for its workers in slices; between them the window shows the progress
    // and stays responsive (a run's reports are handled meanwhile).
    m_Loader.OnProgress = [&](int32_t done, int32_t total) {
        for (QProgressBar* bar : {wait->PBar, gauge}) {
            bar->setRange(0, total);
            bar->setValue(done);
        }
        QCoreApplication::processEvents();
    };
    const TLdaLoadResult result = m_Loader.Load(path, resetTables, LdaTab->ThreadsSpin->value());
    m_Loader.OnProgress = nullptr;
    wait->bIntClose = true;
    wait->close();
    wait.reset();
    gauge->setRange(0, 100);
    if (result == TLdaLoadResult::OldFormat)
        m_Dialogs.MessageBox(m_Loader.ErrorText(), "Error", TMsgIcon::Warning);
    if (result != TLdaLoadResult::Loaded) {
        gauge->setValue(0);
        return false;
    }

    const TLdaInput& input = *m_Loader.Input();
    LdaTab->ShowCounts(input.dataset.M, input.dataset.V);
    LdaTab->StatusBar->SetPanel(0, FromUtf8(kStatusDocumentsLoaded));
    LdaTab->StatusBar->SetPanel(1, FromUtf8(TLdaLoader::FileNameText(path)));
    m_CurrLDABinFile = path;
    if (resetTables) {
        const TResultTableNames names = ResultTableNames(path);
        m_TmpFilePhiName = names.phi;
        m_TmpFileThetaName = names.theta;
    }
    gauge->setValue(100);
    return true;
}

void TMainFrm::SaveProjectClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Save Corvane Project...", kProjectFilter, "cvproj", {});
    if (!path)
        return;
    const TProject project{m_CurrLDABinFile, m_TmpFilePhiName, m_TmpFileThetaName, {}};
    if (!WriteProjectFile(*path, project))
        m_Dialogs.MessageBox("Error while saving project file.", "Corvane", TMsgIcon::Error);
}

void TMainFrm::LoadProjectClick()
{
    const auto path = m_Dialogs.AskOpenFile("Load Corvane Project...", kProjectFilter, {});
    if (!path)
        return;
    std::optional<TProject> project = ReadProjectFile(*path);
    bool loaded = project && LocateProjectFiles(*project, *path);
    if (loaded) {
        m_TmpFilePhiName = project->phiFile;
        m_TmpFileThetaName = project->thetaFile;
        if (!project->sentDicFile.empty())
            LdaTab->SentDicEdit->SetText(FromUtf8(project->sentDicFile));
        loaded = LoadLdaFile(project->ldaFile, false);
    }
    if (!loaded)
        m_Dialogs.MessageBox("Error on loading project file.", "Error", TMsgIcon::Warning);
}

} // namespace corvane
