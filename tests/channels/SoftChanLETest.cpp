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
} // namespace

TEST(LevelChannel, ConstructionAndShapeFromTheSource) {
    SOFTCHAN_LE raw(5, 2, 0.01f, 1.0f, 1.0f);
    EXPECT_EQ(raw.nChan, 5);
    EXPECT_EQ(raw.nSrcChan, 2);
    EXPECT_EQ(raw.nNel, -1);
    EXPECT_FLOAT_EQ(raw.fDt, -1.0f);
    EXPECT_EQ(raw.bAbs, 1);
    EXPECT_EQ(raw.nLastIdx, -1);
    EXPECT_EQ(raw.ring.GetSize(), 0);
    EXPECT_TRUE(raw.IsNoVal(raw.GetVal(0))); // nothing readable before it is added

    // A one-second recording at 11025 samples per second.
    SOFTCHANNELS list;
    list.AddChan(new SOFTCHAN_WAVE8(0, 11025, kDt, nullptr));
    auto* le = new SOFTCHAN_LE(1, 0, 0.01f, 1.0f, 1.0f);
    list.AddChan(le);
    EXPECT_EQ(le->nNel, 11026);
    EXPECT_FLOAT_EQ(le->fDt, kDt);
    EXPECT_EQ(le->nWin, 111);
    EXPECT_EQ(le->nHalf, 55);
    EXPECT_EQ(le->ring.GetSize(), 111);
    EXPECT_EQ(le->nInSum, 0);
    EXPECT_EQ(le->GetName(), ""); // the wave channel without info has no name
}

TEST(LevelChannel, WindowSlidesOneElementAtATime) {
    Fixture f(1000);
    ASSERT_EQ(f.le->nWin, 111);
    ExpectLevel(f, 0, f.Expected(0, 55)); // 56 values: cut on the left
    EXPECT_EQ(f.le->nInSum, 56);
    EXPECT_EQ(f.le->bRingFull, 0);
    for (long i = 1; i < 55; ++i)
        f.le->GetVal(i);
    ExpectLevel(f, 55, f.Expected(0, 110));
    EXPECT_EQ(f.le->bRingFull, 1);
    EXPECT_EQ(f.le->nInSum, 111);
    ExpectLevel(f, 56, f.Expected(1, 111)); // x(0) replaced by x(111)
    EXPECT_EQ(f.le->nInSum, 111);
}

TEST(LevelChannel, ForwardJumpsAndBackwardReadsMatchTheWindowMean) {
    Fixture f(3000);
    // Forward jumps, single steps and backward reads, none of which rebuilds
    // inside the last half window (see the next test for that case).
    const long order[] = {0,  1,  2,    40,   41,   300, 301,  302,  200,  201,  1500, 90,
                          91, 92, 2600, 2900, 2999, 10,  2000, 2944, 2945, 2990, 2998};
    for (long i : order)
        ExpectLevel(f, i, f.Expected(i));
}

TEST(LevelChannel, SequentialPassThenBackToTheStart) {
    Fixture f(2000);
    const float first = f.le->GetVal(0);
    for (long i = 0; i < 2000; ++i)
        ExpectLevel(f, i, f.Expected(i));
    EXPECT_EQ(f.le->nInSum, 56); // the oldest values left while nothing entered
    EXPECT_NEAR(f.le->GetVal(0), first, 1e-4f * first);
}

TEST(LevelChannel, RepeatedReadDoesNotTouchTheSource) {
    Fixture f(500);
    const float a = f.le->GetVal(100);
    const long reads = f.src->reads;
    EXPECT_EQ(f.le->GetVal(100), a);
    EXPECT_EQ(f.src->reads, reads);
    // One step forward costs one source read; a rebuild a whole window.
    f.le->GetVal(101);
    EXPECT_EQ(f.src->reads, reads + 1);
    f.le->GetVal(60); // 5 ... 115
    EXPECT_EQ(f.src->reads, reads + 1 + 111);
}

TEST(LevelChannel, RebuildNearTheEndKeepsItsWindow) {
    Fixture f(1000);
    f.le->GetVal(995);
    const float at990 = f.le->GetVal(990); // backwards: rebuilt over 935 ... 999
    EXPECT_NEAR(at990, f.Expected(935, 999), 1e-4);
    EXPECT_EQ(f.le->nInSum, 65);
    EXPECT_EQ(f.le->bRingFull, 0);
    const long reads = f.src->reads;
    EXPECT_FLOAT_EQ(f.le->GetVal(991), at990); // nothing enters, nothing leaves
    EXPECT_EQ(f.src->reads, reads);
}

TEST(LevelChannel, ConstantSourceGivesItsMagnitudeEverywhere) {
    Fixture f(700, [](long) { return -3.5f; });
    for (long i : {0L, 1L, 55L, 56L, 350L, 644L, 645L, 699L, 20L})
        EXPECT_FLOAT_EQ(f.le->GetVal(i), 3.5f) << i;
    Fixture scaled(
        700, [](long) { return 2.0f; }, 0.01f, 1.0f, -1.5f);
    EXPECT_FLOAT_EQ(scaled.le->GetVal(300), 3.0f);
}

TEST(LevelChannel, NoValueSourceElementsCountAsZero) {
    Fixture f(400, [](long i) { return i >= 100 && i < 110 ? NO_VAL : 8.0f; });
    // Element 150: the window 95 ... 205 holds 10 no-values among 111.
    EXPECT_NEAR(f.le->GetVal(150), 8.0 * 101 / 111, 1e-4);
    EXPECT_EQ(f.le->nInSum, 111);
    EXPECT_NEAR(f.le->GetVal(300), 8.0, 1e-4);
}

TEST(LevelChannel, ReadsOutsideTheChannel) {
    Fixture f(300);
    EXPECT_TRUE(f.le->IsNoVal(f.le->GetVal(-1)));
    EXPECT_TRUE(f.le->IsNoVal(f.le->GetVal(300)));
    EXPECT_EQ(f.le->nLastIdx, -1); // no state change
    EXPECT_FLOAT_EQ(f.le->GetRapidValRng(120, 290, 4.0f, PIX_MEAN, 0), f.le->GetVal(120));
}

TEST(LevelChannel, ShortSourcesNarrowTheWindow) {
    Fixture fifty(50); // nNel - 1 = 49 is odd already
    EXPECT_EQ(fifty.le->nWin, 49);
    EXPECT_EQ(fifty.le->nHalf, 24);
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
}

TEST(LevelChannel, RatioReadsEveryOtherSourceElement) {
    Fixture f(1001, Signal, 0.01f, 2.0f);
    EXPECT_EQ(f.le->nNel, 501);
    for (long i : {0L, 1L, 2L, 250L, 251L, 500L, 100L})
        ExpectLevel(f, i, f.Expected(i));
}
