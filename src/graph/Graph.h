// Draws channels of a channel list as curves over time into a DC: title, time
// axis, value axis, curves and legend. The axes are laid out anew on every
// drawing. A curve is reduced to one value per pixel column (column mode) when
// the view holds at least one sample per column, so long recordings draw in
// time proportional to the width; otherwise every sample is drawn (sample
// mode) as a line, a staircase or filled bars.
//
// Colours are 0x00BBGGRR; in a colour table entry 0 is the axes' colour and
// entry k the k-th curve's. Indices into a table are capped at 16, so a table
// of 17 entries serves any number of curves; the default table has 17.
#pragma once
#include "graph/AxisDraw.h"
#include "platform/Export.h"
#include "support/TypedArray.h"
#include <string>
#include <vector>

class CBrush;
class CDC;
class SOFTCHAN;
class SOFTCHANNELS;

class VOK_API GRAPH {
  public:
    static constexpr int kMaxColorIndex = 16;
    // Black axes, then red, blue and further distinct curve colours.
    static const COLORREF colors[kMaxColorIndex + 1];

    GRAPH();
    // The table must not be null and must hold every entry used (see above).
    GRAPH(SOFTCHANNELS* pChannels, const COLORREF* pColors, int nOption);
    GRAPH(const GRAPH&) = default;
    GRAPH& operator=(const GRAPH&) = default;
    virtual ~GRAPH() = default;

    // Stores the list and the table; the default table when pColors is null.
    void Attach(SOFTCHANNELS* pChannels, const COLORREF* pColors = nullptr);
    void SetHistogram(int b) { m_bHistogram = b; }
    void SetFill(int b) { m_bFill = b; }

    // The whole graph: axes in colour 0, curve i in colour min(i + 1, 16), the
    // legend under the plot. A value range up to 0.000001 wide means
    // automatic. Channel numbers the list does not hold draw nothing. Returns 1.
    int DrawGraph(CDC* pDC, const CRect& rect, const INT_ARRAY& chans, const std::string& title,
                  const std::vector<std::string>& legend, const CRngFlt& timeRange,
                  const CRngFlt& valueRange, const float* pExtra = nullptr);
    // The plot rectangle inside rect (margins for the labels and the title).
    CRect GetAxiesRect(CDC* pDC, const CRect& rect, int nOption = 2) const;
    // Title, layout of both axes, both axes.
    void DrawAxies(CDC* pDC, const CRect& plot, const INT_ARRAY& chans, const std::string& title,
                   const CRngFlt& timeRange, const CRngFlt& valueRange);
    // One curve with the axes as last laid out; nothing for an unknown channel.
    void DrawCurve(CDC* pDC, int nChan, const CRngFlt& timeRange, COLORREF color,
                   const float* pExtra = nullptr);
    void DrawCurves(CDC* pDC, const INT_ARRAY& chans, const CRngFlt& timeRange);
    // Legend line with its top at y, centred under the time axis.
    void DisplayLegend(CDC* pDC, int y, const std::vector<std::string>& names);

    // Value range of one channel over the columns of the time range; (1e8, -1e8)
    // for an empty span.
    CRngFlt CalcDataRange(int nChan, const CRngFlt& timeRange);
    // Over several channels (-1 entries skipped); always reaches 0 within 1e-8.
    CRngFlt CalcDataRange(const INT_ARRAY& chans, const CRngFlt& timeRange);
    // Value of pixel column x of a channel.
    float GetVal(int nChan, long x);
    CPoint RtnOrigin() const;

    // Channel-list queries; empty, 0.0 or null for a number the list does not hold.
    SOFTCHAN* GetChan(int n) const;
    std::string GetChanName(int n) const;
    std::string GetChanXUnits(int n) const;
    float GetChanDuration(int n) const;
    float GetChanValRng(int n, float t0, float t1) const;
    // The first channel without a source, following pSrc from ch.
    static SOFTCHAN* GetRootChan(SOFTCHAN* ch);

    X_AXIS m_xAxis;
    Y_AXIS m_yAxis;
    std::string m_strName; // carried along with the graph, not drawn
    SOFTCHANNELS* m_pChannels = nullptr;
    const COLORREF* m_pColors = colors;
    int m_nInit = 1;
    int m_nOption = 0;
    int m_bHistogram = 0;
    int m_bFill = 0;

  private:
    COLORREF Color(int k) const;
    void DrawColumns(CDC* pDC, int nChan, int x0, int x1, int y0);
    void DrawSamples(CDC* pDC, SOFTCHAN* ch, long i0, long i1, int y0, CBrush* pBrush);
};
