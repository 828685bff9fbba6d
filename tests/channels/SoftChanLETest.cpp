#include "channels/SoftChanLE.h"
#include "ChannelTestUtil.h"
#include "channels/SoftChanWave8.h"
#include "record/SoftChannels.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr float kDt = 1.0f / 11025;

// A deterministic signed signal with no two neighbours alike.
float Signal(long i) {
    return float((i * 37) % 101) - 50.0f + 0.25f * float(i % 7);
}

// A source of nel elements and a level channel over it with the dialog's window.
struct Fixture {
    SOFTCHANNELS list;
    FuncChan* src;
    SOFTCHAN_LE* le;
    Fixture(long nel, std::function<float(long)> f = Signal, float window = 0.01f,
            float ratio = 1.0f, float scale = 1.0f) {
        src = new FuncChan(0, nel, kDt, std::move(f));
        list.AddChan(src);
        le = new SOFTCHAN_LE(1, 0, window, ratio, scale);
        list.AddChan(le);
    }
    // The level as defined: the mean of |scale * v| over the window around i,
    // cut at both ends of the channel.
    double Expected(long lo, long hi, float scale = 1.0f) {
        double s = 0.0;
        for (long j = lo; j <= hi; ++j) {
            float v = src->GetVal(long(float(j) * le->fRatio));
            s += src->IsNoVal(v) ? 0.0 : std::fabs(double(scale) * v);
        }
        return s / double(hi - lo + 1);
    }
    double Expected(long i) {
        long lo = i - le->nHalf > 0 ? i - le->nHalf : 0;
        long hi = i + le->nHalf < le->nNel - 1 ? i + le->nHalf : le->nNel - 1;
        return Expected(lo, hi, le->fScale);
    }
};

void ExpectLevel(Fixture& f, long i, double expected) {
    const float v = f.le->GetVal(i);
    EXPECT_NEAR(v, expected, 1e-4 * std::max(1.0, std::fabs(expected))) << "element " << i;
}

// Elements in the running sum and whether the ring is full.
std::pair<int, int> SumState(const SOFTCHAN_LE& le) {
    return {le.nInSum, le.bRingFull};
}
} // namespace

TEST(LevelChannel, ShapeFromTheSource) {
    SOFTCHAN_LE raw(5, 2, 0.01f, 1.0f, 1.0f);
    EXPECT_TRUE(raw.IsNoVal(raw.GetVal(0))); // nothing readable before it is added

    // A one-second recording at 11025 samples per second.
    SOFTCHANNELS list;
    list.AddChan(new SOFTCHAN_WAVE8(0, 11025, kDt, nullptr));
    auto* le = new SOFTCHAN_LE(1, 0, 0.01f, 1.0f, 1.0f);
    list.AddChan(le);
    EXPECT_EQ(std::tuple(le->nNel, le->nWin, le->nHalf, le->ring.GetSize()),
              std::tuple(11026, 111, 55, 111));
    EXPECT_FLOAT_EQ(le->fDt, kDt);
}

TEST(LevelChannel, ReadsInAnyOrderMatchTheWindowMean) {
    Fixture f(3000);
    // Forward jumps, single steps and backward reads, none of which rebuilds
    // inside the last half window (see SourceReadsOnlyWhatTheWindowNeeds).
    for (long i : {0L,  1L,  2L,    40L,   41L,   300L, 301L,  302L,  200L,  201L,  1500L, 90L,
                   91L, 92L, 2600L, 2900L, 2999L, 10L,  2000L, 2944L, 2945L, 2990L, 2998L})
        ExpectLevel(f, i, f.Expected(i));

    // A sequential pass: the window is cut on the left up to element 55, then
    // slides one element at a time; then back to the start.
    Fixture g(2000);
    const float first = g.le->GetVal(0);
    EXPECT_EQ(SumState(*g.le), std::pair(56, 0));
    for (long i = 0; i < 2000; ++i) {
        ExpectLevel(g, i, g.Expected(i));
        if (i == 55) {
            EXPECT_EQ(SumState(*g.le), std::pair(111, 1));
        }
    }
    EXPECT_EQ(g.le->nInSum, 56); // the oldest values left while nothing entered
    EXPECT_NEAR(g.le->GetVal(0), first, 1e-4f * first);
}

TEST(LevelChannel, SourceReadsOnlyWhatTheWindowNeeds) {
    Fixture f(500);
    const float a = f.le->GetVal(100);
    const long reads = f.src->reads;
    EXPECT_EQ(f.le->GetVal(100), a); // a repeated read touches nothing
    EXPECT_EQ(f.src->reads, reads);
    // One step forward costs one source read; a rebuild a whole window.
    f.le->GetVal(101);
    EXPECT_EQ(f.src->reads, reads + 1);
    f.le->GetVal(60); // 5 ... 115
    EXPECT_EQ(f.src->reads, reads + 1 + 111);

    // A rebuild near the end keeps its cut window.
    Fixture e(1000);
    e.le->GetVal(995);
    const float at990 = e.le->GetVal(990); // backwards: rebuilt over 935 ... 999
    EXPECT_NEAR(at990, e.Expected(935, 999), 1e-4);
    EXPECT_EQ(SumState(*e.le), std::pair(65, 0));
    const long before = e.src->reads;
    EXPECT_FLOAT_EQ(e.le->GetVal(991), at990); // nothing enters, nothing leaves
    EXPECT_EQ(e.src->reads, before);
}

TEST(LevelChannel, ConstantNoValueScaledAndOutsideReads) {
    Fixture f(700, [](long) { return -3.5f; });
    for (long i : {0L, 1L, 55L, 56L, 350L, 644L, 645L, 699L, 20L})
        EXPECT_FLOAT_EQ(f.le->GetVal(i), 3.5f) << i;
    Fixture scaled(
        700, [](long) { return 2.0f; }, 0.01f, 1.0f, -1.5f);
    EXPECT_FLOAT_EQ(scaled.le->GetVal(300), 3.0f);

    // No-value source elements count as zero: the window 95 ... 205 of
    // element 150 holds 10 of them among 111.
    Fixture gaps(400, [](long i) { return i >= 100 && i < 110 ? NO_VAL : 8.0f; });
    EXPECT_NEAR(gaps.le->GetVal(150), 8.0 * 101 / 111, 1e-4);
    EXPECT_EQ(gaps.le->nInSum, 111);
    EXPECT_NEAR(gaps.le->GetVal(300), 8.0, 1e-4);

    Fixture out(300);
    EXPECT_TRUE(out.le->IsNoVal(out.le->GetVal(-1)));
    EXPECT_TRUE(out.le->IsNoVal(out.le->GetVal(300)));
    EXPECT_EQ(out.le->nLastIdx, -1); // no state change
    EXPECT_FLOAT_EQ(out.le->GetRapidValRng(120, 290, 4.0f, PIX_MEAN, 0), out.le->GetVal(120));
}

TEST(LevelChannel, ShortSourcesNarrowTheWindowAndRatioSkipsElements) {
    Fixture fifty(50); // nNel - 1 = 49 is odd already
    EXPECT_EQ(std::pair(fifty.le->nWin, fifty.le->nHalf), std::pair(49, 24));
    Fixture fiftyOne(51); // 50 made odd: the window spans all 51 elements
    EXPECT_EQ(fiftyOne.le->nWin, 51);
    for (long i : {0L, 10L, 25L, 26L, 50L, 3L})
        ExpectLevel(fiftyOne, i, fiftyOne.Expected(i));

    Fixture one(1, [](long) { return -6.0f; });
    EXPECT_EQ(one.le->nWin, 1);
    EXPECT_FLOAT_EQ(one.le->GetVal(0), 6.0f);
    Fixture none(0);
    EXPECT_GE(none.le->nWin, 1);
    EXPECT_TRUE(none.le->IsNoVal(none.le->GetVal(0)));

    SOFTCHANNELS list;
    auto* orphan = new SOFTCHAN_LE(1, 7, 0.01f, 1.0f, 1.0f); // its source never existed
    list.AddChan(orphan);
    EXPECT_EQ(orphan->pSrc, nullptr);
    EXPECT_EQ(orphan->nWin, 1);
    EXPECT_TRUE(orphan->IsNoVal(orphan->GetVal(0)));

    // A ratio of 2 reads every other source element.
    Fixture half(1001, Signal, 0.01f, 2.0f);
    EXPECT_EQ(half.le->nNel, 501);
    for (long i : {0L, 1L, 2L, 250L, 251L, 500L, 100L})
        ExpectLevel(half, i, half.Expected(i));
}
