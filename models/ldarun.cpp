#include "models/ldarun.h"

#include "models/fixedtopics.h"
#include "models/resulttables.h"
#include "models/sortjobs.h"
#include "platform/elapsed.h"
#include "platform/userlocale.h"

#include <vector>

namespace corvane {

TLdaRunController::TLdaRunController(IMainThread& mainThread, ILdaEngine& engine)
    : m_MainThread(mainThread), m_Engine(engine)
{
}

TLdaRunController::~TLdaRunController()
{
    m_Alive.reset();
    if (Running()) {
        m_hStopEvent->Set();
        m_hLDAThread.join();
    }
}

void TLdaRunController::Status(const std::string& text)
{
    if (OnStatus)
        OnStatus(text);
}

std::string TLdaRunController::Elapsed() const
{
    return FormatElapsed(std::chrono::steady_clock::now() - m_StartTime);
}

bool TLdaRunController::ReadParameters(const TLdaRunParams& params, const TLdaInput& input)
{
    if (input.wordmap.empty() || input.dataset.docs.empty())
        return false;
    TLDA lda = m_LDA;
    lda.islda.clear();
    lda.granlda = 0;
    if (params.method == kMethodIslda) {
        lda.islda = params.fixedTopicsFile;
    } else if (params.method == kMethodGranulate) {
        lda.granlda = 1;
        lda.granwnd = params.window;
    }
    lda.M = static_cast<int32_t>(input.dataset.docs.size());
    lda.V = static_cast<int32_t>(input.wordmap.size());
    lda.twords = 100;
    if (!ParseInt32(params.topics, lda.K) || !ParseInt32(params.iterations, lda.niters) ||
        !ParseInt32(params.saveStep, lda.savestep) || !ParseUserDecimal(params.alpha, lda.alpha) ||
        !ParseUserDecimal(params.beta, lda.beta))
        return false;
    m_LDA = lda;
    return true;
}

void TLdaRunController::Run(const TLdaRunParams& params, std::shared_ptr<const TLdaInput> input)
{
    if (Running() || !input || input->wordmap.empty())
        return;
    m_Chart.Clear();
    if (OnRunStarting)
        OnRunStarting();
    m_LastIteration = 0;
    if (!ReadParameters(params, *input)) {
        Status(kStatusInvalidParameters);
        return;
    }
    const TResultTableNames names = ResultTableNames(input->path);
    m_ThetaName = names.theta;
    m_PhiName = names.phi;
    m_RunInput = input;
    m_StartTime = std::chrono::steady_clock::now();
    m_hStopEvent = std::make_unique<TEvent>();
    Status(kStatusCalculating);
    m_hLDAThread =
        std::thread(&TLdaRunController::Execute, this, std::move(input), m_LDA, params.threads);
}

void TLdaRunController::Execute(std::shared_ptr<const TLdaInput> input, TLDA lda, int32_t threads)
{
    const auto& docs = input->dataset.docs;
    std::vector<int32_t> lengths(docs.size());
    std::vector<const int32_t*> words(docs.size());
    for (size_t d = 0; d < docs.size(); ++d) {
        lengths[d] = static_cast<int32_t>(docs[d].words.size());
        words[d] = docs[d].words.data();
    }
    std::vector<TFixedTopics> fixed;
    if (!lda.islda.empty())
        fixed = ReadFixedTopics(lda.islda, input->wordmap);

    TLdaEngineCall call;
    call.threads = threads;
    call.alpha = lda.alpha;
    call.beta = lda.beta;
    call.K = lda.K;
    call.niters = lda.niters;
    call.savestep = lda.savestep;
    call.twords = lda.twords;
    call.M = lda.M;
    call.V = lda.V;
    call.lengths = lengths.data();
    call.docs = words.data();
    call.fixedCount = static_cast<int32_t>(fixed.size());
    call.fixed = fixed.empty() ? nullptr : fixed.data();
    call.granlda = lda.granlda;
    call.granwnd = lda.granwnd;

    const TLdaReport report = [this](uintptr_t wParam, const void* lParam) {
        m_MainThread.Send([&] { OnLDADataReady(wParam, lParam); });
    };
    const int32_t result = m_Engine.Calc(call, report, *m_hStopEvent);
    m_MainThread.Post([this, alive = std::weak_ptr<bool>(m_Alive), result] {
        if (alive.lock())
            OnLDACalc(result);
    });
}

void TLdaRunController::OnLDADataReady(uintptr_t wParam, const void* lParam)
{
    const auto kind = static_cast<uint32_t>(wParam & 0xFF);
    m_LastIteration = static_cast<int32_t>(wParam >> 8);
    Status("Status: Iteration(" + std::to_string(m_LastIteration) + ") - Time(" + Elapsed() + ")");
    if (!m_RunInput || lParam == nullptr)
        return;
    const TLDA& lda = m_LDA;
    const double x = m_LastIteration;
    if (kind == kReportTheta) {
        const int64_t count = WriteThetaTable(m_ThetaName, m_RunInput->path, lda.M, lda.K,
                                              static_cast<const double* const*>(lParam));
        m_LastRatio = RatioPercent(count, static_cast<int64_t>(lda.K) * lda.M);
        if (m_ActiveTab == TRunTab::Gibbs)
            m_Chart.Add(1, x, m_LastRatio);
        if (m_ActiveTab != TRunTab::Other && OnChartPoint)
            OnChartPoint(m_ActiveTab, 1, x, m_LastRatio);
    } else if (kind == kReportPhi) {
        const int64_t count = WritePhiTable(m_PhiName, m_RunInput->wordmap, lda.K,
                                            static_cast<const double* const*>(lParam));
        m_LastRatio = RatioPercent(count, static_cast<int64_t>(lda.K) * lda.V);
        if (m_ActiveTab == TRunTab::Gibbs) {
            m_Chart.Add(2, x, m_LastRatio);
            if (OnChartPoint)
                OnChartPoint(TRunTab::Gibbs, 2, x, m_LastRatio);
        }
    }
}

void TLdaRunController::OnLDACalc(int32_t result)
{
    if (m_hLDAThread.joinable())
        m_hLDAThread.join();
    m_hStopEvent.reset();
    m_RunInput.reset();
    if (result < 0) {
        if (OnMessage)
            OnMessage(kMsgCalcError);
        Status("Status: Error code=" + std::to_string(result));
    } else if (result == 1) {
        Status(kStatusTerminated);
    } else {
        Status("Status: Calculation completed (" + Elapsed() + ")");
    }
    if (OnFinished)
        OnFinished(result);
}

void TLdaRunController::Stop()
{
    if (!Running())
        return;
    m_hStopEvent->Set();
    Status(kStatusTerminating);
}

} // namespace corvane
