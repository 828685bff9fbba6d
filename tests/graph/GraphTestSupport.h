// Shared pieces of the graph tests: a channel over a plain vector of values,
// an image with a DC on it, and pixel queries.
#pragma once
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include <QImage>
#include <QRect>
#include <string>
#include <vector>

constexpr COLORREF kBlack = 0, kRed = 0x0000FF, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// A channel holding its values itself; every column reads its first element
// (PIX_FIRST), as the channels the recorder makes do.
class VecChan : public SOFTCHAN {
  public:
    VecChan(int chan, std::vector<float> values, float dt, const std::string& name = "Test")
        : SOFTCHAN(chan, -1, long(values.size()), dt, 0, 1.0f, 1.0f, PIX_FIRST),
          vals(std::move(values)) {
        strName = name;
    }
    float GetVal(long i) override {
        return (i < 0 || i >= long(vals.size())) ? NO_VAL : vals[size_t(i)];
    }
    float GetRapidValRng(long a, long, float, PIXMODE, int) override { return GetVal(a); }
    std::vector<float> vals;
};

struct Canvas {
    QImage img;
    CDC dc;
    Canvas(int w, int h) : img(w, h, QImage::Format_RGB32), dc(&img) { img.fill(Qt::white); }
};

inline QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline bool Is(const QImage& img, int x, int y, COLORREF c) {
    return img.valid(x, y) && img.pixel(x, y) == Rgb(c);
}

inline int CountColor(const QImage& img, COLORREF c, QRect box = QRect()) {
    if (box.isNull()) box = img.rect();
    box = box.intersected(img.rect());
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (img.pixel(x, y) == Rgb(c)) ++n;
    return n;
}

// Smallest box holding every pixel of colour c; null when there is none.
inline QRect BoundsOf(const QImage& img, COLORREF c) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == Rgb(c)) r = r.united(QRect(x, y, 1, 1));
    return r;
}

// Compares img with the text drawn at (x, y) in the DC's default font, black
// on white. Exact: the text's box (which must hold nothing else) matches pixel
// for pixel. Otherwise, for text that other drawing crosses: every pixel of
// the text is black in img.
inline bool TextMatches(const QImage& img, const std::string& text, int x, int y, bool exact) {
    Canvas ref(img.width(), img.height());
    ref.dc.SetBkMode(TRANSPARENT);
    ref.dc.TextOut(x, y, text);
    const CSize sz = ref.dc.GetTextExtent(text);
    const QRect box = exact ? QRect(x, y, sz.cx, sz.cy).intersected(img.rect()) : img.rect();
    int n = 0;
    for (int yy = box.top(); yy <= box.bottom(); ++yy)
        for (int xx = box.left(); xx <= box.right(); ++xx) {
            const bool ink = ref.img.pixel(xx, yy) == Rgb(kBlack);
            n += ink;
            if ((exact || ink) && img.pixel(xx, yy) != ref.img.pixel(xx, yy)) return false;
        }
    return n > 0;
}
inline bool TextIsAt(const QImage& img, const std::string& text, int x, int y) {
    return TextMatches(img, text, x, y, true);
}
inline bool TextPixelsAt(const QImage& img, const std::string& text, int x, int y) {
    return TextMatches(img, text, x, y, false);
}
