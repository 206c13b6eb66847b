#include "prep/childslots.h"

namespace corvane {

TChildSlots& TChildSlots::Process()
{
    static TChildSlots slots;
    return slots;
}

bool TChildSlots::Acquire(int limit, const std::atomic<bool>& stop)
{
    std::unique_lock lock(m_Mutex);
    m_Cond.wait(lock, [&] { return stop.load() || m_Running < limit; });
    if (stop.load())
        return false;
    ++m_Running;
    return true;
}

void TChildSlots::Release()
{
    {
        std::lock_guard lock(m_Mutex);
        --m_Running;
    }
    m_Cond.notify_all();
}

void TChildSlots::WakeAll()
{
    // Taking the lock orders the wake-up after a waiter's check of its stop flag.
    std::lock_guard lock(m_Mutex);
    m_Cond.notify_all();
}

int TChildSlots::Running() const
{
    std::lock_guard lock(m_Mutex);
    return m_Running;
}

} // namespace corvane
