#include "graph/AxisDraw.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
struct Ticks {
    float first = 0, step = 0;
    int n = 0;
};
Ticks Calc(float lo, float hi, int n) {
    Ticks t;
    AXIS().CalcTicks(CRngFlt(lo, hi), n, t.first, t.step, t.n);
    return t;
}
} // namespace

TEST(AxisTicks, UnitRangeTriesThreeCountsAndKeepsTheFirstExactFit) {
    const Ticks t3 = Calc(0, 1, 3), t4 = Calc(0, 1, 4), t5 = Calc(0, 1, 5);
    EXPECT_FLOAT_EQ(t3.step, 0.5f);
    EXPECT_EQ(t3.n, 2);
    EXPECT_FLOAT_EQ(t4.step, 0.25f);
    EXPECT_EQ(t4.n, 4);
    EXPECT_FLOAT_EQ(t5.step, 0.2f);
    EXPECT_EQ(t5.n, 5);

    X_AXIS x; // tries 3, 4 and 5
    EXPECT_EQ(x.m_nMaxTicks, 5);
    x.CalcLayout(CRngInt(0, 600), CRngFlt(0, 1));
    EXPECT_EQ(x.m_nTicks, 2);
    EXPECT_FLOAT_EQ(x.m_fTickStep, 0.5f);
    EXPECT_FLOAT_EQ(x.m_f1stTick, 0.0f);
    EXPECT_FLOAT_EQ(x.m_fUnitsPerPixel, 1.0f / 600);
    EXPECT_EQ(x.TickOffset(1), 300);
    EXPECT_EQ(x.TickOffset(2), 600); // the last tick lands on Hi
}

TEST(AxisTicks, VerticalAxisZeroToTen) {
    Y_AXIS y;
    EXPECT_EQ(y.m_nMaxTicks, 4);
    y.CalcLayout(CRngInt(300, 20), CRngFlt(0, 10));
    EXPECT_EQ(y.m_nTicks, 2);
    EXPECT_FLOAT_EQ(y.m_fTickStep, 5.0f);
    EXPECT_FLOAT_EQ(y.m_f1stTick, 0.0f);
}

TEST(AxisTicks, NegativeStartRoundsDownToTheNextTick) {
    const Ticks t = Calc(-0.3f, 0.7f, 3);
    EXPECT_FLOAT_EQ(t.step, 0.5f);
    EXPECT_FLOAT_EQ(t.first, -0.5f);
    EXPECT_EQ(t.n, 3); // -0.5 .. 1.0

    const Ticks exact = Calc(-1.0f, 1.0f, 3);
    EXPECT_FLOAT_EQ(exact.first, -1.0f); // an exact multiple is kept
    const Ticks near = Calc(-1.004f, 1.0f, 3);
    EXPECT_FLOAT_EQ(near.first, -1.0f); // within 1 % of a tick: no correction
}

TEST(AxisTicks, NarrowEmptyAndReversedRangesUseTheSmallestStep) {
    for (const CRngFlt& r : {CRngFlt(1.0f, 1.0000005f), CRngFlt(2, 2), CRngFlt(5, 1)}) {
        float first = 0, step = 0;
        int n = 0;
        AXIS().CalcTicks(r, 3, first, step, n);
        EXPECT_FLOAT_EQ(step, 0.000001f) << r.Lo << " " << r.Hi;
        EXPECT_GE(n, 1);
    }
    X_AXIS x;
    x.CalcLayout(CRngInt(0, 100), CRngFlt(5, 1));
    EXPECT_GE(x.m_nTicks, 1);
    EXPECT_TRUE(std::isfinite(x.m_fUnitsPerPixel));
}

TEST(AxisTicks, UnusableRangesStillGiveAFiniteLayout) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const CRngFlt& r :
         {CRngFlt(0, inf), CRngFlt(-inf, 0), CRngFlt(nan, 1), CRngFlt(-3e38f, 3e38f)}) {
        Y_AXIS y;
        y.CalcLayout(CRngInt(300, 20), r);
        EXPECT_GE(y.m_nTicks, 1);
        EXPECT_TRUE(std::isfinite(y.m_fTickStep));
        EXPECT_TRUE(std::isfinite(y.m_fUnitsPerPixel));
        y.User2Screen(1e30f); // stays a drawable pixel number
        y.RtnOrigin();
    }
}

TEST(AxisScale, ReversedPixelRangeMapsLargerValuesUpwards) {
    Y_AXIS y;
    y.CalcLayout(CRngInt(300, 20), CRngFlt(0, 10));
    EXPECT_LT(y.m_fUnitsPerPixel, 0.0f);
    EXPECT_EQ(y.User2Screen(y.m_f1stTick), 300);
    EXPECT_EQ(y.User2Screen(10.0f), 20);
    EXPECT_LT(y.User2Screen(6.0f), y.User2Screen(5.0f));
    EXPECT_EQ(y.RtnOrigin(), 300);
    EXPECT_NEAR(y.Screen2User(160), 5.0f, 1e-5);
}

TEST(AxisScale, ZeroWidthPixelRangeCountsAsOnePixel) {
    AXIS a;
    a.m_nMaxTicks = 4;
    a.CalcLayout(CRngInt(50, 50), CRngFlt(0, 10));
    EXPECT_FLOAT_EQ(a.m_fUnitsPerPixel, float(a.m_nTicks) * a.m_fTickStep);
}

TEST(AxisScale, User2ScreenTruncatesAndRtnOriginRounds) {
    X_AXIS x;
    x.CalcLayout(CRngInt(0, 100), CRngFlt(0, 100)); // one unit per pixel
    ASSERT_FLOAT_EQ(x.m_fUnitsPerPixel, 1.0f);
    EXPECT_EQ(x.User2Screen(10.9f), 10);
    EXPECT_EQ(x.User2Screen(-0.5f), 0);
    EXPECT_EQ(x.User2Screen(-1.5f), -1);
    EXPECT_FLOAT_EQ(x.Screen2User(37), 37.0f);

    x.m_f1stTick = -10.6f; // value 0 lies at 10.6 pixels
    EXPECT_EQ(x.User2Screen(0.0f), 10);
    EXPECT_EQ(x.RtnOrigin(), 11);
}

TEST(AxisScale, IsZero1st) {
    AXIS a;
    a.m_f1stTick = 0.000009f;
    EXPECT_EQ(a.IsZero1st(), 1);
    a.m_f1stTick = -0.000009f;
    EXPECT_EQ(a.IsZero1st(), 1);
    a.m_f1stTick = 0.00002f;
    EXPECT_EQ(a.IsZero1st(), 0);
}

TEST(AxisScale, DefaultsCopiesAndUnits) {
    AXIS a;
    EXPECT_EQ(a.m_nTicks, 5);
    EXPECT_EQ(a.m_nMaxTicks, 0);
    EXPECT_EQ(a.m_nScreenSize, 640);
    // Without counts to try the layout uses 3 wanted intervals.
    a.CalcLayout(CRngInt(0, 300), CRngFlt(0, 1));
    EXPECT_FLOAT_EQ(a.m_fTickStep, 0.5f);
    a.SetUnitsString("Sec");
    AXIS b = a;
    EXPECT_EQ(b.GetUnitsString(), "Sec");
    EXPECT_EQ(b.GetRngScreen().Hi, 300);
    b.SetUnitsString("x");
    EXPECT_EQ(a.GetUnitsString(), "Sec");

    X_AXIS x;
    x.m_nAxisPos = 7;
    X_AXIS x2(x);
    EXPECT_EQ(x2.m_nAxisPos, 7);
    EXPECT_EQ(x2.m_nDefTicks, 5);
    EXPECT_EQ(Y_AXIS().m_nDefTicks, 4);
}

TEST(AxisLabels, FormatAndTrim) {
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 1.5), "1.5");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 2), "2.0");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 10), "10.0");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 0), "0.0");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", -0.25), "-0.25");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 1234.5678), "1234.568");
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 0.002), "0.002");
    EXPECT_EQ(FormatAxisLabel("%-12.2e", 0.0005), "5.00e-04");
    EXPECT_EQ(FormatAxisLabel("%-12.2e", 1.49e-10), "1.49e-10"); // exponent kept whole
    EXPECT_EQ(FormatAxisLabel("%-12.0f", 0), "0");               // never past the first
    EXPECT_EQ(FormatAxisLabel("%-12.3f", 1e10), "10000000000.0");
}

TEST(AxisLabels, VerticalAxisChoosesTheFormat) {
    Y_AXIS y;
    y.m_f1stTick = 0.0f;
    y.m_fTickStep = 0.0005f;
    y.m_nTicks = 4;
    EXPECT_EQ(y.TickLabel(0, 1, 0), "0.0");
    EXPECT_EQ(y.TickLabel(0, 0, 0), ""); // zero without bShowOrigin: no label
    EXPECT_EQ(y.TickLabel(1, 1, 0), "5.00e-04");
    EXPECT_EQ(y.TickLabel(4, 1, 0), "0.002");

    y.m_f1stTick = -2.0f;
    y.m_fTickStep = 1.0f;
    const char* abs[] = {"2.0", "1.0", "0.0", "1.0", "2.0"};
    const char* signed_[] = {"-2.0", "-1.0", "0.0", "1.0", "2.0"};
    for (int i = 0; i <= 4; ++i) {
        EXPECT_EQ(y.TickLabel(i, 1, 1), abs[i]);
        EXPECT_EQ(y.TickLabel(i, 1, 0), signed_[i]);
    }
    X_AXIS x;
    x.m_f1stTick = 0.0f;
    x.m_fTickStep = 0.5f;
    EXPECT_EQ(x.TickLabel(0), "0.0");
    EXPECT_EQ(x.TickLabel(1), "0.5");
    EXPECT_EQ(x.TickLabel(2), "1.0");
}
