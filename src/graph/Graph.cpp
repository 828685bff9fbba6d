#include "graph/Graph.h"
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include "record/SoftChannels.h"
#include "support/NumUtil.h"
#include <algorithm>

const COLORREF GRAPH::colors[GRAPH::kMaxColorIndex + 1] = {
    0x000000, 0x0000FF, 0xFF0000, 0x008000, 0xFF00FF, 0x808000, 0x008080, 0x800080, 0x000080,
    0x800000, 0x0080FF, 0x004000, 0xFF8000, 0x004080, 0x8000FF, 0x606000, 0x404040};

GRAPH::GRAPH() = default;

GRAPH::GRAPH(SOFTCHANNELS* pChannels, const COLORREF* pColors, int nOption)
    : m_pChannels(pChannels), m_pColors(pColors), m_nOption(nOption) {}

void GRAPH::Attach(SOFTCHANNELS* pChannels, const COLORREF* pColors) {
    m_pChannels = pChannels;
    m_pColors = pColors ? pColors : colors;
}

COLORREF GRAPH::Color(int k) const {
    const COLORREF* table = m_pColors ? m_pColors : colors;
    return table[std::clamp(k, 0, kMaxColorIndex)];
}

int GRAPH::DrawGraph(CDC* pDC, const CRect& rect, const INT_ARRAY& chans, const std::string& title,
                     const std::vector<std::string>& legend, const CRngFlt& timeRange,
                     const CRngFlt& valueRange, const float*) {
    const int oldRop = pDC->SetROP2(R2_COPYPEN);
    TEXTMETRIC tm;
    pDC->GetTextMetrics(&tm);
    const CRect plot = GetAxiesRect(pDC, rect, 2);
    const int oldBk = pDC->SetBkMode(TRANSPARENT);
    DrawAxies(pDC, plot, chans, title, timeRange, valueRange);
    for (int i = 0; i < chans.GetSize(); ++i)
        DrawCurve(pDC, chans[i], timeRange, Color(i + 1), nullptr);
    const CSize sz = pDC->GetTextExtent("XXXXX");
    DisplayLegend(pDC, plot.bottom - sz.cy + tm.tmExternalLeading - 4, legend);
    pDC->SetBkMode(oldBk);
    pDC->SetROP2(oldRop);
    return 1;
}

CRect GRAPH::GetAxiesRect(CDC* pDC, const CRect& rect, int) const {
    const CSize sz = pDC->GetTextExtent("XXXXXX");
    const int dy = 3 * sz.cy / 4;
    return CRect{rect.left + sz.cx, rect.top + dy, rect.right - sz.cx, rect.bottom - dy};
}

void GRAPH::DrawAxies(CDC* pDC, const CRect& plot, const INT_ARRAY& chans, const std::string& title,
                      const CRngFlt& timeRange, const CRngFlt& valueRange) {
    const CSize st = pDC->GetTextExtent(title);
    int ty = plot.top - 3 * st.cy / 2 - 1;
    if (ty <= 0) ty = 0;
    pDC->TextOut(plot.left + (plot.right - plot.left - st.cx) / 2, ty, title);

    m_xAxis.CalcLayout(CRngInt(plot.left, plot.right), timeRange);

    CRngFlt values = valueRange;
    if (!(values.Width() > 0.000001)) {
        if (!m_pChannels || chans.GetSize() == 0)
            values = CRngFlt(0.0f, 10.0f);
        else
            values = CalcDataRange(chans, timeRange);
    }
    m_yAxis.CalcLayout(CRngInt(plot.bottom, plot.top), values);

    std::string xUnits = m_xAxis.GetUnitsString(), yUnits = m_yAxis.GetUnitsString();
    if (m_pChannels && chans.GetSize() > 0) {
        xUnits = GetChanXUnits(chans[0]);
        yUnits = GetChanName(chans[0]);
    }
    m_xAxis.DrawAxis(pDC, plot, m_yAxis.RtnOrigin(), xUnits, m_yAxis.IsZero1st(), Color(0), 0);
    m_yAxis.DrawAxis(pDC, plot, int(m_xAxis.User2Screen(m_xAxis.Rtn1stTick())), yUnits, 1, Color(0),
                     0);
}

void GRAPH::DrawCurves(CDC* pDC, const INT_ARRAY& chans, const CRngFlt& timeRange) {
    for (int i = 0; i < chans.GetSize(); ++i)
        DrawCurve(pDC, chans[i], timeRange, Color(i + 1), nullptr);
}

void GRAPH::DisplayLegend(CDC* pDC, int y, const std::vector<std::string>& names) {
    if (names.empty()) return;
    int total = -10;
    for (const std::string& s : names)
        total += pDC->GetTextExtent(s).cx + 20;
    int x = m_xAxis.m_rngScreen.Lo + m_xAxis.m_rngScreen.Width() / 2 - total / 2;
    if (x <= 0) x = 0;
    const int ly = y + pDC->GetTextExtent("X").cy / 2;
    for (size_t k = 1; k <= names.size(); ++k) {
        CPen pen(PS_SOLID, 0, Color(int(std::min<size_t>(k, kMaxColorIndex))));
        CPen* oldPen = pDC->SelectObject(&pen);
        pDC->MoveTo(x, ly);
        pDC->LineTo(x + 10, ly);
        const std::string& text = names[k - 1];
        pDC->TextOut(x + 11, y, text);
        pDC->SelectObject(oldPen);
        x = x + 11 + pDC->GetTextExtent(text).cx + 10;
    }
}

CRngFlt GRAPH::CalcDataRange(int nChan, const CRngFlt& timeRange) {
    const float duration = GetChanDuration(nChan);
    const float end = duration <= timeRange.Hi ? duration : timeRange.Hi;
    const long x0 = m_xAxis.User2Screen(timeRange.Lo), x1 = m_xAxis.User2Screen(end);
    float lo = 1e8f, hi = -1e8f;
    if (x0 > x1) return CRngFlt(lo, hi);
    for (long x = x0; x <= x1; ++x) {
        const float v = GetVal(nChan, x);
        if (lo >= v) lo = v;
        if (hi <= v) hi = v;
    }
    return CRngFlt(lo, hi);
}

CRngFlt GRAPH::CalcDataRange(const INT_ARRAY& chans, const CRngFlt& timeRange) {
    float lo = 1e-8f, hi = -1e-8f;
    for (int i = 0; i < chans.GetSize(); ++i) {
        if (chans[i] == -1) continue;
        const CRngFlt r = CalcDataRange(chans[i], timeRange);
        if (lo >= r.Lo) lo = r.Lo;
        if (hi <= r.Hi) hi = r.Hi;
    }
    return CRngFlt(lo, hi);
}

float GRAPH::GetVal(int nChan, long x) {
    return GetChanValRng(nChan, m_xAxis.Screen2User(x), m_xAxis.Screen2User(x + 1));
}

CPoint GRAPH::RtnOrigin() const {
    return CPoint(m_xAxis.RtnOrigin(), m_yAxis.RtnOrigin());
}

SOFTCHAN* GRAPH::GetChan(int n) const {
    return m_pChannels ? m_pChannels->GetChan(n) : nullptr;
}

std::string GRAPH::GetChanName(int n) const {
    SOFTCHAN* ch = GetChan(n);
    return ch ? ch->GetName() : std::string();
}

std::string GRAPH::GetChanXUnits(int n) const {
    SOFTCHAN* ch = GetChan(n);
    return ch ? ch->GetXUnits() : std::string();
}

float GRAPH::GetChanDuration(int n) const {
    SOFTCHAN* ch = GetChan(n);
    return ch ? ch->GetDuration() : 0.0f;
}

float GRAPH::GetChanValRng(int n, float t0, float t1) const {
    SOFTCHAN* ch = GetChan(n);
    if (!ch) return 0.0f;
    return ch->GetRapidValRng(ch->IndexOfTime(t0), ch->IndexOfTime(t1) - 1, 1.0f,
                              PIXMODE(ch->nPixMode), ch->bAbs);
}

SOFTCHAN* GRAPH::GetRootChan(SOFTCHAN* ch) {
    // Sources are always channels added earlier, so the chain ends; the bound
    // only guards against a hand-made loop.
    for (int hops = 0; ch && ch->nSrcChan >= 0 && ch->pSrc && hops < 256; ++hops)
        ch = ch->pSrc;
    return ch;
}
