#include "shell/qtmainthread.h"

#include <QMetaObject>

#include <algorithm>

namespace corvane {

TQtMainThread::TQtMainThread() : m_MainId(std::this_thread::get_id()) {}

TQtMainThread::~TQtMainThread()
{
    Shutdown();
}

bool TQtMainThread::Send(std::function<void()> fn)
{
    if (std::this_thread::get_id() == m_MainId) {
        fn();
        return true;
    }
    auto pending = std::make_shared<TPending>();
    {
        std::lock_guard lock(m_Mutex);
        if (m_Shutdown)
            return false;
        m_Pending.push_back(pending);
    }
    QMetaObject::invokeMethod(
        &m_Receiver,
        [this, pending, fn = std::move(fn)] {
            {
                std::lock_guard lock(m_Mutex);
                if (pending->finished) // released by Shutdown
                    return;
            }
            fn();
            Finish(pending, true);
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_Mutex);
    m_Cond.wait(lock, [&] { return pending->finished; });
    return pending->ran;
}

void TQtMainThread::Post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(
        &m_Receiver,
        [this, fn = std::move(fn)] {
            {
                std::lock_guard lock(m_Mutex);
                if (m_Shutdown)
                    return;
            }
            fn();
        },
        Qt::QueuedConnection);
}

void TQtMainThread::Finish(const std::shared_ptr<TPending>& pending, bool ran)
{
    {
        std::lock_guard lock(m_Mutex);
        pending->ran = ran;
        pending->finished = true;
        m_Pending.erase(std::remove(m_Pending.begin(), m_Pending.end(), pending), m_Pending.end());
    }
    m_Cond.notify_all();
}

void TQtMainThread::Shutdown()
{
    {
        std::lock_guard lock(m_Mutex);
        m_Shutdown = true;
        for (auto& pending : m_Pending)
            pending->finished = true;
        m_Pending.clear();
    }
    m_Cond.notify_all();
}

} // namespace corvane
