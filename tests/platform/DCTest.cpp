// The device context on an image: colour byte order, exclusive-or lines that
// restore the picture, arcs on their ellipse, alternate-fill polygon regions,
// rectangles without their right and bottom edges, and text.
#include "platform/DC.h"
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {
QImage Canvas(int w = 64, int h = 64) {
    QImage img(w, h, QImage::Format_RGB32);
    // A patterned background, so that exclusive-or is tested on more than white.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) & 0xFF));
    return img;
}
int CountRgb(const QImage& img, QRgb c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) == c;
    return n;
}
} // namespace

TEST(DC, ColoursAreBlueGreenRedWords) {
    QImage img = Canvas();
    CDC dc(&img);
    dc.SetPixel(3, 4, 0x00FF0000); // blue in the high byte
    EXPECT_EQ(img.pixel(3, 4), qRgb(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(3, 4), COLORREF(0x00FF0000));
    dc.SetPixel(5, 5, RGB(10, 20, 30));
    EXPECT_EQ(img.pixel(5, 5), qRgb(10, 20, 30));
}

TEST(DC, ExclusiveOrFiguresDrawnTwiceRestoreEveryPixel) {
    QImage img = Canvas();
    const QImage before = img.copy();
    CDC dc(&img);
    CPen pen(PS_SOLID, 1, RGB(200, 100, 50));
    dc.SelectObject(&pen);
    dc.SetROP2(R2_XORPEN);
    auto figure = [&] {
        dc.MoveTo(2, 60);
        dc.LineTo(61, 3); // steep and shallow segments share no end points twice
        dc.LineTo(61, 40);
        dc.LineTo(10, 45);
        dc.Arc(10, 10, 50, 40, 50, 25, 10, 25);
    };
    figure();
    EXPECT_NE(img, before);
    figure();
    EXPECT_EQ(img, before);
}

TEST(DC, LinesLeaveOutTheirEndPoint) {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    CDC dc(&img);
    dc.SelectStockObject(BLACK_PEN);
    dc.MoveTo(2, 5);
    dc.LineTo(12, 5);
    EXPECT_EQ(img.pixel(2, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(11, 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(12, 5), qRgb(255, 255, 255));
    EXPECT_EQ(CountRgb(img, qRgb(0, 0, 0)), 10);
    EXPECT_EQ(dc.GetCurrentPosition().x, 12);
}

TEST(DC, ArcPixelsLieOnTheEllipseInTheAskedQuarter) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    CDC dc(&img);
    dc.SelectStockObject(BLACK_PEN);
    // Counter-clockwise from the right (east) to the top (north): upper right quarter.
    dc.Arc(10, 10, 90, 90, 90, 50, 50, 10);
    int n = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            if (img.pixel(x, y) != qRgb(0, 0, 0)) continue;
            ++n;
            EXPECT_GE(x, 48) << x << "," << y;
            EXPECT_LE(y, 52) << x << "," << y;
            const double r = std::hypot(x + 0.5 - 50.0, y + 0.5 - 50.0);
            EXPECT_NEAR(r, 40.0, 2.0) << x << "," << y;
        }
    EXPECT_GT(n, 40); // a quarter of a circle of radius 40 is about 63 pixels long
}

TEST(DC, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    CDC dc(&img);
    CPen pen(PS_SOLID, 0, RGB(255, 0, 0));
    CBrush brush(RGB(0, 0, 255));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Rectangle(2, 2, 10, 8);
    EXPECT_EQ(img.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(9, 7), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(10, 8), qRgb(255, 255, 255)); // right and bottom edges excluded
    EXPECT_EQ(img.pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(CountRgb(img, qRgb(0, 0, 255)), 6 * 4);
}

TEST(DC, AlternateFillLeavesTheCentreOfAStarEmpty) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    CDC dc(&img);
    // A five-pointed star drawn as one self-crossing outline.
    CPoint pts[5];
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        pts[i] = CPoint(int(std::lround(50 + 45 * std::cos(a))),
                        int(std::lround(50 + 45 * std::sin(a))));
    }
    CBrush black(RGB(0, 0, 0));
    CRgn alt;
    ASSERT_TRUE(alt.CreatePolygonRgn(pts, 5, ALTERNATE));
    dc.FillRgn(&alt, &black);
    EXPECT_EQ(img.pixel(50, 52), qRgb(255, 255, 255)); // centre: crossed twice
    EXPECT_EQ(img.pixel(50, 15), qRgb(0, 0, 0));       // the top point
    img.fill(Qt::white);
    CRgn wind;
    ASSERT_TRUE(wind.CreatePolygonRgn(pts, 5, WINDING));
    dc.FillRgn(&wind, &black);
    EXPECT_EQ(img.pixel(50, 52), qRgb(0, 0, 0));
}

TEST(DC, TextIsDrawnInTheTextColourAndMeasured) {
    QImage img(120, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    CDC dc(&img);
    dc.SetTextColor(RGB(0, 128, 0));
    dc.SetBkMode(TRANSPARENT);
    const CSize ext = dc.GetTextExtent("Volume");
    EXPECT_GT(ext.cx, 20);
    EXPECT_GT(ext.cy, 6);
    EXPECT_GT(dc.GetTextExtent("VolumeVolume").cx, ext.cx);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    dc.TextOut(4, 4, "Volume");
    int minX = 1000, maxX = -1, n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (p == qRgb(255, 255, 255)) continue;
            EXPECT_EQ(p, qRgb(0, 128, 0)) << "text is drawn without antialiasing";
            minX = std::min(minX, x), maxX = std::max(maxX, x), ++n;
        }
    EXPECT_GT(n, 30);
    EXPECT_GE(minX, 4);
    EXPECT_LE(maxX, 4 + ext.cx);
}
