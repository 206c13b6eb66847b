#pragma once

#include "outside/gibbsldacore/gibbsldacore.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::gibbslda {

/// A fixed set of worker threads that runs one stage of independent tasks at a time, while the
/// calling thread waits and polls the stop event every 10 ms.
class TStageRunner
{
public:
    using TTask = std::function<void(uint32_t worker, uint32_t task)>;

    TStageRunner(uint32_t threads, const TLdaStopEvent* stopEvent);
    ~TStageRunner();
    TStageRunner(const TStageRunner&) = delete;
    TStageRunner& operator=(const TStageRunner&) = delete;

    uint32_t Threads() const { return static_cast<uint32_t>(m_Workers.size()); }

    /// Runs task(worker, i) for every i < count and returns true when all ran; false once a stop
    /// was requested (tasks may then have returned early). Rethrows what a task threw.
    bool Run(uint32_t count, const TTask& task);

    /// Polls the stop event from the calling thread; true once a stop was requested.
    bool PollStop();

    /// For tasks, between documents: true once a stop was requested.
    bool Stopping() const { return m_Stopping.load(std::memory_order_relaxed); }

private:
    void WorkerLoop(uint32_t worker);

    const TLdaStopEvent* m_StopEvent;
    std::vector<std::thread> m_Workers;
    std::mutex m_Mutex;
    std::condition_variable m_StartCond;
    std::condition_variable m_DoneCond;
    const TTask* m_Task = nullptr;
    uint32_t m_Count = 0;
    uint64_t m_Generation = 0;
    uint32_t m_Active = 0;
    bool m_Quit = false;
    std::atomic<uint32_t> m_Next{0};
    std::atomic<bool> m_Stopping{false};
    std::exception_ptr m_Failure;
};

} // namespace corvane::gibbslda
