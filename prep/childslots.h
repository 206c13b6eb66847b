#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace corvane {

/// Counts the lemmatizer children running in this process, so that runs never start more
/// than their limit between them.
class TChildSlots
{
public:
    /// The one counter of the process.
    static TChildSlots& Process();

    /// Waits until fewer than `limit` children run, then counts one more. Returns false, without
    /// counting, once `stop` is set (call WakeAll after setting it).
    bool Acquire(int limit, const std::atomic<bool>& stop);
    void Release();
    /// Wakes every waiting Acquire so that it sees its stop flag.
    void WakeAll();
    int Running() const;

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Cond;
    int m_Running = 0;
};

} // namespace corvane
