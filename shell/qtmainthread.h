#pragma once

#include "platform/mainthread.h"

#include <QObject>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane {

/// Delivers work from stage threads to the Qt main thread. Send waits until the main thread has
/// run the work (and runs it at once when called on the main thread); Post queues it.
///
/// Send does not use a blocking-queued connection: a worker blocked in one could never be
/// released while the main thread waits for it at shutdown. Shutdown instead releases every
/// waiting sender with false and drops its work, so the window can then join its stages.
class TQtMainThread : public IMainThread
{
public:
    /// Create on the main thread, after the QApplication.
    TQtMainThread();
    ~TQtMainThread() override;

    bool Send(std::function<void()> fn) override;
    void Post(std::function<void()> fn) override;

    /// From now on Send returns false at once and queued work does not run.
    void Shutdown();

private:
    struct TPending
    {
        bool finished = false;
        bool ran = false;
    };

    void Finish(const std::shared_ptr<TPending>& pending, bool ran);

    std::thread::id m_MainId;
    QObject m_Receiver; // lives in the main thread: queued work runs there
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    bool m_Shutdown = false;
    std::vector<std::shared_ptr<TPending>> m_Pending;
};

} // namespace corvane
