#include "graph/Graph.h"
#include "GraphTestSupport.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave8.h"
#include "record/SoftChannels.h"
#include <gtest/gtest.h>
#include <set>

namespace {
const CRect kPlot{50, 40, 650, 340}; // 600 columns

INT_ARRAY Chans(std::initializer_list<int> list) {
    INT_ARRAY a(int32_t(list.size()));
    int i = 0;
    for (int n : list)
        a[i++] = n;
    return a;
}

struct GraphSetup {
    SOFTCHANNELS list;
    GRAPH g;
    Canvas c{700, 400};
    explicit GraphSetup(int fill = 0, int histogram = 0) {
        g.Attach(&list, nullptr);
        g.SetFill(fill);
        g.SetHistogram(histogram);
    }
    VecChan* Add(std::vector<float> v, float dt, const std::string& name = "Test") {
        auto* ch = new VecChan(list.GetFreeChan(-1), std::move(v), dt, name);
        list.AddChan(ch);
        return ch;
    }
    // Axes and one curve of channel n in red.
    void Draw(int n, CRngFlt times, CRngFlt values) {
        c.dc.SetBkMode(TRANSPARENT);
        g.DrawAxies(&c.dc, kPlot, Chans({n}), "", times, values);
        g.DrawCurve(&c.dc, n, times, kRed);
    }
    // A new channel of values v drawn over its whole duration.
    VecChan* Plot(std::vector<float> v, float dt, CRngFlt values) {
        VecChan* ch = Add(std::move(v), dt);
        Draw(ch->nChan, CRngFlt(0, ch->GetDuration()), values);
        return ch;
    }
    int X(float t) const { return int(g.m_xAxis.User2Screen(t)); }
    int Y(float v) const { return int(g.m_yAxis.User2Screen(v)); }
    int Origin() const { return g.m_yAxis.RtnOrigin(); }
    // Pixels of colour col in row y between columns xa and xb (inclusive).
    int Row(int y, int xa, int xb, COLORREF col) const {
        return CountColor(c.img, col, QRect(xa, y, xb - xa + 1, 1));
    }
};
} // namespace

TEST(GraphCurve, ColumnModeForManySamplesSampleModeForFew) {
    // 8000 samples over 600 columns: one reduced value per column, so filled
    // histogram bars merge into one red block (column mode ignores the outline).
    GraphSetup full(1, 1);
    VecChan* ch = full.Plot(std::vector<float>(8000, 1.0f), 1.0f / 8000, CRngFlt(0, 2));
    int x0 = full.X(0) + 1, x1 = full.X(ch->GetDuration());
    ASSERT_GT(x1 - x0, 590);
    int ym = (full.Origin() + full.Y(1.0f)) / 2;
    EXPECT_EQ(full.Row(ym, x0, x1 - 1, kRed), x1 - x0);

    // The same channel zoomed to 80 samples: sample mode, every bar outlined in white.
    GraphSetup zoom(1, 1);
    VecChan* z = zoom.Add(std::vector<float>(8000, 1.0f), 1.0f / 8000);
    const CRngFlt part(0.5f, 0.5f + 79.0f / 8000);
    ASSERT_EQ(z->IndexOfTime(part.Hi) - z->IndexOfTime(part.Lo) + 1, 80);
    zoom.Draw(z->nChan, part, CRngFlt(0, 2));
    x0 = zoom.X(part.Lo) + 1, x1 = zoom.X(part.Hi);
    ym = (zoom.Origin() + zoom.Y(1.0f)) / 2;
    const int white = zoom.Row(ym, x0, x1 - 1, kWhite);
    EXPECT_GE(white, 75);
    EXPECT_LE(white, 82);
    EXPECT_GT(zoom.Row(ym, x0, x1 - 1, kRed), 400);
}

TEST(GraphCurve, NoValueColumnIsSkippedAndTheLineJoinsItsNeighbours) {
    GraphSetup s;
    std::vector<float> v(8000, 1.0f);
    std::fill(v.begin() + 4000, v.begin() + 4200, NO_VAL);
    VecChan* ch = s.Plot(v, 1.0f / 8000, CRngFlt(0, 2));
    const int x0 = s.X(0) + 1, x1 = s.X(ch->GetDuration()), y = s.Y(1.0f);
    int gaps = 0;
    for (int x = x0; x < x1; ++x)
        gaps += s.g.GetVal(ch->nChan, x) == NO_VAL;
    ASSERT_GE(gaps, 10); // the test does cross no-value columns
    // One unbroken horizontal line from the first column to the last point
    // (a line leaves out its end), and nothing else in red.
    EXPECT_EQ(s.Row(y, x0, x1 - 2, kRed), x1 - 1 - x0);
    EXPECT_EQ(CountColor(s.c.img, kRed), x1 - 1 - x0);
}

TEST(GraphCurve, FilledBarsStayOffTheZeroLine) {
    // 80 samples over about 590 columns: sample mode.
    GraphSetup s(1);
    VecChan* ch = s.Plot(std::vector<float>(80, 1.0f), 0.0125f, CRngFlt(0, 2));
    const int y0 = s.Origin(), x0 = s.X(0) + 1, x1 = s.X(ch->GetDuration());
    // Filled without outline: one red block, the axis line below untouched.
    EXPECT_EQ(s.Row((y0 + s.Y(1.0f)) / 2, x0, x1 - 1, kRed), x1 - x0);
    EXPECT_EQ(s.Row(y0, x0, x1 - 1, kBlack), x1 - x0);
    const QRect red = BoundsOf(s.c.img, kRed);
    EXPECT_LT(red.bottom(), y0);
    EXPECT_GE(red.bottom(), y0 - 2);

    // Values exactly on the zero line give no bar at all.
    GraphSetup zero(1);
    zero.Plot(std::vector<float>(80, 0.0f), 0.0125f, CRngFlt(0, 2));
    EXPECT_EQ(CountColor(zero.c.img, kRed), 0);

    // Negative values hang below the line.
    GraphSetup neg(1);
    neg.Plot(std::vector<float>(80, -1.0f), 0.0125f, CRngFlt(-2, 2));
    const QRect below = BoundsOf(neg.c.img, kRed);
    ASSERT_FALSE(below.isNull());
    EXPECT_GT(below.top(), neg.Origin());
    EXPECT_GE(below.bottom(), neg.Y(-1.0f) - 1);
}

TEST(GraphCurve, HistogramDrawsAStaircaseAndLinesDrawSlopes) {
    std::vector<float> v(40);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = (i % 2) ? 1.5f : 0.5f;
    for (int hist = 0; hist <= 1; ++hist) {
        GraphSetup s(0, hist);
        VecChan* ch = s.Plot(v, 0.025f, CRngFlt(0, 2));
        std::set<int> edges{s.X(0) + 1};
        for (long i = 0; i <= 40; ++i)
            edges.insert(s.X(ch->TimeOfIndex(i)));
        const int ya = s.Y(0.5f), yb = s.Y(1.5f);
        int slopes = 0, red = 0;
        for (int y = 0; y < s.c.img.height(); ++y)
            for (int x = 0; x < s.c.img.width(); ++x)
                if (Is(s.c.img, x, y, kRed)) {
                    ++red;
                    slopes += y != ya && y != yb && !edges.count(x);
                }
        EXPECT_GT(red, 500);
        if (hist)
            EXPECT_EQ(slopes, 0);
        else
            EXPECT_GT(slopes, 100);
    }
}

TEST(GraphCurve, RecordingInProgressIsDrawnAsFarAsStored) {
    GraphSetup s;
    auto* w = new SOFTCHAN_WAVE8(0, 8000, 1.0f / 8000, nullptr);
    s.list.AddChan(w);
    s.list.AddChan(new SOFTCHAN_LE(1, 0, 0.01f, 1.0f, 1.0f));
    std::vector<uint8_t> loud(2000, 250);
    w->InsertValues(int(loud.size()), loud.data());
    ASSERT_EQ(w->GetLastSavedSample(), 1999);
    const float stored = w->TimeOfIndex(w->GetLastSavedSample());
    for (int n : {0, 1}) { // the wave itself and a channel derived from it
        s.c.img.fill(Qt::white);
        s.Draw(n, CRngFlt(0, w->GetDuration()), CRngFlt(0, 1));
        const QRect red = BoundsOf(s.c.img, kRed);
        ASSERT_FALSE(red.isNull()) << n;
        EXPECT_LE(red.right(), s.X(stored)) << n;
        EXPECT_GE(red.right(), s.X(stored) - 2) << n;
    }
}

TEST(GraphRange, AutomaticValueRange) {
    GraphSetup s;
    const Y_AXIS& y = s.g.m_yAxis;
    // No channels: 0 .. 10.
    s.g.DrawAxies(&s.c.dc, kPlot, INT_ARRAY(), "", CRngFlt(0, 1), CRngFlt(0, 0));
    EXPECT_FLOAT_EQ(y.m_f1stTick, 0.0f);
    EXPECT_FLOAT_EQ(y.m_fTickStep, 5.0f);
    EXPECT_EQ(y.m_nTicks, 2);

    // Data between 2 and 5 reach down to zero.
    std::vector<float> v(1000, 2.0f);
    std::fill(v.begin() + 500, v.end(), 5.0f);
    VecChan* ch = s.Add(v, 0.001f);
    const CRngFlt t(0, ch->GetDuration());
    const auto range = [&](std::initializer_list<int> chans, CRngFlt times) {
        const CRngFlt r = s.g.CalcDataRange(Chans(chans), times);
        return std::pair(r.Lo, r.Hi);
    };
    for (const CRngFlt& automatic : {CRngFlt(0, 0), CRngFlt(1.0f, 1.0000005f)}) {
        s.g.DrawAxies(&s.c.dc, kPlot, Chans({ch->nChan}), "", t, automatic);
        EXPECT_EQ(y.IsZero1st(), 1);
        EXPECT_GE(y.m_f1stTick + y.m_nTicks * y.m_fTickStep, 5.0f);
        EXPECT_EQ(range({ch->nChan}, t), std::pair(1e-8f, 5.0f));
    }
    // A fixed range is used as given.
    s.g.DrawAxies(&s.c.dc, kPlot, Chans({ch->nChan}), "", t, CRngFlt(-10, 10));
    EXPECT_FLOAT_EQ(y.m_f1stTick, -10.0f);

    // Negative data end at -1e-8; an empty channel list reads (1e-8, -1e-8),
    // and -1 entries are skipped.
    VecChan* n = s.Add(std::vector<float>(1000, -3.0f), 0.001f);
    EXPECT_EQ(range({n->nChan}, t), std::pair(-3.0f, -1e-8f));
    EXPECT_EQ(range({}, t), std::pair(1e-8f, -1e-8f));
    EXPECT_EQ(range({-1}, t), std::pair(1e-8f, -1e-8f));

    // A time range after the channel's end is an empty column span.
    s.g.DrawAxies(&s.c.dc, kPlot, INT_ARRAY(), "", CRngFlt(2, 3), CRngFlt(0, 1));
    const CRngFlt empty = s.g.CalcDataRange(ch->nChan, CRngFlt(2, 3));
    EXPECT_EQ(std::pair(empty.Lo, empty.Hi), std::pair(1e8f, -1e8f));
}

TEST(GraphDraw, DefaultColoursAxesBlackCurvesRedThenBlue) {
    GraphSetup s;
    VecChan* a = s.Add(std::vector<float>(1000, 1.0f), 0.001f, "Volume");
    VecChan* b = s.Add(std::vector<float>(1000, 2.0f), 0.001f, "Level");
    const CRect rect{0, 0, 700, 400};
    EXPECT_EQ(s.g.DrawGraph(&s.c.dc, rect, Chans({a->nChan, b->nChan}), "Title", {},
                            CRngFlt(0, a->GetDuration()), CRngFlt(0, 3)),
              1);
    EXPECT_EQ(s.c.dc.GetBkMode(), OPAQUE); // restored
    EXPECT_EQ(s.c.dc.GetROP2(), R2_COPYPEN);
    EXPECT_GT(s.Row(s.Y(1.0f), 100, 600, kRed), 450);
    EXPECT_GT(s.Row(s.Y(2.0f), 100, 600, kBlue), 450);
    const CRngInt yr = s.g.m_yAxis.GetRngScreen();
    EXPECT_TRUE(Is(s.c.img, s.X(s.g.m_xAxis.Rtn1stTick()), (yr.Lo + yr.Hi) / 2, kBlack));
    EXPECT_TRUE(Is(s.c.img, 300, s.Origin(), kBlack));
    // The title is centred above the plot.
    const CRect plot = s.g.GetAxiesRect(&s.c.dc, rect);
    const CSize st = s.c.dc.GetTextExtent("Title");
    EXPECT_TRUE(TextIsAt(s.c.img, "Title", plot.left + (plot.Width() - st.cx) / 2,
                         std::max(plot.top - 3 * st.cy / 2 - 1, 0)));
}

TEST(GraphDraw, LegendIsCentredUnderTheTimeAxis) {
    GraphSetup s;
    s.g.DrawAxies(&s.c.dc, kPlot, INT_ARRAY(), "", CRngFlt(0, 1), CRngFlt(0, 1));
    s.c.dc.SetBkMode(TRANSPARENT);
    s.g.DisplayLegend(&s.c.dc, 360, {"Volume", "Level"});
    const int w1 = s.c.dc.GetTextExtent("Volume").cx, w2 = s.c.dc.GetTextExtent("Level").cx;
    const int total = -10 + (w1 + 20) + (w2 + 20);
    const int x = 50 + 600 / 2 - total / 2, x2 = x + 11 + w1 + 10;
    const int ly = 360 + s.c.dc.GetTextExtent("X").cy / 2;
    EXPECT_EQ(s.Row(ly, x, x + 9, kRed), 10);
    EXPECT_FALSE(Is(s.c.img, x + 10, ly, kRed));
    EXPECT_TRUE(TextIsAt(s.c.img, "Volume", x + 11, 360));
    EXPECT_EQ(s.Row(ly, x2, x2 + 9, kBlue), 10);
    EXPECT_TRUE(TextIsAt(s.c.img, "Level", x2 + 11, 360));

    Canvas none(200, 100);
    s.g.DisplayLegend(&none.dc, 50, {});
    EXPECT_EQ(CountColor(none.img, kWhite), 200 * 100);
}

TEST(GraphDraw, ColourIndexIsCappedForManyCurves) {
    GraphSetup s;
    COLORREF table[GRAPH::kMaxColorIndex + 1];
    for (int k = 0; k <= GRAPH::kMaxColorIndex; ++k)
        table[k] = RGB(k, 0, 0);
    table[15] = 0x00FF00;
    table[16] = 0xFF00FF;
    s.g.Attach(&s.list, table);
    INT_ARRAY chans(20);
    for (int i = 0; i < 20; ++i)
        chans[i] = s.Add(std::vector<float>(100, float(i + 1)), 0.01f)->nChan;
    s.g.DrawGraph(&s.c.dc, CRect{0, 0, 700, 400}, chans, "", {}, CRngFlt(0, 0.99f), CRngFlt(0, 25));
    EXPECT_GT(s.Row(s.Y(15.0f), 100, 600, 0x00FF00), 400); // curve 14: entry 15
    for (float v : {16.0f, 17.0f, 20.0f})                  // curves 15 .. 19: entry 16
        EXPECT_GT(s.Row(s.Y(v), 100, 600, 0xFF00FF), 400) << v;
}

TEST(GraphDraw, UnknownChannelsDrawNothing) {
    GraphSetup s;
    s.Add(std::vector<float>(100, 1.0f), 0.01f);
    EXPECT_EQ(s.g.DrawGraph(&s.c.dc, CRect{0, 0, 700, 400}, Chans({9, -1}), "", {"x"},
                            CRngFlt(0, 1), CRngFlt(0, 0)),
              1);
    EXPECT_EQ(CountColor(s.c.img, kRed), 10); // the legend's line only
    EXPECT_GT(CountColor(s.c.img, kBlack), 100);
    EXPECT_EQ(s.g.GetChanName(9) + s.g.GetChanXUnits(9), "");
    EXPECT_FLOAT_EQ(s.g.GetChanDuration(9), 0.0f);
    EXPECT_FLOAT_EQ(s.g.GetChanValRng(9, 0, 1), 0.0f);
    EXPECT_EQ(s.g.GetChanXUnits(0), "Sec");

    GRAPH detached; // no channel list at all
    Canvas c(300, 200);
    EXPECT_EQ(detached.DrawGraph(&c.dc, CRect{0, 0, 300, 200}, Chans({0}), "", {}, CRngFlt(0, 1),
                                 CRngFlt(0, 0)),
              1);
    EXPECT_FLOAT_EQ(detached.m_yAxis.m_fTickStep, 5.0f); // automatic 0 .. 10
}
