// A window over a Qt widget. Child windows carry a control id; hidden windows
// only receive posted messages and timers. Messages posted from any thread are
// delivered later on the GUI thread to WindowProc, whose default routes them to
// OnMessage. Drawing goes to an offscreen image that the widget shows: paint
// handlers draw into it when the window was invalidated, and a client DC
// (GetDC) draws into it at any time and then shows the result.
#pragma once
#include "platform/Export.h"
#include "platform/WinTypes.h"
#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;
class QImage;
class CDC;
class CDialog;
class VokWndWidget;

using HCURSOR = int; // a Qt::CursorShape value; 0 for the arrow

// Keys a key handler is given, with the MK_SHIFT and MK_CONTROL flags.
enum : UINT { VK_LEFT = 0x25, VK_RIGHT = 0x27 };
// Returns true when it used the key.
using KeyHandler = std::function<bool(UINT key, UINT flags)>;

class VOK_API CWnd {
  public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates a child window in rect of the parent with control id; OnCreate
    // runs before it returns. FALSE when it exists already or OnCreate fails.
    BOOL Create(const CRect& rect, CWnd* parent, UINT id, bool visible = true);
    BOOL Create(const CRect& rect, CDialog* parent, UINT id, bool visible = true);
    BOOL Create(const CRect& rect, QWidget* parent, UINT id, bool visible = true);
    // A hidden top-level window for messages and timers only.
    BOOL CreateHidden();
    // Destroys the widget (children with it), then calls PostNcDestroy, which
    // may delete the object. Safe inside one of the window's own handlers.
    BOOL DestroyWindow();

    QWidget* GetSafeHwnd() const;
    UINT GetDlgCtrlID() const { return m_nID; }
    CWnd* GetParent() const { return m_pParent; }
    bool IsWindow() const { return GetSafeHwnd() != nullptr; }

    // Queues msg for WindowProc on the GUI thread; safe from any thread.
    // Messages still queued when the object goes away are dropped.
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Posts to the parent given at Create (a CWnd or a CDialog); FALSE when none.
    BOOL PostParentMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Timers run on the GUI thread and call OnTimer(id) until killed. Setting a
    // running id restarts it with the new period.
    UINT SetTimer(UINT id, UINT ms);
    BOOL KillTimer(UINT id);
    bool HasTimer(UINT id) const { return m_timers.count(id) != 0; }

    // Marks the whole client area for repainting, erasing first when bErase.
    void Invalidate(BOOL bErase = TRUE);
    // Runs a pending repaint at once (into the image) and shows it.
    void UpdateWindow();
    CRect GetClientRect() const;
    void GetClientRect(CRect* rect) const { *rect = GetClientRect(); }
    void ShowWindow(int cmd);
    bool IsWindowVisible() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void MoveWindow(const CRect& rect);
    // A DC drawing on the client area outside painting; its drawing is shown
    // when it is destroyed. Null without a window.
    std::unique_ptr<CDC> GetDC();
    // The client-area image as last drawn (empty without a window).
    QImage GetImage() const;

    // Lets the window take the keyboard focus (by Tab or a click) and gives
    // its key presses to handler first; a null handler ends both.
    void SetKeyHandler(KeyHandler handler);
    void SetFocus();
    bool HasFocus() const;
    void SetToolTip(const std::string& text);

    static HCURSOR LoadCrossCursor();
    void SetCursor(HCURSOR cursor);

    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

  protected:
    // Posted and sent messages arrive here through the default WindowProc.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate() { return 0; }
    virtual void OnTimer(UINT id);
    virtual void OnPaint(CDC* pDC);
    // Fills the background; the default paints it white. Return TRUE when erased.
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    // Called once the window is gone; self-deleting windows delete this here.
    virtual void PostNcDestroy() {}

  private:
    friend class VokWndWidget;
    BOOL attach(VokWndWidget* w, const CRect& rect, UINT id, bool visible);
    void paintNow();
    void widgetGone(); // the widget was destroyed by its parent

    VokWndWidget* m_pWnd = nullptr;
    CWnd* m_pParent = nullptr;
    CDialog* m_pParentDlg = nullptr;
    UINT m_nID = 0;
    std::map<UINT, int> m_timers;  // our id -> Qt timer id
    std::shared_ptr<CWnd*> m_self; // queued messages check it before delivery
    bool m_bInvalid = false, m_bErase = false;
    KeyHandler m_keyHandler;
};
