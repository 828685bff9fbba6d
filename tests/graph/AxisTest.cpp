#include "graph/AxisDraw.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
// First tick, step and interval count of an axis layout, compared to 4 ULPs.
void ExpectTicks(float first, float step, int n, float wantFirst, float wantStep, int wantN) {
    EXPECT_FLOAT_EQ(first, wantFirst);
    EXPECT_FLOAT_EQ(step, wantStep);
    EXPECT_EQ(n, wantN);
}
void ExpectTicks(const AXIS& a, float first, float step, int n) {
    ExpectTicks(a.m_f1stTick, a.m_fTickStep, a.m_nTicks, first, step, n);
}
void ExpectCalc(CRngFlt r, int wanted, float first, float step, int n) {
    float f = 0, s = 0;
    int k = 0;
    AXIS().CalcTicks(r, wanted, f, s, k);
    ExpectTicks(f, s, k, first, step, n);
}
} // namespace

TEST(AxisTicks, StepsFirstTicksAndTheBestCount) {
    ExpectCalc(CRngFlt(0, 1), 3, 0, 0.5f, 2);
    ExpectCalc(CRngFlt(0, 1), 4, 0, 0.25f, 4);
    ExpectCalc(CRngFlt(0, 1), 5, 0, 0.2f, 5);
    ExpectCalc(CRngFlt(-0.3f, 0.7f), 3, -0.5f, 0.5f, 3);   // rounded down to the next tick
    ExpectCalc(CRngFlt(-1.0f, 1.0f), 3, -1.0f, 1.0f, 2);   // an exact multiple is kept
    ExpectCalc(CRngFlt(-1.004f, 1.0f), 3, -1.0f, 1.0f, 2); // within 1 % of a tick: kept

    // The horizontal axis tries 3, 4 and 5 and keeps the first exact fit.
    X_AXIS x;
    EXPECT_EQ(x.m_nMaxTicks, 5);
    x.CalcLayout(CRngInt(0, 600), CRngFlt(0, 1));
    ExpectTicks(x, 0, 0.5f, 2);
    EXPECT_FLOAT_EQ(x.m_fUnitsPerPixel, 1.0f / 600);
    EXPECT_EQ(x.TickOffset(1), 300);
    EXPECT_EQ(x.TickOffset(2), 600); // the last tick lands on Hi
    Y_AXIS y;
    EXPECT_EQ(y.m_nMaxTicks, 4);
    y.CalcLayout(CRngInt(300, 20), CRngFlt(0, 10));
    ExpectTicks(y, 0, 5.0f, 2);
    // Without counts to try the layout uses 3 wanted intervals.
    AXIS a;
    a.CalcLayout(CRngInt(0, 300), CRngFlt(0, 1));
    EXPECT_FLOAT_EQ(a.m_fTickStep, 0.5f);
}

TEST(AxisTicks, NarrowEmptyReversedAndUnusableRangesGiveAFiniteLayout) {
    for (const CRngFlt& r : {CRngFlt(1.0f, 1.0000005f), CRngFlt(2, 2), CRngFlt(5, 1)}) {
        float first = 0, step = 0;
        int n = 0;
        AXIS().CalcTicks(r, 3, first, step, n);
        EXPECT_FLOAT_EQ(step, 0.000001f) << r.Lo << " " << r.Hi; // the smallest step
        EXPECT_GE(n, 1);
    }
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const CRngFlt& r : {CRngFlt(5, 1), CRngFlt(0, inf), CRngFlt(-inf, 0), CRngFlt(nan, 1),
                             CRngFlt(-3e38f, 3e38f)}) {
        Y_AXIS y;
        y.CalcLayout(CRngInt(300, 20), r);
        EXPECT_GE(y.m_nTicks, 1);
        EXPECT_TRUE(std::isfinite(y.m_fTickStep));
        EXPECT_TRUE(std::isfinite(y.m_fUnitsPerPixel));
        y.User2Screen(1e30f); // stays a drawable pixel number (no trap under UBSan)
        y.RtnOrigin();
    }
}

TEST(AxisScale, PixelMapping) {
    // A reversed pixel range maps larger values upwards.
    Y_AXIS y;
    y.CalcLayout(CRngInt(300, 20), CRngFlt(0, 10));
    EXPECT_LT(y.m_fUnitsPerPixel, 0.0f);
    EXPECT_EQ(y.User2Screen(y.m_f1stTick), 300);
    EXPECT_EQ(y.User2Screen(10.0f), 20);
    EXPECT_LT(y.User2Screen(6.0f), y.User2Screen(5.0f));
    EXPECT_EQ(y.RtnOrigin(), 300);
    EXPECT_NEAR(y.Screen2User(160), 5.0f, 1e-5);

    // A zero-width pixel range counts as one pixel.
    AXIS a;
    a.m_nMaxTicks = 4;
    a.CalcLayout(CRngInt(50, 50), CRngFlt(0, 10));
    EXPECT_FLOAT_EQ(a.m_fUnitsPerPixel, float(a.m_nTicks) * a.m_fTickStep);

    // User2Screen truncates toward zero, RtnOrigin rounds.
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

    const std::pair<float, int> zeros[] = {{0.000009f, 1}, {-0.000009f, 1}, {0.00002f, 0}};
    for (auto [first, zero] : zeros) {
        a.m_f1stTick = first;
        EXPECT_EQ(a.IsZero1st(), zero) << first;
    }
}

TEST(AxisLabels, FormatAndTrim) {
    const std::pair<double, const char*> fixed[] = {{1.5, "1.5"},     {2, "2.0"},
                                                    {10, "10.0"},     {0, "0.0"},
                                                    {-0.25, "-0.25"}, {1234.5678, "1234.568"},
                                                    {0.002, "0.002"}, {1e10, "10000000000.0"}};
    for (auto [v, text] : fixed)
        EXPECT_EQ(FormatAxisLabel("%-12.3f", v), text) << v;
    EXPECT_EQ(FormatAxisLabel("%-12.2e", 0.0005), "5.00e-04");
    EXPECT_EQ(FormatAxisLabel("%-12.2e", 1.49e-10), "1.49e-10"); // exponent kept whole
    EXPECT_EQ(FormatAxisLabel("%-12.0f", 0), "0");               // never past the first
}

TEST(AxisLabels, TickLabelsChooseTheFormatAndSign) {
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
    std::string abs, sign;
    for (int i = 0; i <= 4; ++i)
        abs += y.TickLabel(i, 1, 1) + " ", sign += y.TickLabel(i, 1, 0) + " ";
    EXPECT_EQ(abs, "2.0 1.0 0.0 1.0 2.0 ");
    EXPECT_EQ(sign, "-2.0 -1.0 0.0 1.0 2.0 ");

    X_AXIS x;
    x.m_f1stTick = 0.0f;
    x.m_fTickStep = 0.5f;
    EXPECT_EQ(x.TickLabel(0) + " " + x.TickLabel(1) + " " + x.TickLabel(2), "0.0 0.5 1.0");
}
