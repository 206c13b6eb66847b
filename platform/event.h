#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace corvane {

/// An event in the Windows sense: set, reset, wait. An auto-reset event lets exactly one
/// successful wait through per Set and clears itself; a manual-reset one stays set.
class TEvent
{
public:
    explicit TEvent(bool manualReset = false, bool initiallySet = false)
        : m_ManualReset(manualReset), m_Set(initiallySet)
    {
    }

    void Set()
    {
        {
            std::lock_guard lock(m_Mutex);
            m_Set = true;
        }
        if (m_ManualReset)
            m_Cond.notify_all();
        else
            m_Cond.notify_one();
    }

    void Reset()
    {
        std::lock_guard lock(m_Mutex);
        m_Set = false;
    }

    /// Waits up to `timeout` (zero polls); true when the event was set.
    bool Wait(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_Mutex);
        if (!m_Cond.wait_for(lock, timeout, [this] { return m_Set; }))
            return false;
        if (!m_ManualReset)
            m_Set = false;
        return true;
    }

    void Wait()
    {
        std::unique_lock lock(m_Mutex);
        m_Cond.wait(lock, [this] { return m_Set; });
        if (!m_ManualReset)
            m_Set = false;
    }

    /// True when set; never clears the event.
    bool IsSet() const
    {
        std::lock_guard lock(m_Mutex);
        return m_Set;
    }

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Cond;
    const bool m_ManualReset;
    bool m_Set;
};

} // namespace corvane
