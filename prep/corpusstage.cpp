#include "prep/corpusstage.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace corvane {

TCorpusStage::TCorpusStage(IMainThread& mainThread) : m_MainThread(mainThread) {}

TCorpusStage::~TCorpusStage()
{
    Shutdown();
}

void TCorpusStage::Start()
{
    if (!m_Thread.joinable() && !m_Done)
        m_Thread = std::thread([this] { Run(); });
}

void TCorpusStage::WaitFor()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void TCorpusStage::Shutdown()
{
    Stop();
    WaitFor();
}

void TCorpusStage::Run()
{
    const uint32_t exitcode = Execute();
    m_Done = true;
    Report(0, true, Failed() ? 0 : exitcode);
}

TStageError TCorpusStage::ErrorCode() const
{
    std::lock_guard lock(m_ErrorLock);
    return m_ErrorCode;
}

std::string TCorpusStage::LastError() const
{
    std::lock_guard lock(m_ErrorLock);
    return m_LastError;
}

bool TCorpusStage::Fail(TStageError code, const std::string& message)
{
    std::lock_guard lock(m_ErrorLock);
    if (m_ErrorCode == TStageError::None) {
        m_ErrorCode = code;
        m_LastError = message;
    }
    return false;
}

bool TCorpusStage::Failed() const
{
    std::lock_guard lock(m_ErrorLock);
    return m_ErrorCode != TStageError::None;
}

void TCorpusStage::Report(int32_t progress, bool done, uint32_t exitcode)
{
    m_MainThread.Send([&] {
        if (OnProgress)
            OnProgress(*this, progress, done, exitcode);
    });
}

void TCorpusStage::RunWorkers(int32_t count, const std::function<void(int32_t)>& body,
                              const std::function<int32_t()>& percent)
{
    if (count <= 0)
        return;
    std::atomic<int32_t> running{count};
    TEvent allDone(true);
    std::vector<std::thread> workers;
    workers.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        workers.emplace_back([&, i] {
            body(i);
            if (--running == 0)
                allDone.Set();
        });
    int32_t shown = -1;
    while (!allDone.Wait(std::chrono::milliseconds(100))) {
        const int32_t now = percent();
        if (now != shown) {
            shown = now;
            Report(now, false, 0);
        }
    }
    for (auto& w : workers)
        w.join();
    if (const int32_t now = percent(); now != shown)
        Report(now, false, 0);
}

int32_t WorkerCount(int32_t thrds)
{
    // More workers than this only compete for the same processors.
    constexpr int32_t kMaxWorkers = 256;
    if (thrds > 0)
        return std::min(thrds, kMaxWorkers);
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? static_cast<int32_t>(n) : 1;
}

void SplitRange(int32_t count, int32_t parts, int32_t index, int32_t& first, int32_t& last)
{
    const int32_t step = count / parts;
    first = step * index;
    last = index == parts - 1 ? count : first + step;
}

} // namespace corvane
