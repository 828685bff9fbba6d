#include "graph/AxisDraw.h"
#include "GraphTestSupport.h"
#include <gtest/gtest.h>

namespace {
// Black pixels just above a horizontal axis at row y near its start: the upper
// arcs of the break symbol, when there is one.
int BreakPixels(const QImage& img, int left, int y) {
    return CountColor(img, kBlack, QRect(left + 1, y - 7, 150, 7));
}

// A white canvas with a transparent background for the labels.
struct Sheet : Canvas {
    Sheet(int w, int h) : Canvas(w, h) { dc.SetBkMode(TRANSPARENT); }
};
} // namespace

TEST(XAxisDraw, MarksLabelsAndUnits) {
    Sheet c(600, 200);
    X_AXIS x;
    x.CalcLayout(CRngInt(40, 440), CRngFlt(0, 1));
    ASSERT_EQ(x.m_nTicks, 2);
    CPen* before = c.dc.GetCurrentPen();
    x.DrawAxis(&c.dc, CRect{40, 20, 440, 100}, 100, "Sec", 1, kBlack, 0);
    EXPECT_EQ(c.dc.GetCurrentPen(), before);

    // The line runs 10 pixels past the last tick.
    EXPECT_TRUE(Is(c.img, 40, 100, kBlack));
    EXPECT_TRUE(Is(c.img, 449, 100, kBlack));
    EXPECT_FALSE(Is(c.img, 450, 100, kBlack));
    const int labelTop = 100 + (c.dc.GetTextExtent("X").cy + 2) / 4;
    const char* labels[] = {"0.0", "0.5", "1.0"};
    for (int i = 0; i <= 2; ++i) {
        const int xm = 40 + 200 * i;
        EXPECT_TRUE(Is(c.img, xm, 97, kBlack) && Is(c.img, xm, 102, kBlack)) << i;
        EXPECT_FALSE(Is(c.img, xm, 96, kBlack)) << i;
        const int w = c.dc.GetTextExtent(labels[i]).cx;
        EXPECT_TRUE(TextIsAt(c.img, labels[i], xm - w / 2, labelTop)) << labels[i];
    }
    const int lastW = c.dc.GetTextExtent("1.0").cx;
    EXPECT_TRUE(TextIsAt(c.img, "Sec", 440 + lastW / 2 + 10, labelTop));
    EXPECT_EQ(x.m_nAxisPos, 100);
    EXPECT_EQ(BreakPixels(c.img, 40, 100), 0);
}

TEST(XAxisDraw, HiddenOriginAndBreakSymbol) {
    X_AXIS x;
    // 2 .. 4 excludes zero: tick 0 is hidden and the line shows a break.
    Sheet a(600, 200);
    x.CalcLayout(CRngInt(40, 440), CRngFlt(2, 4));
    ASSERT_FLOAT_EQ(x.m_f1stTick, 2.0f);
    x.DrawAxis(&a.dc, CRect{}, 100, "", 0, kBlack, 0);
    EXPECT_FALSE(Is(a.img, 40, 97, kBlack)); // no mark at tick 0
    const int w = a.dc.GetTextExtent("2.0").cx;
    EXPECT_EQ(CountColor(a.img, kBlack, QRect(40 - w, 103, 2 * w, 20)), 0); // nor a label
    EXPECT_GT(BreakPixels(a.img, 40, 100), 4);
    EXPECT_TRUE(Is(a.img, 240, 97, kBlack)); // tick 1 is drawn

    // 0 .. 2 includes zero: hidden tick 0 but no break.
    Canvas b(600, 200);
    x.CalcLayout(CRngInt(40, 440), CRngFlt(0, 2));
    x.DrawAxis(&b.dc, CRect{}, 100, "", 0, kBlack, 0);
    EXPECT_FALSE(Is(b.img, 40, 97, kBlack));
    EXPECT_EQ(BreakPixels(b.img, 40, 100), 0);

    // An end within 0.000001 of zero counts as zero: no break either.
    Canvas n(600, 200);
    x.m_f1stTick = -1.0f;
    x.m_fTickStep = 0.49999975f;
    x.m_nTicks = 2;
    x.m_fUnitsPerPixel = 2 * x.m_fTickStep / 400;
    x.DrawAxis(&n.dc, CRect{}, 100, "", 0, kBlack, 0);
    EXPECT_EQ(BreakPixels(n.img, 40, 100), 0);
    EXPECT_TRUE(Is(n.img, 40, 100, kBlack));
}

TEST(XAxisDraw, NoLabelsAndReDrawRepeatsExactly) {
    X_AXIS x;
    x.CalcLayout(CRngInt(30, 330), CRngFlt(0, 3));
    Sheet a(500, 150);
    Canvas b(500, 150), plain(500, 150);
    x.DrawAxis(&a.dc, CRect{}, 70, "Sec", 1, kRed, 0);
    EXPECT_GT(CountColor(a.img, kRed), 300);
    x.ReDraw(&b.dc); // on an opaque DC, which it leaves so
    EXPECT_EQ(b.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(a.img, b.img);

    x.DrawAxis(&plain.dc, CRect{}, 70, "", 1, kRed, 1);
    EXPECT_EQ(CountColor(plain.img, kBlack), 0); // marks and line only, in red
    EXPECT_GT(CountColor(plain.img, kRed), 300);
}

TEST(YAxisDraw, LineMarksLabelsAndUnits) {
    Sheet c(400, 400);
    Y_AXIS y;
    y.CalcLayout(CRngInt(300, 60), CRngFlt(0, 10));
    ASSERT_EQ(y.m_nTicks, 2);
    CPen* before = c.dc.GetCurrentPen();
    y.DrawAxis(&c.dc, CRect{100, 60, 380, 300}, 100, "Volume", 1, kBlack, 0);
    EXPECT_EQ(c.dc.GetCurrentPen(), before);

    EXPECT_TRUE(Is(c.img, 100, 305, kBlack)); // 5 pixels beyond the plot
    EXPECT_TRUE(Is(c.img, 100, 56, kBlack));
    EXPECT_FALSE(Is(c.img, 100, 55, kBlack));
    const char* labels[] = {"0.0", "5.0", "10.0"};
    const int rows[] = {300, 180, 60};
    for (int i = 0; i <= 2; ++i) {
        EXPECT_TRUE(Is(c.img, 97, rows[i], kBlack) && Is(c.img, 102, rows[i], kBlack)) << i;
        const CSize sz = c.dc.GetTextExtent(labels[i]);
        EXPECT_TRUE(TextIsAt(c.img, labels[i], 100 - sz.cx - 5, rows[i] - sz.cy / 2)) << labels[i];
    }
    const CSize su = c.dc.GetTextExtent("Volume");
    EXPECT_TRUE(TextIsAt(c.img, "Volume", 100 - su.cx - 5, std::max(60 - 3 * su.cy / 2 - 1, 0)));
}

TEST(YAxisDraw, SmallValuesAbsoluteLabelsAndCrampedSpace) {
    Sheet c(400, 400);
    Y_AXIS y;
    y.m_rngScreen = CRngInt(300, 60);
    y.m_f1stTick = 0.0f;
    y.m_fTickStep = 0.0005f;
    y.m_nTicks = 4;
    y.m_fUnitsPerPixel = 0.002f / -240.0f;
    y.DrawAxis(&c.dc, CRect{200, 60, 380, 300}, 200, "", 1, kBlack, 0);
    for (auto [text, row] : {std::pair("5.00e-04", 240), std::pair("0.002", 60)}) {
        const CSize sz = c.dc.GetTextExtent(text);
        EXPECT_TRUE(TextIsAt(c.img, text, 200 - sz.cx - 5, row - sz.cy / 2)) << text;
    }

    // Negative ticks without sign; labels that do not fit start at x = 0, and
    // the units text never starts left of 2 or above 0.
    Sheet d(400, 400);
    y.CalcLayout(CRngInt(300, 200), CRngFlt(-2, 2));
    ASSERT_FLOAT_EQ(y.m_f1stTick, -2.0f);
    y.DrawAxis(&d.dc, CRect{10, 5, 380, 300}, 10, "Volume", 1, kBlack, 1);
    const int half = d.dc.GetTextExtent("2.0").cy / 2;
    // The axis and its marks cross these labels, so only the text's own pixels are compared.
    EXPECT_TRUE(TextPixelsAt(d.img, "2.0", 0, 300 - half)); // tick -2
    EXPECT_TRUE(TextPixelsAt(d.img, "2.0", 0, 200 - half)); // tick 2
    EXPECT_TRUE(TextIsAt(d.img, "Volume", 2, 0));
}
