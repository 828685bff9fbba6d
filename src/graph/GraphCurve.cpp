// GRAPH::DrawCurve: one channel as a curve, in column mode (one reduced value
// per pixel column) or sample mode (every sample: a line, a staircase or bars).
#include "channels/SoftChanWave.h"
#include "graph/Graph.h"
#include "platform/DC.h"

void GRAPH::DrawCurve(CDC* pDC, int nChan, const CRngFlt& timeRange, COLORREF color, const float*) {
    SOFTCHAN* ch = GetChan(nChan);
    if (!ch) return;

    CPen pen(PS_SOLID, 1, (m_bHistogram && m_bFill) ? RGB(255, 255, 255) : color);
    CBrush brush;
    if (m_bFill) brush.CreateSolidBrush(color);
    CPen* oldPen = pDC->SelectObject(&pen);

    const float duration = ch->GetDuration();
    float end = duration <= timeRange.Hi ? duration : timeRange.Hi;
    // A recording in progress is drawn only as far as it has been stored.
    SOFTCHAN* root = GetRootChan(ch);
    if (root && root->IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE))) {
        const auto* wave = static_cast<const SOFTCHAN_WAVE*>(root);
        if (wave->GetLastSavedSample() >= 0) end = wave->TimeOfIndex(wave->GetLastSavedSample());
    }

    const long x0 = m_xAxis.User2Screen(timeRange.Lo) + 1, x1 = m_xAxis.User2Screen(end);
    const long i0 = ch->IndexOfTime(timeRange.Lo), i1 = ch->IndexOfTime(end);
    if (x0 < x1 && i0 <= i1) {
        const int y0 = m_yAxis.RtnOrigin();
        if (x1 - x0 <= i1 - i0) {
            // Columns are drawn with the pen alone: in the curve colour even
            // when filled histogram bars would get white outlines, or the
            // curve would vanish on the white background.
            CPen colPen(PS_SOLID, 1, color);
            pDC->SelectObject(&colPen);
            DrawColumns(pDC, nChan, int(x0), int(x1), y0);
            pDC->SelectObject(&pen);
        } else
            DrawSamples(pDC, ch, i0, i1, y0, m_bFill ? &brush : nullptr);
    }
    pDC->SelectObject(oldPen);
}

void GRAPH::DrawColumns(CDC* pDC, int nChan, int x0, int x1, int y0) {
    bool first = true;
    for (int x = x0; x < x1; ++x) {
        const float v = GetVal(nChan, x);
        if (v == NO_VAL) continue; // the line joins the neighbouring columns
        const int y = int(m_yAxis.User2Screen(v));
        if (m_bFill) {
            pDC->MoveTo(x, v >= 0.0f ? y0 - 1 : y0 + 1);
            pDC->LineTo(x, y);
        } else if (first) {
            pDC->MoveTo(x, y);
            first = false;
        } else {
            pDC->LineTo(x, y);
        }
    }
}

void GRAPH::DrawSamples(CDC* pDC, SOFTCHAN* ch, long i0, long i1, int y0, CBrush* pBrush) {
    int xs = int(m_xAxis.User2Screen(ch->TimeOfIndex(i0))) + 1;
    for (long i = i0; i <= i1; ++i) {
        const float v = ch->GetVal(i);
        const bool positive = v >= 0.0f;
        const int base = positive ? y0 - 1 : y0 + 1;
        const int xe = int(m_xAxis.User2Screen(ch->TimeOfIndex(i + 1)));
        int ya = int(m_yAxis.User2Screen(v));
        int yb = (!m_bHistogram && i < i1) ? int(m_yAxis.User2Screen(ch->GetVal(i + 1))) : ya;
        // Each bar stays on its value's side of the zero line.
        if (positive)
            ya = std::min(ya, base), yb = std::min(yb, base);
        else
            ya = std::max(ya, base), yb = std::max(yb, base);

        if (pBrush) {
            const CPoint quad[4] = {{xs, base}, {xs, ya}, {xe, yb}, {xe, base}};
            CRgn rgn;
            if (rgn.CreatePolygonRgn(quad, 4, ALTERNATE)) pDC->FillRgn(&rgn, pBrush);
            if (m_bHistogram) {
                pDC->MoveTo(xs, base);
                pDC->LineTo(xs, ya);
                pDC->LineTo(xe, yb);
                pDC->LineTo(xe, base);
            }
        } else {
            if (i == i0) pDC->MoveTo(xs, ya);
            if (m_bHistogram) pDC->LineTo(xs, ya);
            pDC->LineTo(xe, yb);
        }
        xs = xe;
    }
}
