// What windows (CWnd) and dialogs (CDialog) share: messages posted from any
// thread and delivered on the GUI thread to WindowProc, timers that call
// OnTimer on the GUI thread, the caption, and PostNcDestroy once the window is
// gone. Messages still queued when the object goes away are dropped.
#pragma once
#include "platform/Export.h"
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QTimer;
class QWidget;

class VOK_API CWndBase {
  public:
    CWndBase();
    virtual ~CWndBase();
    CWndBase(const CWndBase&) = delete;
    CWndBase& operator=(const CWndBase&) = delete;

    // Queues msg for WindowProc on the GUI thread; safe from any thread.
    bool PostMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    // Timers run until killed; setting a running id restarts it with the new
    // period. SetTimer returns id, or 0 without a window.
    unsigned SetTimer(unsigned id, unsigned ms);
    bool KillTimer(unsigned id);
    bool HasTimer(unsigned id) const { return m_timers.count(id) != 0; }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    virtual intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void OnTimer(unsigned id);
    // Called once the window is gone; self-deleting windows delete this here.
    virtual void PostNcDestroy() {}

  protected:
    // The window's widget; null when there is none.
    virtual QWidget* Widget() const = 0;
    // Stops every timer; the window is going away.
    void StopTimers();

  private:
    std::map<unsigned, QTimer*> m_timers; // children of the widget
    std::shared_ptr<CWndBase*> m_self;    // queued messages check it before delivery
};
