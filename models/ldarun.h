#pragma once

#include "models/ldadataset.h"
#include "models/ldaengine.h"
#include "models/ratiochart.h"
#include "platform/event.h"
#include "platform/mainthread.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace corvane {

inline constexpr const char* kStatusInvalidParameters = "Status: Invalid parameters";
inline constexpr const char* kStatusCalculating = "Status: Calculating in progress...";
inline constexpr const char* kStatusTerminating = "Status: Terminating calculation...";
inline constexpr const char* kStatusTerminated = "Status: Calculation terminated by user";
inline constexpr const char* kMsgCalcError = "Error on calculation.";

/// The parameters of the last run, as the engine got them.
struct TLDA
{
    int32_t M = 1;
    int32_t V = 1;
    int32_t K = 1;
    int32_t niters = 10;
    int32_t savestep = 1;
    int32_t twords = 20;
    double alpha = 50.0; // 50 / K
    double beta = 0.1;
    std::string islda; // the fixed-topics table; empty unless the method is ISLDA
    int32_t granlda = 0;
    int32_t granwnd = 0;
};

/// The methods of the "Method:" list, by index; none is selected at first.
enum TLdaMethod : int32_t {
    kMethodNone = -1,
    kMethodLda = 0,
    kMethodIslda = 1,
    kMethodGranulate = 2
};

/// The run inputs of the tab as the user typed them.
struct TLdaRunParams
{
    std::string alpha = "0,5";
    std::string beta = "0,1";
    std::string topics = "40";
    std::string iterations = "100";
    std::string saveStep = "10";
    int32_t threads = 1;
    int32_t method = kMethodNone;
    int32_t window = 1;
    std::string fixedTopicsFile; // used by ISLDA
};

/// Which tab shows the model runs' charts when a report arrives.
enum class TRunTab { Gibbs, BigARTM, Other };

/// Runs one LDA model at a time: reads the parameters, blocks a worker thread in the engine,
/// writes each reported matrix to the result tables on the main thread while the engine waits,
/// keeps the ratio chart's data, forwards a stop request and reports the end. Everything the
/// window shows leaves through the events, on the main thread.
///
/// Destroy it on the main thread once the dispatcher no longer blocks senders (or no run is
/// active): a running engine is stopped and waited for.
class TLdaRunController
{
public:
    TLdaRunController(IMainThread& mainThread, ILdaEngine& engine);
    ~TLdaRunController();
    TLdaRunController(const TLdaRunController&) = delete;
    TLdaRunController& operator=(const TLdaRunController&) = delete;

    /// The run button. Does nothing without a loaded word map or while a run is active; bad
    /// parameters or no documents give "Status: Invalid parameters" and start nothing.
    void Run(const TLdaRunParams& params, std::shared_ptr<const TLdaInput> input);
    /// The stop button: signals the engine's stop event.
    void Stop();
    bool Running() const { return m_hLDAThread.joinable(); }

    /// Kind 1 reports add their point to the chart of this tab (the Gibbs tab by default).
    void SetActiveTab(TRunTab tab) { m_ActiveTab = tab; }

    const TLDA& LDA() const { return m_LDA; }
    const TRatioChart& Chart() const { return m_Chart; }
    int32_t LastIteration() const { return m_LastIteration; }
    double LastRatio() const { return m_LastRatio; }

    /// Status bar panel 0 of both model tabs.
    std::function<void(const std::string& text)> OnStatus;
    /// A message box: "Error on calculation.".
    std::function<void(const std::string& text)> OnMessage;
    /// Before a run starts: views let go of the result tables; the sorted tables are outdated.
    std::function<void()> OnRunStarting;
    /// A point for the chart of `tab` (series 1 document-topic, 2 topic-word); the Gibbs chart's
    /// points are also kept in Chart().
    std::function<void(TRunTab tab, int series, double x, double y)> OnChartPoint;
    /// The run has ended with the engine's result (after its status was shown).
    std::function<void(int32_t result)> OnFinished;

private:
    bool ReadParameters(const TLdaRunParams& params, const TLdaInput& input);
    void Execute(std::shared_ptr<const TLdaInput> input, TLDA lda, int32_t threads);
    void OnLDADataReady(uintptr_t wParam, const void* lParam);
    void OnLDACalc(int32_t result);
    void Status(const std::string& text);
    std::string Elapsed() const;

    IMainThread& m_MainThread;
    ILdaEngine& m_Engine;
    TLDA m_LDA;
    TRunTab m_ActiveTab = TRunTab::Gibbs;
    TRatioChart m_Chart;

    std::thread m_hLDAThread;
    std::unique_ptr<TEvent> m_hStopEvent;
    std::shared_ptr<const TLdaInput> m_RunInput; // what the active run reads
    std::string m_ThetaName;
    std::string m_PhiName;
    std::chrono::steady_clock::time_point m_StartTime;
    int32_t m_LastIteration = 0;
    double m_LastRatio = 0;
    /// Expires with the object, so a completion queued for a destroyed controller is dropped.
    std::shared_ptr<bool> m_Alive = std::make_shared<bool>(true);
};

} // namespace corvane
