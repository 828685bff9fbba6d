#include "graph/LevelMeterWnd.h"
#include "platform/DC.h"
#include <algorithm>
#include <cstdio>

bool CLevelMeterWnd::Create(const CRect& rect, CDialog* parent, unsigned id) {
    return CWnd::Create(rect, parent, id, true);
}

void CLevelMeterWnd::SetLevel(double peakDb, double rmsDb, double holdDb) {
    m_bLevel = true;
    m_fPeakDb = peakDb;
    m_fRmsDb = rmsDb;
    m_fHoldDb = holdDb;
    Invalidate(true);
}

void CLevelMeterWnd::Clear() {
    m_bLevel = false;
    m_fPeakDb = m_fRmsDb = m_fHoldDb = kFloorDb;
    Invalidate(true);
}

std::string CLevelMeterWnd::GetDisplayText() const {
    if (!m_bLevel) return {};
    char text[64];
    std::snprintf(text, sizeof text, "Peak %.1f dB, RMS %.1f dB", std::max(m_fPeakDb, kFloorDb),
                  std::max(m_fRmsDb, kFloorDb));
    return text;
}

int CLevelMeterWnd::BarLength(double db, int w) {
    const double f = (std::clamp(db, kFloorDb, 0.0) - kFloorDb) / -kFloorDb;
    return int(f * w + 0.5);
}

void CLevelMeterWnd::DrawBar(CDC* pDC, const CRect& r, double db) const {
    pDC->FillSolidRect(r, RGB(230, 230, 230));
    const int w = r.Width(), len = BarLength(db, w);
    const int yellow = BarLength(-6.0, w), red = BarLength(-1.0, w);
    auto part = [&](int from, int to, COLORREF c) {
        if (to > from) pDC->FillSolidRect({r.left + from, r.top, r.left + to, r.bottom}, c);
    };
    part(0, std::min(len, yellow), RGB(0, 170, 0));
    part(yellow, std::min(len, red), RGB(230, 200, 0));
    part(red, len, RGB(220, 0, 0));
}

void CLevelMeterWnd::OnPaint(CDC* pDC) {
    const CRect c = GetClientRect();
    pDC->FillSolidRect(c, RGB(255, 255, 255));
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    char peak[32], rms[32];
    std::snprintf(peak, sizeof peak, m_bLevel ? "Peak %.1f dB" : "Peak",
                  std::max(m_fPeakDb, kFloorDb));
    std::snprintf(rms, sizeof rms, m_bLevel ? "RMS %.1f dB" : "RMS", std::max(m_fRmsDb, kFloorDb));
    // Two rows of a text line over its bar.
    const int row = c.Height() / 2, th = pDC->GetTextExtent("Peak").cy;
    const int bar = std::max(2, row - th - 3);
    const CRect peakBar{c.left + 2, c.top + th + 1, c.right - 2, c.top + th + 1 + bar};
    const CRect rmsBar{c.left + 2, c.top + row + th + 1, c.right - 2, c.top + row + th + 1 + bar};
    pDC->TextOut(c.left + 2, c.top, peak);
    pDC->TextOut(c.left + 2, c.top + row, rms);
    pDC->SetBkMode(oldMode);
    DrawBar(pDC, peakBar, m_bLevel ? m_fPeakDb : kFloorDb);
    DrawBar(pDC, rmsBar, m_bLevel ? m_fRmsDb : kFloorDb);
    if (m_bLevel && m_fHoldDb > kFloorDb) {
        const int w = peakBar.Width();
        const int x = peakBar.left + std::min(BarLength(m_fHoldDb, w), w - 2);
        pDC->FillSolidRect({x, peakBar.top, x + 2, peakBar.bottom}, RGB(0, 0, 0));
    }
}
