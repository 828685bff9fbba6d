// A window over a Qt widget. Child windows carry a control id; hidden windows
// only receive posted messages and timers. WindowProc's default routes posted
// and sent messages to OnMessage. Drawing goes to an offscreen image that the widget shows: paint
// handlers draw into it when the window was invalidated, and a client DC
// (GetDC) draws into it at any time and then shows the result.
#pragma once
#include "platform/Export.h"
#include "platform/WinTypes.h"
#include "platform/WndBase.h"
#include <functional>
#include <memory>
#include <string>

class QWidget;
class QImage;
class CDC;
class CDialog;
class VokWndWidget;

using HCURSOR = int; // a Qt::CursorShape value; 0 for the arrow

// Keys a key handler is given, with the MK_SHIFT and MK_CONTROL flags.
enum : unsigned { VK_LEFT = 0x25, VK_RIGHT = 0x27 };
// Returns true when it used the key.
using KeyHandler = std::function<bool(unsigned key, unsigned flags)>;

class VOK_API CWnd : public CWndBase {
  public:
    CWnd() = default;
    ~CWnd() override;

    // Creates a child window in rect of the parent with control id; OnCreate
    // runs before it returns. false when it exists already or OnCreate fails.
    bool Create(const CRect& rect, CWnd* parent, unsigned id, bool visible = true);
    bool Create(const CRect& rect, CDialog* parent, unsigned id, bool visible = true);
    bool Create(const CRect& rect, QWidget* parent, unsigned id, bool visible = true);
    // A hidden top-level window for messages and timers only.
    bool CreateHidden();
    // Destroys the widget (children with it), then calls PostNcDestroy, which
    // may delete the object. Safe inside one of the window's own handlers.
    bool DestroyWindow();

    QWidget* GetSafeHwnd() const;
    unsigned GetDlgCtrlID() const { return m_nID; }
    bool IsWindow() const { return GetSafeHwnd() != nullptr; }

    intptr_t SendMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Posts to the parent given at Create (a CWnd or a CDialog); false when none.
    bool PostParentMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    // Marks the whole client area for repainting, erasing first when bErase.
    void Invalidate(bool bErase = true);
    // Runs a pending repaint at once (into the image) and shows it.
    void UpdateWindow();
    CRect GetClientRect() const;
    void GetClientRect(CRect* rect) const { *rect = GetClientRect(); }
    void ShowWindow(int cmd);
    bool IsWindowVisible() const;
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

    intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

  protected:
    // Posted and sent messages arrive here through the default WindowProc.
    virtual intptr_t OnMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
    virtual int OnCreate() { return 0; }
    virtual void OnPaint(CDC* pDC);
    // Fills the background; the default paints it white. Return true when erased.
    virtual bool OnEraseBkgnd(CDC* pDC);
    virtual void OnLButtonDown(unsigned flags, CPoint point);
    virtual void OnRButtonDown(unsigned flags, CPoint point);
    virtual void OnMouseMove(unsigned flags, CPoint point);
    QWidget* Widget() const override;

  private:
    friend class VokWndWidget;
    bool attach(CWndBase* parent, QWidget* parentWidget, const CRect& rect, unsigned id,
                bool visible);
    void paintNow();
    void widgetGone(); // the widget was destroyed by its parent

    VokWndWidget* m_pWnd = nullptr;
    CWndBase* m_pParent = nullptr; // a CWnd or a CDialog
    unsigned m_nID = 0;
    bool m_bInvalid = false, m_bErase = false;
    KeyHandler m_keyHandler;
};
