#include "platform/Event.h"
#include <chrono>

CEvent::CEvent(bool bInitiallyOwn, bool bManualReset)
    : m_bSignalled(bInitiallyOwn), m_bManual(bManualReset) {}

void CEvent::SetEvent() {
    {
        std::lock_guard<std::mutex> lk(m_lock);
        m_bSignalled = true;
    }
    m_cv.notify_all();
}

void CEvent::ResetEvent() {
    std::lock_guard<std::mutex> lk(m_lock);
    m_bSignalled = false;
}

void CEvent::Lock() {
    std::unique_lock<std::mutex> lk(m_lock);
    m_cv.wait(lk, [this] { return m_bSignalled; });
    if (!m_bManual) m_bSignalled = false;
}

bool CEvent::Lock(unsigned ms) {
    std::unique_lock<std::mutex> lk(m_lock);
    if (!m_cv.wait_for(lk, std::chrono::milliseconds(ms), [this] { return m_bSignalled; }))
        return false;
    if (!m_bManual) m_bSignalled = false;
    return true;
}

bool CEvent::IsSignalled() {
    std::lock_guard<std::mutex> lk(m_lock);
    return m_bSignalled;
}
