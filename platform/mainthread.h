#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace corvane {

/// Delivers work from worker threads to the main thread, where windows and containers that the
/// main thread owns may be touched. Stands in for sending and posting window messages.
class IMainThread
{
public:
    virtual ~IMainThread() = default;

    /// Runs `fn` on the main thread and returns once it has run. Called on the main thread itself,
    /// it runs `fn` at once. Returns false, without running `fn`, once the dispatcher is shut down.
    virtual bool Send(std::function<void()> fn) = 0;

    /// Queues `fn` to run on the main thread later; never waits.
    virtual void Post(std::function<void()> fn) = 0;
};

/// Runs everything at once on the calling thread, one call at a time. For tests and for code
/// that has no separate main thread.
class TInlineMainThread : public IMainThread
{
public:
    bool Send(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    int SendCount() const { return m_Sends; }
    int PostCount() const { return m_Posts; }

private:
    std::recursive_mutex m_Mutex;
    int m_Sends = 0;
    int m_Posts = 0;
};

/// A small message loop for console programs: the thread that creates it is the main thread,
/// which runs queued work in RunUntil / ProcessPending.
class TLoopMainThread : public IMainThread
{
public:
    TLoopMainThread();
    ~TLoopMainThread() override;

    bool Send(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    /// Runs queued work until `done()` is true (checked after each item and at least every
    /// `tick`); `onTick` (when given) runs on every wake-up, for progress displays.
    void RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds tick = std::chrono::milliseconds(100),
                  const std::function<void()>& onTick = {});

    /// Runs the work queued so far and returns.
    void ProcessPending();

    /// From now on Send returns false at once; senders waiting now are released with false.
    void Shutdown();

private:
    struct TItem
    {
        std::function<void()> fn;
        std::shared_ptr<struct TSendState> send; // set for Send, empty for Post
    };

    bool RunOne(std::unique_lock<std::mutex>& lock);

    std::thread::id m_MainId;
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    std::deque<TItem> m_Queue;
    bool m_Shutdown = false;
};

} // namespace corvane
