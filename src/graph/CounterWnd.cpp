#include "graph/CounterWnd.h"
#include "platform/DC.h"
#include <cstdio>

CFont CCounterWnd::m_cFont;
int CCounterWnd::m_bFontCreated = 0;

CCounterWnd::CCounterWnd(int seconds) : m_nTotal(2 * seconds), m_nLeft(2 * seconds) {
    if (!m_bFontCreated) {
        // 30-pixel extra-light Swiss face; a missing "Arial" falls back to the
        // installed sans-serif face.
        m_cFont.CreateFont(-30, 0, 0, 0, FW_EXTRALIGHT, 0, 0, 0, 0, 0, 0, 0, 0x20, "Arial");
        m_bFontCreated = 1;
    }
}

bool CCounterWnd::Create(const CRect& rect, CWnd* parent, unsigned id) {
    return CWnd::Create(rect, parent, id, true);
}

bool CCounterWnd::Create(const CRect& rect, CDialog* parent, unsigned id) {
    return CWnd::Create(rect, parent, id, true);
}

unsigned CCounterWnd::TimerId() const {
    return GetDlgCtrlID() ? GetDlgCtrlID() : 1;
}

void CCounterWnd::PauseCounting(int pause) {
    if (pause) {
        if (m_nTimer) {
            KillTimer(m_nTimer);
            m_nTimer = 0;
        }
    } else if (!m_nTimer) {
        m_nTimer = SetTimer(TimerId(), kTickMs);
    }
}

void CCounterWnd::Reset(int seconds) {
    m_nTotal = m_nLeft = 2 * seconds;
    PauseCounting(0);
    Invalidate(true);
}

int CCounterWnd::OnCreate() {
    if (CWnd::OnCreate() == -1) return -1;
    PauseCounting(0);
    return 0;
}

void CCounterWnd::OnTimer(unsigned id) {
    const int before = m_nLeft;
    m_nLeft = m_nLeft - 1;
    if (before <= 1) {
        KillTimer(id);
        PostParentMessage(WM_COUNTER_DONE, 0, 0);
        m_nTimer = 0;
    }
    Invalidate(true);
    CWnd::OnTimer(id);
}

std::string CCounterWnd::GetDisplayText() const {
    if (m_nTotal == 0) return std::string();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", (m_nTotal - m_nLeft + 1) / 2);
    return buf;
}

void CCounterWnd::OnPaint(CDC* pDC) {
    if (m_nTotal == 0) return;
    CGdiObject* oldPen = pDC->SelectStockObject(BLACK_PEN);
    CGdiObject* oldBrush = pDC->SelectStockObject(WHITE_BRUSH);
    CFont* oldFont = pDC->SelectObject(&m_cFont);
    const COLORREF oldColor = pDC->SetTextColor(RGB(0, 0, 255));
    const int oldMode = pDC->SetBkMode(TRANSPARENT);

    const std::string text = GetDisplayText();
    const CSize sz = pDC->GetTextExtent(text);
    const CRect client = GetClientRect();
    pDC->TextOut((client.right - sz.cx - client.left) / 2, (client.bottom - sz.cy - client.top) / 2,
                 text);

    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldFont);
    pDC->SelectObject(oldBrush);
    pDC->SelectObject(oldPen);
}

bool CCounterWnd::OnEraseBkgnd(CDC* pDC) {
    CGdiObject* oldPen = pDC->SelectStockObject(WHITE_PEN);
    CGdiObject* oldBrush = pDC->SelectStockObject(WHITE_BRUSH);
    pDC->Rectangle(GetClientRect());
    pDC->SelectObject(oldPen);
    pDC->SelectObject(oldBrush);
    return true;
}
