// CButtons: the small base of a button set, a control that is started and
// cancelled and tells an owner window about its progress by posted messages.
#pragma once
#include "platform/Export.h"
#include "platform/WinTypes.h"
#include <cstddef>

class CWnd;
class CDialog;

// The window told about progress: a window or a dialog, never owned. Posting
// through it is safe from any thread.
class VOK_API CNotifyWnd {
  public:
    CNotifyWnd() = default;
    CNotifyWnd(std::nullptr_t) {}
    CNotifyWnd(CWnd* pWnd) : m_pWnd(pWnd) {}
    CNotifyWnd(CDialog* pDlg) : m_pDlg(pDlg) {}

    bool IsNull() const { return !m_pWnd && !m_pDlg; }
    CWnd* GetWnd() const { return m_pWnd; }
    CDialog* GetDialog() const { return m_pDlg; }
    // FALSE when there is no window.
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const;
    bool operator==(const CNotifyWnd&) const = default;

  private:
    CWnd* m_pWnd = nullptr;
    CDialog* m_pDlg = nullptr;
};

class VOK_API CButtons {
  public:
    CButtons() = default;
    CButtons(const CButtons& other) = default;
    CButtons& operator=(const CButtons& other) = default;
    // Not virtual: owners hold button sets by value.
    ~CButtons();

    // Stores msg as the notification message; the second value is not used.
    int Create(UINT msg, UINT reserved);
    virtual int Start(CNotifyWnd owner);
    virtual int Cancel();
    virtual void Save() {}
    int IsActive() const { return bActive; }

    int bActive = 0;      // 1 between Start and Cancel
    CNotifyWnd pOwnerWnd; // receives the notifications; not owned
    UINT nMsg = 0;        // message number posted to pOwnerWnd
};
