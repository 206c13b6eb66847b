#include "outside/gibbsldacore/stagerunner.h"

#include <chrono>
#include <utility>

namespace corvane::gibbslda {

TStageRunner::TStageRunner(uint32_t threads, const TLdaStopEvent* stopEvent)
    : m_StopEvent(stopEvent)
{
    m_Workers.reserve(threads);
    for (uint32_t w = 0; w < threads; ++w)
        m_Workers.emplace_back([this, w] { WorkerLoop(w); });
}

TStageRunner::~TStageRunner()
{
    {
        std::lock_guard lock(m_Mutex);
        m_Quit = true;
    }
    m_StartCond.notify_all();
    for (std::thread& t : m_Workers)
        t.join();
}

bool TStageRunner::PollStop()
{
    if (!Stopping() && m_StopEvent != nullptr && m_StopEvent->poll != nullptr &&
        m_StopEvent->poll(m_StopEvent->context) != 0)
        m_Stopping.store(true, std::memory_order_relaxed);
    return Stopping();
}

bool TStageRunner::Run(uint32_t count, const TTask& task)
{
    if (PollStop())
        return false;
    std::unique_lock lock(m_Mutex);
    m_Task = &task;
    m_Count = count;
    m_Next.store(0, std::memory_order_relaxed);
    m_Active = Threads();
    ++m_Generation;
    m_StartCond.notify_all();
    while (!m_DoneCond.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_Active == 0; })) {
        lock.unlock();
        PollStop();
        lock.lock();
    }
    m_Task = nullptr;
    if (m_Failure)
        std::rethrow_exception(std::exchange(m_Failure, nullptr));
    return !Stopping();
}

void TStageRunner::WorkerLoop(uint32_t worker)
{
    uint64_t seen = 0;
    std::unique_lock lock(m_Mutex);
    for (;;) {
        m_StartCond.wait(lock, [&] { return m_Quit || m_Generation != seen; });
        if (m_Quit)
            return;
        seen = m_Generation;
        const TTask& task = *m_Task;
        const uint32_t count = m_Count;
        lock.unlock();
        try {
            for (uint32_t i; (i = m_Next.fetch_add(1, std::memory_order_relaxed)) < count;)
                if (!Stopping())
                    task(worker, i);
        } catch (...) {
            std::lock_guard failLock(m_Mutex);
            if (!m_Failure)
                m_Failure = std::current_exception();
            m_Stopping.store(true, std::memory_order_relaxed);
        }
        lock.lock();
        if (--m_Active == 0)
            m_DoneCond.notify_one();
    }
}

} // namespace corvane::gibbslda
