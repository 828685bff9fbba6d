#include "graph/GraphWnd.h"
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include "record/SoftChannels.h"

IMPLEMENT_DYNCREATE(CGraphWnd, CObject)

CGraphWnd::CGraphWnd(SOFTCHANNELS* pChannels) : m_pChannels(pChannels), m_pGraph(new GRAPH) {
    m_pGraph->Attach(m_pChannels, GRAPH::colors);
}

CGraphWnd::~CGraphWnd() {
    delete m_pGraph;
    m_pGraph = nullptr;
}

SOFTCHAN* CGraphWnd::ShownChannel() const {
    if (m_nChannel < 0 || !m_pChannels) return nullptr;
    return m_pChannels->GetChan(m_nChannel);
}

void CGraphWnd::SetChannel(int n, int redraw) {
    m_nChannel = n;
    if (n < 0) {
        m_fStartTime = m_fEndTime = m_fCursorTime = kNoTime;
    } else if (m_fStartTime < 0.0f && m_fEndTime < 0.0f) {
        if (SOFTCHAN* ch = ShownChannel()) {
            m_fStartTime = 0.0f;
            m_fEndTime = ch->GetDuration();
        }
    }
    if (redraw) Invalidate(true);
}

int CGraphWnd::SetStartEndTimes(float start, float end) {
    m_fStartTime = start;
    m_fEndTime = end;
    return 1;
}

int CGraphWnd::SetCursorTime(float t) {
    if (auto dc = GetDC()) DrawMarker(dc.get(), t);
    m_fCursorTime = t;
    return 1;
}

void CGraphWnd::DrawMarker(CDC* pDC, int index) {
    if (index < 0 || index > 2) return;
    const float t = m_fTimes[index];
    if (t >= 0.0f) DrawMarker(pDC, t);
}

void CGraphWnd::DrawMarker(CDC* pDC, float t) {
    if (t < 0.0f) return;
    const int x = int(m_pGraph->m_xAxis.User2Screen(t));
    const CRngInt y = m_pGraph->m_yAxis.GetRngScreen();
    const int oldRop = pDC->SetROP2(R2_XORPEN);
    CPen pen(PS_SOLID, 1, kMarkerColor);
    CPen* oldPen = pDC->SelectObject(&pen);
    pDC->MoveTo(x, y.Lo);
    pDC->LineTo(x, y.Hi);
    pDC->SelectObject(oldPen);
    pDC->SetROP2(oldRop);
}

void CGraphWnd::Paint(CDC* pDC) {
    SOFTCHAN* ch = ShownChannel();
    if (!ch) return;
    const CRngFlt times(0.0f, float(ch->RtnNel() - 1) * ch->fDt);
    CRect rect = GetClientRect();
    rect = CRect{rect.left + 20, rect.top + 20, rect.right - 20, rect.bottom - 20};
    INT_ARRAY chans(1);
    chans[0] = m_nChannel;
    const std::vector<std::string> legend;
    m_pGraph->DrawGraph(pDC, rect, chans, m_strTitle, legend, times, m_rngY, nullptr);
    DrawMarker(pDC, 0);
    DrawMarker(pDC, 1);
    if (m_fCursorTime > 0.0f) DrawMarker(pDC, 2);
}

bool CGraphWnd::OnEraseBkgnd(CDC* pDC) {
    CGdiObject* oldPen = pDC->SelectStockObject(WHITE_PEN);
    CGdiObject* oldBrush = pDC->SelectStockObject(WHITE_BRUSH);
    pDC->Rectangle(GetClientRect());
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
    return true;
}

void CGraphWnd::MoveMarker(int index, CPoint point) {
    SOFTCHAN* ch = ShownChannel();
    if (!ch) return;
    const float t = m_pGraph->m_xAxis.Screen2User(point.x);
    if (t < 0.0f || t > ch->GetDuration()) return; // outside the channel: ignored
    if (auto dc = GetDC()) {
        if (m_fTimes[index] >= 0.0f) DrawMarker(dc.get(), index); // removes the old line
        m_fTimes[index] = t;
        DrawMarker(dc.get(), index);
    } else {
        m_fTimes[index] = t;
    }
}

void CGraphWnd::OnLButtonDown(unsigned flags, CPoint point) {
    MoveMarker(0, point);
    CWnd::OnLButtonDown(flags, point);
}

void CGraphWnd::OnRButtonDown(unsigned flags, CPoint point) {
    MoveMarker(1, point);
    CWnd::OnRButtonDown(flags, point);
}

void CGraphWnd::OnMouseMove(unsigned flags, CPoint point) {
    SetCursor(m_hCursor);
    CWnd::OnMouseMove(flags, point);
}

int CGraphWnd::OnCreate() {
    if (CWnd::OnCreate() == -1) return -1;
    m_hCursor = LoadCrossCursor();
    return 0;
}
