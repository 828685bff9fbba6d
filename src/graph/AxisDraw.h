// The drawn graph axes. X_AXIS draws the horizontal time axis (line, tick
// marks, labels under the marks, units text after the last label) and records
// its arguments so that ReDraw can repeat it; Y_AXIS draws the vertical value
// axis with labels left of the marks and the units above the plot. Both draw
// with a one-pixel pen in the given colour and the DC's current font, text
// colour and background mode, and leave the DC's pen as they found it.
#pragma once
#include "graph/Axis.h"
#include "platform/Export.h"
#include "platform/WinTypes.h"

class CDC;

class VOK_API X_AXIS : public AXIS {
  public:
    X_AXIS();
    X_AXIS(const X_AXIS&) = default;
    X_AXIS& operator=(const X_AXIS&) = default;

    // Draws the axis at y = nPos (rect is not used). Without bShowOrigin tick 0
    // gets neither mark nor label, and a range not including 0 gets the break
    // symbol half an interval from the start.
    void DrawAxis(CDC* pDC, const CRect& rect, int nPos, const std::string& units, int bShowOrigin,
                  COLORREF color, int bNoLabels);
    // Repeats the last DrawAxis with a transparent background.
    void ReDraw(CDC* pDC);
    // Label of tick i ("%-12.3f", trimmed).
    std::string TickLabel(int i) const;

    int m_nAxisPos = 0;
    int m_bShowOrigin = 1;
    int m_bNoLabels = 0;
    COLORREF m_crAxis = 0;
};

class VOK_API Y_AXIS : public AXIS {
  public:
    Y_AXIS();
    Y_AXIS(const Y_AXIS&) = default;
    Y_AXIS& operator=(const Y_AXIS&) = default;

    // Draws the axis at x = nPos; of rect only the top is used (for the units
    // text). With bAbsLabels negative tick values are labelled without sign.
    void DrawAxis(CDC* pDC, const CRect& rect, int nPos, const std::string& units, int bShowOrigin,
                  COLORREF color, int bAbsLabels);
    // Label of tick i: "%-12.2e" below 0.001 (but not for 0), else "%-12.3f",
    // trimmed; empty when a zero tick gets no label (bShowOrigin 0).
    std::string TickLabel(int i, int bShowOrigin, int bAbsLabels) const;
    // Text lines the axis needs below the plot: 1 when the first tick is negative, else 2.
    int GetNLinesAtBottom() const { return m_f1stTick < 0.0f ? 1 : 2; }
};
