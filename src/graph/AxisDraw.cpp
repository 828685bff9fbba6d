#include "graph/AxisDraw.h"
#include "platform/DC.h"
#include "platform/SystemMetrics.h"
#include "support/NumUtil.h"
#include <cmath>

namespace {
int primaryScreenSize(bool width, int fallback) {
    const int size = GetSystemMetrics(width ? SM_CXSCREEN : SM_CYSCREEN);
    return size > 0 ? size : fallback;
}
} // namespace

X_AXIS::X_AXIS() {
    m_nDefTicks = 5;
    m_nMaxTicks = 5;
    m_nScreenSize = primaryScreenSize(true, 640);
}

void X_AXIS::DrawAxis(CDC* pDC, const CRect&, int nPos, const std::string& units, int bShowOrigin,
                      COLORREF color, int bNoLabels) {
    m_nAxisPos = nPos;
    m_strUnits = units;
    m_bShowOrigin = bShowOrigin;
    m_bNoLabels = bNoLabels;
    m_crAxis = color;

    CPen pen(PS_SOLID, 0, color);
    CPen* oldPen = pDC->SelectObject(&pen);

    float lo = m_f1stTick, hi = m_f1stTick + float(m_nTicks) * m_fTickStep;
    if (IsZero(lo)) lo = 0.0f;
    if (IsZero(hi)) hi = 0.0f;

    const int L = m_rngScreen.Lo, H = m_rngScreen.Hi;
    if (!CRngFlt(lo, hi).IsInside(0.0f) && !bShowOrigin) {
        // Break symbol: two small S-shaped arcs in a gap of the line, telling
        // that the axis does not start at zero.
        const int h = TickOffset(1) / 2;
        int xb = L + h - 2;
        pDC->MoveTo(L, nPos);
        pDC->LineTo(xb, nPos);
        int x = xb - 3;
        for (int pass = 0; pass < 2; ++pass) {
            pDC->Arc(x, nPos - 6, x + 6, nPos, xb, nPos, xb, nPos - 6);
            pDC->Arc(x, nPos, x + 6, nPos + 6, xb, nPos, xb, nPos + 6);
            if (pass == 0) x += 4, xb += 4;
        }
        pDC->MoveTo(xb, nPos);
        pDC->LineTo(H + 10, nPos);
    } else {
        pDC->MoveTo(L, nPos);
        pDC->LineTo(H + 10, nPos);
    }

    const CSize sx = pDC->GetTextExtent("X");
    const int labelTop = nPos + (sx.cy + 2) / 4;
    int lastX = L, lastW = sx.cx;
    for (int i = 0; i <= m_nTicks; ++i) {
        if (i == 0 && !bShowOrigin) continue;
        const int x = L + TickOffset(i);
        pDC->MoveTo(x, nPos - 3);
        pDC->LineTo(x, nPos + 3);
        lastX = x;
        if (!bNoLabels) {
            const std::string text = TickLabel(i);
            const CSize sz = pDC->GetTextExtent(text);
            pDC->TextOut(x - sz.cx / 2, labelTop, text);
            lastW = sz.cx;
        }
    }
    pDC->TextOut(lastX + lastW / 2 + 10, labelTop, units);
    pDC->SelectObject(oldPen);
}

std::string X_AXIS::TickLabel(int i) const {
    return FormatAxisLabel("%-12.3f", double(m_f1stTick + float(i) * m_fTickStep));
}

void X_AXIS::ReDraw(CDC* pDC) {
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const std::string units = m_strUnits;
    DrawAxis(pDC, CRect{0, 0, 1, 1}, m_nAxisPos, units, m_bShowOrigin, m_crAxis, m_bNoLabels);
    pDC->SetBkMode(oldMode);
}

Y_AXIS::Y_AXIS() {
    m_nDefTicks = 4;
    m_nMaxTicks = 4;
    m_nScreenSize = primaryScreenSize(false, 480);
}

void Y_AXIS::DrawAxis(CDC* pDC, const CRect& rect, int nPos, const std::string& units,
                      int bShowOrigin, COLORREF color, int bAbsLabels) {
    CPen pen(PS_SOLID, 0, color);
    CPen* oldPen = pDC->SelectObject(&pen);

    pDC->MoveTo(nPos, m_rngScreen.Lo + 5);
    pDC->LineTo(nPos, m_rngScreen.Hi - 5);

    for (int i = 0; i <= m_nTicks; ++i) {
        const int y = m_rngScreen.Lo + TickOffset(i);
        pDC->MoveTo(nPos - 3, y);
        pDC->LineTo(nPos + 3, y);
        const std::string text = TickLabel(i, bShowOrigin, bAbsLabels);
        if (text.empty()) continue;
        const CSize sz = pDC->GetTextExtent(text);
        int lx = nPos - sz.cx - 5;
        if (lx <= 0) lx = 0;
        pDC->TextOut(lx, y - sz.cy / 2, text);
    }

    const CSize su = pDC->GetTextExtent(units);
    int ux = nPos - su.cx - 5;
    if (ux <= 2) ux = 2;
    int uy = rect.top - 3 * su.cy / 2 - 1;
    if (uy <= 0) uy = 0;
    pDC->TextOut(ux, uy, units);
    pDC->SelectObject(oldPen);
}

std::string Y_AXIS::TickLabel(int i, int bShowOrigin, int bAbsLabels) const {
    float v = float(i) * m_fTickStep + m_f1stTick;
    if (bAbsLabels && v < 0.0f) v = -v;
    if (std::fabs(v) < 0.00001f && !bShowOrigin) return std::string();
    const char* format = "%-12.3f";
    if (v != 0.0f && std::fabs(v) < 0.001f) format = "%-12.2e";
    return FormatAxisLabel(format, double(v));
}
