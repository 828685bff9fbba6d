// A device context drawing into an image with pixel-exact results: lines,
// rectangles and arcs are rasterised here so that the exclusive-or raster
// operation restores every pixel when the same figure is drawn twice. Lines
// leave out their end point. Text is drawn without antialiasing.
#pragma once
#include "platform/GdiObjects.h"
#include <functional>
#include <string>

class QImage;

enum : int { R2_XORPEN = 7, R2_COPYPEN = 13 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

struct TEXTMETRIC {
    int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0;
    int tmExternalLeading = 0, tmAveCharWidth = 0, tmMaxCharWidth = 0;
};

class CDC {
  public:
    explicit CDC(QImage* image);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    // Runs when the DC is destroyed (a window DC shows its drawing then).
    void SetReleaseHook(std::function<void()> hook) { m_release = std::move(hook); }
    QImage* GetImage() const { return m_pImage; }

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectObject(CGdiObject* obj);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const { return m_pPen; }
    CBrush* GetCurrentBrush() const { return m_pBrush; }
    CFont* GetCurrentFont() const { return m_pFont; }

    int SetROP2(int mode);
    int GetROP2() const { return m_nRop; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_nBkMode; }
    COLORREF SetBkColor(COLORREF c);
    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const { return m_crText; }

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    bool LineTo(int x, int y);
    bool LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_pos; }
    // Elliptic arc in the box (l, t)-(r, b), counter-clockwise from the
    // direction of (x3, y3) to that of (x4, y4) seen from the centre.
    bool Arc(int l, int t, int r, int b, int x3, int y3, int x4, int y4);
    // Outline with the pen, inside with the brush; right and bottom edges excluded.
    bool Rectangle(int l, int t, int r, int b);
    bool Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    void FillSolidRect(const CRect& r, COLORREF c);
    bool FillRgn(CRgn* rgn, CBrush* brush);
    bool Polyline(const CPoint* points, int count);
    void SetPixel(int x, int y, COLORREF c);
    COLORREF GetPixel(int x, int y) const;

    bool TextOut(int x, int y, const std::string& text);
    CSize GetTextExtent(const std::string& text) const;
    bool GetTextMetrics(TEXTMETRIC* tm) const;

  private:
    void plot(int x, int y, COLORREF c); // through the raster operation
    void line(int x0, int y0, int x1, int y1, COLORREF c);
    void span(int y, int xa, int xb, COLORREF c); // row y, xa .. xb - 1
    bool penDraws() const;

    QImage* m_pImage;
    CPen* m_pPen;
    CBrush* m_pBrush;
    CFont* m_pFont;
    int m_nRop = R2_COPYPEN, m_nBkMode = OPAQUE;
    COLORREF m_crBk = RGB(255, 255, 255), m_crText = 0;
    CPoint m_pos;
    std::function<void()> m_release;
};
