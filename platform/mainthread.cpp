#include "platform/mainthread.h"

namespace corvane {

struct TSendState
{
    bool finished = false;
    bool ran = false;
};

bool TInlineMainThread::Send(std::function<void()> fn)
{
    std::lock_guard lock(m_Mutex);
    ++m_Sends;
    fn();
    return true;
}

void TInlineMainThread::Post(std::function<void()> fn)
{
    std::lock_guard lock(m_Mutex);
    ++m_Posts;
    fn();
}

TLoopMainThread::TLoopMainThread() : m_MainId(std::this_thread::get_id()) {}

TLoopMainThread::~TLoopMainThread()
{
    Shutdown();
}

bool TLoopMainThread::Send(std::function<void()> fn)
{
    if (std::this_thread::get_id() == m_MainId) {
        fn();
        return true;
    }
    auto state = std::make_shared<TSendState>();
    std::unique_lock lock(m_Mutex);
    if (m_Shutdown)
        return false;
    m_Queue.push_back({std::move(fn), state});
    m_Cond.notify_all();
    m_Cond.wait(lock, [&] { return state->finished; });
    return state->ran;
}

void TLoopMainThread::Post(std::function<void()> fn)
{
    std::lock_guard lock(m_Mutex);
    m_Queue.push_back({std::move(fn), nullptr});
    m_Cond.notify_all();
}

bool TLoopMainThread::RunOne(std::unique_lock<std::mutex>& lock)
{
    if (m_Queue.empty())
        return false;
    TItem item = std::move(m_Queue.front());
    m_Queue.pop_front();
    lock.unlock();
    item.fn();
    lock.lock();
    if (item.send) {
        item.send->ran = true;
        item.send->finished = true;
        m_Cond.notify_all();
    }
    return true;
}

void TLoopMainThread::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds tick,
                               const std::function<void()>& onTick)
{
    std::unique_lock lock(m_Mutex);
    while (true) {
        while (RunOne(lock)) {
            lock.unlock();
            const bool stop = done();
            lock.lock();
            if (stop)
                return;
        }
        lock.unlock();
        if (onTick)
            onTick();
        const bool stop = done();
        lock.lock();
        if (stop)
            return;
        m_Cond.wait_for(lock, tick, [this] { return !m_Queue.empty(); });
    }
}

void TLoopMainThread::ProcessPending()
{
    std::unique_lock lock(m_Mutex);
    size_t n = m_Queue.size();
    while (n-- > 0 && RunOne(lock)) {
    }
}

void TLoopMainThread::Shutdown()
{
    std::lock_guard lock(m_Mutex);
    m_Shutdown = true;
    for (auto it = m_Queue.begin(); it != m_Queue.end();) {
        if (it->send) {
            it->send->finished = true;
            it = m_Queue.erase(it);
        } else {
            ++it;
        }
    }
    m_Cond.notify_all();
}

} // namespace corvane
