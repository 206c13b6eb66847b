#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace corvane {

/// Lets workers that finish numbered batches in any order hand their results on in batch order,
/// so that what they write does not depend on the number of workers or on timing.
class TBatchGate
{
public:
    /// Waits until batches 0 .. batch-1 have passed, runs `pass` and lets the next batch through.
    /// False once the gate is closed (then `pass` does not run) or when `pass` fails (then the
    /// gate closes).
    bool Pass(int64_t batch, const std::function<bool()>& pass)
    {
        std::unique_lock lock(m_Mutex);
        m_Cond.wait(lock, [&] { return m_Closed || m_Next == batch; });
        if (m_Closed)
            return false;
        if (!pass()) {
            m_Closed = true;
            m_Cond.notify_all();
            return false;
        }
        ++m_Next;
        m_Cond.notify_all();
        return true;
    }

    /// Releases every waiting worker with false; later passes fail at once.
    void Close()
    {
        std::lock_guard lock(m_Mutex);
        m_Closed = true;
        m_Cond.notify_all();
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    int64_t m_Next = 0;
    bool m_Closed = false;
};

} // namespace corvane
