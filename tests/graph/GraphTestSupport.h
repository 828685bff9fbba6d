// Shared pieces of the graph tests: a channel over a plain vector of values,
// an image with a DC on it, and pixel queries.
#pragma once
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include <QImage>
#include <QRect>
#include <string>
#include <vector>

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

inline bool SameBox(const QImage& a, const QImage& b, QRect box) {
    box = box.intersected(a.rect()).intersected(b.rect());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

// True when the text drawn at (x, y) in the DC's default font and black, on
// white, gives exactly the pixels of img in the text's box (which must hold
// nothing else).
inline bool TextIsAt(const QImage& img, const std::string& text, int x, int y) {
    Canvas ref(img.width(), img.height());
    ref.dc.SetBkMode(TRANSPARENT);
    ref.dc.TextOut(x, y, text);
    const CSize sz = ref.dc.GetTextExtent(text);
    const QRect box(x, y, sz.cx, sz.cy);
    return CountColor(ref.img, 0, box) > 0 && SameBox(img, ref.img, box);
}

// Weaker than TextIsAt, for text that other drawing crosses: every pixel of
// the text drawn at (x, y) is black in img.
inline bool TextPixelsAt(const QImage& img, const std::string& text, int x, int y) {
    Canvas ref(img.width(), img.height());
    ref.dc.SetBkMode(TRANSPARENT);
    ref.dc.TextOut(x, y, text);
    int n = 0;
    for (int yy = 0; yy < img.height(); ++yy)
        for (int xx = 0; xx < img.width(); ++xx)
            if (ref.img.pixel(xx, yy) == Rgb(0)) {
                if (img.pixel(xx, yy) != Rgb(0)) return false;
                ++n;
            }
    return n > 0;
}
