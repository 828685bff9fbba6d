// Child window showing one channel of a channel list with a GRAPH, with a
// start and an end marker the user sets by a left and a right click, and a
// playback cursor the owner moves. Markers and cursor are vertical lines drawn
// by exclusive-or of grey 0x808080, so drawing one twice at the same place
// removes it. The window tells its owner nothing; the owner asks.
//
// Once created, the window deletes itself when it is destroyed (directly or
// with its parent): the owner must not delete it then. A CGraphWnd that was
// never created is deleted by whoever made it.
#pragma once
#include "graph/Graph.h"
#include "platform/Export.h"
#include "platform/Object.h"
#include "platform/Wnd.h"

class VOK_API CGraphWnd : public CWnd, public CObject {
    DECLARE_DYNCREATE(CGraphWnd)
  public:
    static constexpr float kNoTime = -1000000.0f;
    static constexpr COLORREF kMarkerColor = 0x808080;

    explicit CGraphWnd(SOFTCHANNELS* pChannels = nullptr);
    ~CGraphWnd() override;

    // Shows channel n (markers at 0 and its duration when none were set);
    // n < 0 shows nothing and removes markers and cursor. Repaints when redraw.
    // A number the list does not hold shows nothing and sets no markers.
    void SetChannel(int n, int redraw);
    int GetChannel() const { return m_nChannel; }
    // Fixed value range; a width up to 0.000001 means automatic. No repaint.
    void SetYRange(float lo, float hi) { m_rngY = CRngFlt(lo, hi); }
    void SetTitle(const std::string& text) { m_strTitle = text; }
    // Sets both markers without drawing; they appear at the next paint. Returns 1.
    int SetStartEndTimes(float start, float end);
    // (start, end) as set, not ordered; negative for a marker not set.
    CRngFlt GetSaveTimes() const { return CRngFlt(m_fStartTime, m_fEndTime); }
    // Draws the cursor line at t (removing one already there) and stores t.
    // To move the cursor call it with the previous time, then with the new one.
    int SetCursorTime(float t);
    float GetCursorTime() const { return m_fCursorTime; }
    // No cursor from now on, without drawing: for after the caller's last
    // SetCursorTime has removed the line, so a repaint does not draw it again.
    void ForgetCursor() { m_fCursorTime = kNoTime; }

    // Marker by index: 0 start, 1 end, 2 cursor; nothing when its time is negative.
    void DrawMarker(CDC* pDC, int index);
    // The exclusive-or line at time t (nothing for t < 0), with the axes as
    // laid out by the last paint.
    void DrawMarker(CDC* pDC, float t);
    void Paint(CDC* pDC);

    GRAPH* GetGraph() const { return m_pGraph; }

  protected:
    int OnCreate() override;
    void OnPaint(CDC* pDC) override { Paint(pDC); }
    bool OnEraseBkgnd(CDC* pDC) override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnRButtonDown(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void PostNcDestroy() override { delete this; }

  private:
    // The shown channel, or null when none is shown or the list lacks it.
    SOFTCHAN* ShownChannel() const;
    // Click handling shared by both buttons: index 0 moves the start marker, 1 the end.
    void MoveMarker(int index, CPoint point);

    int m_nChannel = -1;
    HCURSOR m_hCursor = 0;
    float m_fTimes[3] = {kNoTime, kNoTime, kNoTime}; // start, end, cursor
    float& m_fStartTime = m_fTimes[0];
    float& m_fEndTime = m_fTimes[1];
    float& m_fCursorTime = m_fTimes[2];
    SOFTCHANNELS* m_pChannels;
    GRAPH* m_pGraph;
    std::string m_strTitle;
    CRngFlt m_rngY{0.0f, 0.0f};
};
