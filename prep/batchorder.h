#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace corvane {

/// Hands on the results of numbered batches in batch order, whatever order the workers finish
/// them in, so that what they write depends neither on the number of workers nor on timing.
/// A worker queues its batch's hand-over and goes on with its next batch; whoever queues the
/// batch whose turn it is runs the queued hand-overs, one thread at a time.
class TBatchOrder
{
public:
    /// `window`: how many batches past the next one may wait in the queue; a worker further
    /// ahead waits, which bounds the memory of queued results.
    explicit TBatchOrder(int64_t window) : m_Window(window) {}

    /// Queues `handOver` as batch `batch`'s and runs the hand-overs whose turn has come. False
    /// once a hand-over has failed or Close was called; queued hand-overs then never run.
    bool Submit(int64_t batch, std::function<bool()> handOver)
    {
        std::unique_lock lock(m_Mutex);
        m_Cond.wait(lock, [&] { return m_Closed || batch < m_Next + m_Window; });
        if (m_Closed)
            return false;
        m_Queued.emplace(batch, std::move(handOver));
        if (m_HandingOver)
            return true; // the thread handing over now takes this one in its turn
        m_HandingOver = true;
        for (auto it = m_Queued.find(m_Next); !m_Closed && it != m_Queued.end();
             it = m_Queued.find(m_Next)) {
            const std::function<bool()> next = std::move(it->second);
            m_Queued.erase(it);
            lock.unlock();
            const bool ok = next();
            lock.lock();
            if (!ok)
                m_Closed = true;
            ++m_Next;
            m_Cond.notify_all();
        }
        m_HandingOver = false;
        if (m_Closed)
            m_Queued.clear();
        return !m_Closed;
    }

    /// Drops what is queued and makes every later Submit fail.
    void Close()
    {
        std::lock_guard lock(m_Mutex);
        m_Closed = true;
        m_Queued.clear();
        m_Cond.notify_all();
    }

private:
    const int64_t m_Window;
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    std::map<int64_t, std::function<bool()>> m_Queued;
    int64_t m_Next = 0;
    bool m_HandingOver = false;
    bool m_Closed = false;
};

} // namespace corvane
