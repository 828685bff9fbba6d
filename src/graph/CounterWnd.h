// Small child window counting recording time: every half second it advances,
// shows the elapsed whole seconds as a large blue number centred in a white
// box, and when the time is up it stops and posts WM_COUNTER_DONE (0, 0) to
// its parent. Counting starts when the window is created, on Reset and on
// PauseCounting(0); it stops on PauseCounting(non-zero) and when it runs out.
//
// Once created, the window deletes itself when it is destroyed (directly or
// with its parent): the owner must not delete it then.
#pragma once
#include "platform/Export.h"
#include "platform/GdiObjects.h"
#include "platform/Wnd.h"
#include <string>

class CDialog;

constexpr UINT WM_COUNTER_DONE = 0x8064; // first application message + 100

class VOK_API CCounterWnd : public CWnd {
  public:
    static constexpr UINT kTickMs = 500;

    // A count of the given seconds; the first counter creates the shared font.
    explicit CCounterWnd(int seconds);
    ~CCounterWnd() override = default;

    // A visible child of parent in rect with control id; starts counting.
    BOOL Create(const CRect& rect, CWnd* parent, UINT id);
    BOOL Create(const CRect& rect, CDialog* parent, UINT id);
    // pause non-zero stops the timer; 0 starts it when it is not running.
    void PauseCounting(int pause);
    // A new count of the given seconds, started at once, shown from 0.
    void Reset(int seconds);
    // The font shared by all counters.
    static CFont* GetFont() { return &m_cFont; }

    // Text the window shows: the elapsed seconds rounded to the nearest
    // (halves up); empty for a count of 0 seconds.
    std::string GetDisplayText() const;
    int GetTotal() const { return m_nTotal; }
    int GetLeft() const { return m_nLeft; }
    // Id of the running timer, 0 when stopped.
    UINT GetTimer() const { return m_nTimer; }

    static CFont m_cFont;
    static int m_bFontCreated;

  protected:
    int OnCreate() override;
    void OnTimer(UINT id) override;
    void OnPaint(CDC* pDC) override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    void PostNcDestroy() override { delete this; }

  private:
    // The control id, or 1 for a window without one, so that a running timer
    // always has a non-zero id and can be stopped.
    UINT TimerId() const;

    int m_nTotal;
    int m_nLeft;
    UINT m_nTimer = 0;
};
