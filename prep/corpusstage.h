#pragma once

#include "platform/event.h"
#include "platform/mainthread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace corvane {

/// Why a corpus stage ended without its result.
enum class TStageError {
    None,
    Open,   // a container could not be opened
    Copy,   // the input could not be copied to the output
    Read,   // a document could not be read
    Write,  // the output could not be written
    Stopped // the run was asked to stop
};

class TCorpusStage;

/// Progress of a corpus stage: percent, whether it has ended, and the stage's exit code.
using TWordFreqCounterProgress =
    std::function<void(TCorpusStage& Sender, int32_t Progress, bool Done, uint32_t exitcode)>;

/// A corpus stage run on a controller thread of its own, which drives the stage's workers.
///
/// OnProgress arrives on the main thread (sent through IMainThread, so the controller waits for
/// the handler); the last call has Done = true, after the stage's result or its failure is known
/// (ErrorCode, LastError). The owner destroys the stage after that call has returned, never from
/// inside it: the controller is still waiting for the handler then. Destroying a running stage
/// stops it and waits for its threads; at program shutdown make the dispatcher's Send fail first,
/// so a controller waiting for the main thread can end.
class TCorpusStage
{
public:
    explicit TCorpusStage(IMainThread& mainThread);
    virtual ~TCorpusStage();
    TCorpusStage(const TCorpusStage&) = delete;
    TCorpusStage& operator=(const TCorpusStage&) = delete;

    /// Starts the controller thread; a stage runs once.
    void Start();
    /// Asks a running stage to end early; it then ends as failed with TStageError::Stopped.
    void Stop() { m_hStopEvent.Set(); }
    /// Waits until the controller thread has ended.
    void WaitFor();

    bool Done() const { return m_Done.load(); }
    TStageError ErrorCode() const;
    std::string LastError() const;

    TWordFreqCounterProgress OnProgress;

protected:
    /// The stage's work on the controller thread; returns the exit code of the Done report.
    virtual uint32_t Execute() = 0;

    /// Sends a progress report to the main thread.
    void Report(int32_t progress, bool done, uint32_t exitcode);
    /// Records the first failure of the run (any thread); always false.
    bool Fail(TStageError code, const std::string& message);
    bool Failed() const;
    bool Stopping() const { return m_hStopEvent.IsSet(); }

    /// Runs `body(0 .. count-1)` on `count` worker threads and waits for them, reporting
    /// `percent()` whenever it changes (looked at every 100 ms).
    void RunWorkers(int32_t count, const std::function<void(int32_t)>& body,
                    const std::function<int32_t()>& percent);

    /// Ends the controller thread; every derived destructor calls it first.
    void Shutdown();

    IMainThread& m_MainThread;
    TEvent m_hStopEvent{true};

private:
    void Run();

    std::thread m_Thread;
    std::atomic<bool> m_Done{false};
    mutable std::mutex m_ErrorLock;
    TStageError m_ErrorCode = TStageError::None;
    std::string m_LastError;
};

/// The number of worker threads for `thrds` (0 = one per processor), at least 1.
int32_t WorkerCount(int32_t thrds);

/// Splits `count` items into `parts` consecutive ranges of count / parts items, the last one
/// taking the remainder; range `index` is [first, last) in the result.
void SplitRange(int32_t count, int32_t parts, int32_t index, int32_t& first, int32_t& last);

} // namespace corvane
