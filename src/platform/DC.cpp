#include "platform/DC.h"
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>

namespace {
QRgb toRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
COLORREF fromRgb(QRgb p) {
    return RGB(qRed(p), qGreen(p), qBlue(p));
}
} // namespace

CDC::CDC(QImage* image)
    : m_pImage(image), m_pPen(static_cast<CPen*>(GetStockObject(BLACK_PEN))),
      m_pBrush(static_cast<CBrush*>(GetStockObject(WHITE_BRUSH))),
      m_pFont(static_cast<CFont*>(GetStockObject(SYSTEM_FONT))) {}

CDC::~CDC() {
    if (m_release) m_release();
}

CPen* CDC::SelectObject(CPen* pen) {
    CPen* old = m_pPen;
    if (pen) m_pPen = pen;
    return old;
}
CBrush* CDC::SelectObject(CBrush* brush) {
    CBrush* old = m_pBrush;
    if (brush) m_pBrush = brush;
    return old;
}
CFont* CDC::SelectObject(CFont* font) {
    CFont* old = m_pFont;
    if (font && font->IsValid()) m_pFont = font;
    return old;
}
CGdiObject* CDC::SelectObject(CGdiObject* obj) {
    if (!obj) return nullptr;
    switch (obj->kind()) {
    case CGdiObject::Pen:
        return SelectObject(static_cast<CPen*>(obj));
    case CGdiObject::Brush:
        return SelectObject(static_cast<CBrush*>(obj));
    case CGdiObject::Font:
        return SelectObject(static_cast<CFont*>(obj));
    default:
        return nullptr;
    }
}
CGdiObject* CDC::SelectStockObject(int index) {
    return SelectObject(GetStockObject(index));
}

int CDC::SetROP2(int mode) {
    return std::exchange(m_nRop, mode);
}
int CDC::SetBkMode(int mode) {
    return std::exchange(m_nBkMode, mode);
}
COLORREF CDC::SetBkColor(COLORREF c) {
    return std::exchange(m_crBk, c & 0xFFFFFF);
}
COLORREF CDC::SetTextColor(COLORREF c) {
    return std::exchange(m_crText, c & 0xFFFFFF);
}

void CDC::plot(int x, int y, COLORREF c) {
    if (!m_pImage || x < 0 || y < 0 || x >= m_pImage->width() || y >= m_pImage->height()) return;
    QRgb* row = reinterpret_cast<QRgb*>(m_pImage->scanLine(y));
    if (m_nRop == R2_XORPEN)
        row[x] = (row[x] ^ toRgb(c)) | 0xFF000000u;
    else
        row[x] = toRgb(c);
}

void CDC::SetPixel(int x, int y, COLORREF c) {
    int rop = std::exchange(m_nRop, R2_COPYPEN);
    plot(x, y, c);
    m_nRop = rop;
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (!m_pImage || !m_pImage->valid(x, y)) return 0xFFFFFFFF;
    return fromRgb(m_pImage->pixel(x, y));
}

bool CDC::penDraws() const {
    return m_pPen && m_pPen->m_nStyle != PS_NULL;
}

// Bresenham from (x0, y0) up to, not including, (x1, y1): every pixel once.
// A line reaching far outside the image (a value far off its axis) is first
// clipped to the image and a one-pixel margin, so its cost stays bounded by
// the image size; the clipped end lies in the margin, outside the image.
void CDC::line(int x0, int y0, int x1, int y1, COLORREF c) {
    if (!m_pImage) return;
    const int w = m_pImage->width(), h = m_pImage->height();
    constexpr int kFar = 16384;
    auto far = [&](int x, int y) { return x < -kFar || y < -kFar || x > w + kFar || y > h + kFar; };
    if (far(x0, y0) || far(x1, y1)) {
        // Liang-Barsky against [-1, w] x [-1, h].
        const double dx = double(x1) - x0, dy = double(y1) - y0;
        double t0 = 0.0, t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {double(x0) + 1, double(w) - x0, double(y0) + 1, double(h) - y0};
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0.0) {
                if (q[k] < 0.0) return; // parallel and outside
                continue;
            }
            const double r = q[k] / p[k];
            if (p[k] < 0.0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        if (t0 > t1) return;
        const int cx0 = int(std::lround(x0 + t0 * dx)), cy0 = int(std::lround(y0 + t0 * dy));
        const int cx1 = int(std::lround(x0 + t1 * dx)), cy1 = int(std::lround(y0 + t1 * dy));
        const bool endInside = t1 >= 1.0;
        x0 = cx0, y0 = cy0;
        if (!endInside) {
            // Include the clipped end: it is in the margin, so nothing visible changes,
            // but a line clipped at both ends to one point still is well defined.
            line(x0, y0, cx1, cy1, c);
            plot(cx1, cy1, c);
            return;
        }
    }
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        plot(x0, y0, c);
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

// Pixels xa .. xb - 1 of row y through the raster operation, clipped to the image.
void CDC::span(int y, int xa, int xb, COLORREF c) {
    if (!m_pImage || y < 0 || y >= m_pImage->height()) return;
    xa = std::max(xa, 0);
    xb = std::min(xb, m_pImage->width());
    if (xa >= xb) return;
    QRgb* row = reinterpret_cast<QRgb*>(m_pImage->scanLine(y));
    const QRgb v = toRgb(c);
    if (m_nRop == R2_XORPEN)
        for (int x = xa; x < xb; ++x)
            row[x] = (row[x] ^ v) | 0xFF000000u;
    else
        std::fill(row + xa, row + xb, v);
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(m_pos, CPoint(x, y));
}

bool CDC::LineTo(int x, int y) {
    if (penDraws()) line(m_pos.x, m_pos.y, x, y, m_pPen->m_color);
    m_pos = CPoint(x, y);
    return true;
}

bool CDC::Polyline(const CPoint* points, int count) {
    if (count < 2) return false;
    CPoint keep = m_pos;
    MoveTo(points[0]);
    for (int i = 1; i < count; ++i)
        LineTo(points[i]);
    m_pos = keep;
    return true;
}

bool CDC::Arc(int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    if (!penDraws() || r == l || b == t) return true;
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    const double a = (std::abs(r - l) - 1) / 2.0, e = (std::abs(b - t) - 1) / 2.0;
    // Angles measured counter-clockwise on the screen (y grows downwards).
    double s = std::atan2(-(y3 - cy), x3 - cx), f = std::atan2(-(y4 - cy), x4 - cx);
    if (f <= s) f += 2 * std::numbers::pi;
    const int steps = std::max(16, int((a + e) * 8));
    std::set<std::pair<int, int>> seen; // each pixel once, so exclusive-or undoes it
    for (int i = 0; i <= steps; ++i) {
        double ang = s + (f - s) * i / steps;
        int px = int(std::lround(cx + a * std::cos(ang) - 0.5));
        int py = int(std::lround(cy - e * std::sin(ang) - 0.5));
        if (seen.insert({px, py}).second) plot(px, py, m_pPen->m_color);
    }
    return true;
}

bool CDC::Rectangle(int l, int t, int r, int b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (!m_pImage) return true;
    const bool outline = penDraws();
    const int in = outline ? 1 : 0;
    const int yTop = std::max(t + in, 0), yEnd = std::min(b - in, m_pImage->height());
    if (m_pBrush && m_pBrush->m_nStyle != BS_NULL)
        for (int y = yTop; y < yEnd; ++y)
            span(y, l + in, r - in, m_pBrush->m_color);
    if (outline && r > l && b > t) {
        COLORREF c = m_pPen->m_color;
        span(t, l, r, c);
        if (b - 1 > t) span(b - 1, l, r, c);
        const int ya = std::max(t + 1, 0), yb = std::min(b - 1, m_pImage->height());
        for (int y = ya; y < yb; ++y) {
            plot(l, y, c);
            if (r - 1 > l) plot(r - 1, y, c);
        }
    }
    return true;
}

void CDC::FillSolidRect(const CRect& r, COLORREF c) {
    if (!m_pImage) return;
    int rop = std::exchange(m_nRop, R2_COPYPEN);
    const int ya = std::max(r.top, 0), yb = std::min(r.bottom, m_pImage->height());
    for (int y = ya; y < yb; ++y)
        span(y, r.left, r.right, c);
    m_nRop = rop;
}

bool CDC::FillRgn(CRgn* rgn, CBrush* brush) {
    if (!m_pImage || !rgn || !rgn->IsValid() || !brush || brush->m_nStyle == BS_NULL) return false;
    QPainter p(m_pImage);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(rgn->path(), QColor(toRgb(brush->m_color)));
    return true;
}

bool CDC::TextOut(int x, int y, const std::string& text) {
    if (!m_pImage || text.empty()) return true;
    const QString s = QString::fromStdString(text);
    QPainter p(m_pImage);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(m_pFont->qfont());
    QFontMetrics fm(m_pFont->qfont());
    if (m_nBkMode == OPAQUE)
        p.fillRect(x, y, fm.horizontalAdvance(s), fm.height(), QColor(toRgb(m_crBk)));
    p.setPen(QColor(toRgb(m_crText)));
    p.drawText(x, y + fm.ascent(), s);
    return true;
}

CSize CDC::GetTextExtent(const std::string& text) const {
    QFontMetrics fm(m_pFont->qfont());
    return CSize(fm.horizontalAdvance(QString::fromStdString(text)), fm.height());
}

bool CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    if (!tm) return false;
    QFontMetrics fm(m_pFont->qfont());
    tm->tmHeight = fm.height();
    tm->tmAscent = fm.ascent();
    tm->tmDescent = fm.descent();
    tm->tmInternalLeading = std::max(0, fm.height() - m_pFont->qfont().pixelSize());
    tm->tmExternalLeading = std::max(0, fm.leading());
    tm->tmAveCharWidth = fm.averageCharWidth();
    tm->tmMaxCharWidth = fm.maxWidth();
    return true;
}
