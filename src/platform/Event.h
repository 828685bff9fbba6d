// An event for one thread to wake another: signalled by SetEvent, waited for
// by Lock. An auto-reset event wakes one waiter and becomes unsignalled again;
// a manual-reset event stays signalled until ResetEvent.
#pragma once
#include "platform/Export.h"
#include <condition_variable>
#include <mutex>

class VOK_API CEvent {
  public:
    explicit CEvent(bool bInitiallyOwn = false, bool bManualReset = false);
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Safe from any thread, including a sound driver's callback thread.
    void SetEvent();
    void ResetEvent();
    // Waits without a time limit until the event is signalled.
    void Lock();
    // Waits at most ms milliseconds; true when the event was signalled.
    bool Lock(unsigned ms);
    bool IsSignalled();

  private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_bSignalled;
    const bool m_bManual;
};
