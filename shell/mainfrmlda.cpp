// The main window's model-run half: the "Gibbs LDA sampling" tab's run, stop and chart buttons,
// the ratio check, the fixed-topics window and the engine load report.
#include "shell/mainfrm.h"

#include "models/ldarun.h"
#include "models/resulttables.h"
#include "models/sortjobs.h"
#include "platform/userlocale.h"
#include "shell/dialogservice.h"
#include "shell/fileedit.h"
#include "shell/fixtopicsfrm.h"
#include "shell/ldatab.h"
#include "shell/statuspanels.h"
#include "shell/textconv.h"

#include <QPushButton>
#include <QToolButton>

#include <fstream>

namespace corvane {

void TMainFrm::ConnectLdaTab()
{
    LdaTab->LoadDataBtn->setMenu(HistoryMenu);
    connect(LdaTab->LoadDataBtn, &QToolButton::clicked, this, &TMainFrm::LoadDataClick);
    connect(LdaTab->RunBtn, &QToolButton::clicked, this, &TMainFrm::RunBtnClick);
    connect(LdaTab->StopBtn, &QToolButton::clicked, this, &TMainFrm::StopBtnClick);
    connect(LdaTab->ChartSaveBtn, &QToolButton::clicked, this, &TMainFrm::ChartSaveClick);
    connect(LdaTab->RatioCheckBtn, &QToolButton::clicked, this, &TMainFrm::RatioCheckClick);
    connect(LdaTab->FixTopicsBtn, &QPushButton::clicked, this, &TMainFrm::FixTopicsClick);
    connect(LdaTab->SaveProjectBtn, &QPushButton::clicked, this, &TMainFrm::SaveProjectClick);
    connect(LdaTab->LoadProjectBtn, &QPushButton::clicked, this, &TMainFrm::LoadProjectClick);
    connect(LdaTab->CloseBtn, &QPushButton::clicked, this, &QWidget::close);
}

void TMainFrm::ConnectLdaRun()
{
    TLdaRunController& run = *m_LdaRun;
    run.OnStatus = [this](const std::string& text) {
        LdaTab->StatusBar->SetPanel(0, FromUtf8(text));
    };
    run.OnMessage = [this](const std::string& text) {
        m_Dialogs.MessageBox(text, "Corvane", TMsgIcon::None);
    };
    run.OnRunStarting = [this] {
        LdaTab->ClearChart();
        // The run writes the tables named after its container, whatever a project named.
        const TResultTableNames names = ResultTableNames(m_CurrLDABinFile);
        m_TmpFilePhiName = names.phi;
        m_TmpFileThetaName = names.theta;
    };
    run.OnChartPoint = [this](TRunTab tab, int series, double x, double y) {
        if (tab == TRunTab::Gibbs)
            LdaTab->AddChartPoint(series, x, y);
    };
    run.OnFinished = [this](int32_t) { LdaTab->UpdateControls(false); };
}

void TMainFrm::RunBtnClick()
{
    TLdaRunParams params = LdaTab->Params();
    params.fixedTopicsFile = m_TmpFixTopicsFile;
    m_LdaRun->Run(params, m_Loader.Input());
    LdaTab->UpdateControls(m_LdaRun->Running());
}

void TMainFrm::StopBtnClick()
{
    m_LdaRun->Stop();
}

void TMainFrm::ChartSaveClick()
{
    const auto path =
        m_Dialogs.AskSaveFile("Save chart data (along Y axis)", " (*.txt)", "txt", {});
    if (!path)
        return;
    const std::string text = m_LdaRun->Chart().SaveText();
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out)
        m_Dialogs.MessageBox("Cannot write " + *path, "Error", TMsgIcon::Warning);
}

void TMainFrm::RatioCheckClick()
{
    if (const auto ratio = CheckPhiRatio(m_TmpFilePhiName))
        m_Dialogs.MessageBox(FormatGeneral(*ratio), "Corvane", TMsgIcon::None);
}

void TMainFrm::FixTopicsClick()
{
    const std::shared_ptr<const TLdaInput> input = m_Loader.Input();
    if (!input) {
        m_Dialogs.MessageBox("You should load LDA file first.", "Warning", TMsgIcon::Warning);
        return;
    }
    TFixTopicsFrm frm(m_Dialogs, m_TmpFixTopicsFile, input, this);
    frm.exec();
}

void TMainFrm::ShowEngineLoadReport()
{
    const std::string warning = EngineLoadWarning(m_LdaCore.LoadStatus());
    if (!warning.empty())
        m_Dialogs.MessageBox(warning, "Warning", TMsgIcon::Warning);
}

std::string TMainFrm::SentDicFileName() const
{
    return LdaTab->SentDicEdit->Path();
}

} // namespace corvane
