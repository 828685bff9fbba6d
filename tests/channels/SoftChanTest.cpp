#include "ChannelTestUtil.h"
#include "channels/SoftChanAD.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave8.h"
#include "channels/SoftChanXMS.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

TEST(SoftChanBase, PlainChannelAndTheNoValueMarker) {
    SOFTCHAN g(4, 2, 100, 0.5f, 1, 2.0f, 3.0f, 0);
    EXPECT_FLOAT_EQ(g.GetDuration(), 49.5f);
    // Without a source a plain channel reads zeros inside and NO_VAL outside.
    EXPECT_FLOAT_EQ(g.GetVal(3), 0.0f);
    EXPECT_TRUE(g.IsNoVal(g.GetVal(100)));
    EXPECT_EQ(g.GetRawVal(3), 0);
    EXPECT_EQ(g.GetXLabel() + "|" + g.GetXUnits(), "Time|Sec");

    EXPECT_TRUE(g.IsNoVal(NO_VAL));
    EXPECT_TRUE(g.IsNoVal(1e10f));
    EXPECT_FALSE(g.IsNoVal(9999998976.0f)); // the next float below 1e10
    EXPECT_FALSE(g.IsNoVal(0.0f));
    EXPECT_FALSE(g.IsNoVal(-1e10f));
}

TEST(SoftChanBase, IndexOfTimeNudgesAwayFromZeroThenTruncates) {
    SOFTCHAN c(0, -1, 100, 0.1f, 0, 1.0f, 1.0f, 0);
    // The quotient 2.99995 is carried to 3 by the nudge, 2.9985 stays below.
    const std::pair<float, long> cases[] = {{0.0f, 0},     {c.fDt * 3, 3}, {0.299995f, 3},
                                            {0.29985f, 2}, {0.25f, 2},     {-0.25f, -2}};
    for (auto [t, i] : cases)
        EXPECT_EQ(c.IndexOfTime(t), i) << t;
    c.fT0 = 1.0f;
    EXPECT_EQ(c.IndexOfTime(1.5f), 5);
    EXPECT_FLOAT_EQ(c.TimeOfIndex(5), 1.5f);

    // 0.5 s and 1.0 s at 11025 samples per second: samples 5512 and 11025.
    SOFTCHAN w(0, -1, 22050, 1.0f / 11025, 0, 1.0f, 1.0f, 0);
    EXPECT_EQ(w.IndexOfTime(0.5f), 5512);
    EXPECT_EQ(w.IndexOfTime(1.0f), 11025);
}

TEST(SoftChanBase, GetValAtTimeInterpolatesBetweenElements) {
    SOFTCHANNELS list;
    list.AddChan(new FuncChan(0, 5, 0.5f, [](long i) { return float(i * i); }));
    SOFTCHAN* c = list.GetChan(0);
    // On element 2, between elements, on the last element (no right neighbour),
    // and less than one element before the start (truncated to element 0,
    // extrapolated).
    for (auto [t, v] :
         {std::pair(1.0f, 4.0f), {1.25f, 6.5f}, {0.1f, 0.2f}, {2.0f, 16.0f}, {-0.2f, -0.4f}})
        EXPECT_FLOAT_EQ(c->GetValAtTime(t), v) << t;
    EXPECT_TRUE(c->IsNoVal(c->GetValAtTime(2.6f)));
    EXPECT_TRUE(c->IsNoVal(c->GetValAtTime(-0.6f)));
}

TEST(SoftChanBase, DerivedChannelTakesItsShapeFromTheSource) {
    SOFTCHANNELS list;
    auto* src = new FuncChan(0, 1000, 0.002f, [](long i) { return i % 2 ? -float(i) : float(i); });
    src->fT0 = 0.6f;
    src->strName = "Angle";
    list.AddChan(src);
    auto* same = new SOFTCHAN(1, 0, -1, -1.0f, 0, 1.0f, 1.0f, 0);
    auto* third = new SOFTCHAN(2, 0, -1, -1.0f, 1, 3.0f, 0.5f, 0);
    list.AddChan(same);
    list.AddChan(third);
    EXPECT_EQ(same->pSrc, src);
    EXPECT_EQ(std::tuple(same->nNel, same->fDt, same->fT0), std::tuple(1000, 0.002f, 0.6f));
    EXPECT_EQ(third->nNel, 334);
    EXPECT_FLOAT_EQ(third->fT0, 0.2f);
    EXPECT_FLOAT_EQ(same->GetVal(3), -3.0f);
    // Source element trunc(i * 3), made non-negative, then scaled.
    EXPECT_FLOAT_EQ(third->GetVal(1), 1.5f);
    EXPECT_FLOAT_EQ(third->GetVal(2), 3.0f);
    EXPECT_TRUE(third->IsNoVal(third->GetVal(334)));
    EXPECT_EQ(third->GetName(), "Angle");
    third->strName = "Own";
    EXPECT_EQ(third->GetName(), "Own");

    // Added before its source: no source, and no shape.
    SOFTCHANNELS early;
    auto* orphan = new SOFTCHAN(1, 0, 7, 0.1f, 0, 1.0f, 1.0f, 0);
    early.AddChan(orphan);
    early.AddChan(new FuncChan(0, 10, 0.1f, [](long) { return 1.0f; }));
    EXPECT_EQ(orphan->pSrc, nullptr);
    EXPECT_EQ(orphan->nNel, 7);
    EXPECT_FLOAT_EQ(orphan->GetVal(2), 0.0f);
}

TEST(AdChanInfo, ConversionsBetweenCountsVoltsAndValues) {
    ADCHANINFO a;
    a.SetRange(-5.0f, 5.0f, 4096, 2048);
    EXPECT_FLOAT_EQ(a.fResolution, 10.0f / 4096);
    EXPECT_EQ(a.nZero, 2048);
    EXPECT_FLOAT_EQ(a.RawToVolts(2048 + 410), 410 * 10.0f / 4096);
    EXPECT_EQ(a.VoltsToRaw(1.0f, 0), 409); // truncated
    EXPECT_EQ(a.VoltsToRaw(-1.0f, 1), 2048 - 409);

    ADCHANINFO d = RecordingChannelInfo();
    EXPECT_FLOAT_EQ(d.RawToValue(0), -1000.0f);
    EXPECT_FLOAT_EQ(d.RawToValue(255), 992.1875f);
    // The DC removal: RawToVolts(ValueToRaw(mean)) is trunc(mean / 7.8125).
    EXPECT_FLOAT_EQ(d.RawToVolts(d.ValueToRaw(31.25f)), 4.0f);
    EXPECT_FLOAT_EQ(d.RawToVolts(d.ValueToRaw(30.0f)), 3.0f);
    EXPECT_FLOAT_EQ(d.RawToVolts(d.ValueToRaw(-30.0f)), -3.0f);
    d.fOffset = 2.0f;
    EXPECT_FLOAT_EQ(d.RawToValue(130), 0.0f);
    EXPECT_EQ(d.ValueToRaw(0.0f), 130);

    // A resolution of zero or a huge value gives a held count, not undefined behaviour.
    ADCHANINFO z;
    z.fResolution = 0.0f;
    EXPECT_EQ(z.VoltsToRaw(1.0f, 0), 2147483647);
    EXPECT_EQ(z.VoltsToRaw(0.0f, 1), 0);

    ADCHANINFO copy = d;
    EXPECT_TRUE(copy == d);
    copy.strUnits = "V";
    EXPECT_FALSE(copy == d);
}

TEST(SoftChanAd, SignedCountsAndReductions) {
    ADCHANINFO info;
    info.fResolution = 0.5f;
    info.strName = "Force";
    info.strUnits = "N";
    SOFTCHAN_AD c(1, 6, 0.01f, &info);
    EXPECT_EQ(c.mem.GetSize(), 24u);
    EXPECT_EQ(c.mem.GetState(), GMEM_UNLOCKED); // not locked at construction
    const int16_t counts[6] = {10, -40, 30, 0, -5, 20};
    std::memcpy(c.mem.GetPtr(), counts, sizeof counts);
    EXPECT_EQ(c.GetRawVal(1), -40);
    EXPECT_FLOAT_EQ(c.GetVal(1), -20.0f);
    EXPECT_EQ(c.GetRawVal(6), 32767);
    EXPECT_TRUE(c.IsNoVal(c.GetVal(6)));
    EXPECT_EQ(c.GetName(), "Force");
    EXPECT_EQ(c.GetUnits(), "N");
    EXPECT_FLOAT_EQ(c.GetMaxAbsVal(-1, 0), 20.0f);
    EXPECT_FLOAT_EQ(c.GetMaxAbsVal(2, 50), 15.0f); // b clamped to the last element
    EXPECT_FLOAT_EQ(c.GetRapidPeakRng(0, 2, 1.0f), -20.0f);
    EXPECT_FLOAT_EQ(c.GetRapidSumRng(0, 5, 1.0f, 0), 7.5f);
    EXPECT_FLOAT_EQ(c.GetRapidSumRng(0, 5, 1.0f, 1), 52.5f);
    EXPECT_FLOAT_EQ(c.GetRapidSumRng(3, 2, 1.0f, 0), 0.0f);
    // a > b in PIX_MEAN: the single element a' (b is raised to it).
    EXPECT_FLOAT_EQ(c.GetRapidValRng(2, 0, 1.0f, PIX_MEAN, 0), 15.0f);
    EXPECT_FLOAT_EQ(c.GetRapidValRng(-3, 1, 1.0f, PIX_MEAN, 0), -7.5f);
    EXPECT_FLOAT_EQ(c.GetRapidValRng(1, 4, 2.0f, PIX_FIRST, 0), 15.0f); // element trunc(1 * 2)
    c.bAbs = 1;
    EXPECT_EQ(c.GetRawVal(1), 40);

    SOFTCHAN_AD plain(0, 3, 0.01f, nullptr); // without info: the defaults
    EXPECT_TRUE(plain.info == ADCHANINFO());
}

TEST(SoftChanXms, PointsAreInterpolatedAndTheLastSlopeContinues) {
    SOFTCHANNELS list;
    auto* c = new SOFTCHAN_XMS(0, 3, 0.01f, "Volume", "dB", "Sec", "Time");
    list.AddChan(c);
    EXPECT_EQ(c->RtnNel(), 300); // 100 elements per point
    EXPECT_FLOAT_EQ(c->fDt, 0.0001f);
    const float points[] = {10.0f, 20.0f, 40.0f};
    for (int k = 0; k < 3; ++k)
        c->arr[k] = points[k];
    // Past the last point the slope of points 1 ... 2 continues.
    const std::pair<long, float> vals[] = {
        {0, 10.0f}, {150, 30.0f}, {200, 40.0f}, {250, 50.0f}, {299, 59.8f}};
    for (auto [i, v] : vals)
        EXPECT_FLOAT_EQ(c->GetVal(i), v) << i;
    EXPECT_TRUE(c->IsNoVal(c->GetVal(300)));
    EXPECT_TRUE(c->IsNoVal(c->GetVal(-1)));
    EXPECT_FLOAT_EQ(c->GetRapidValRng(150, 290, 3.0f, PIX_PEAK, 1), 30.0f);
    EXPECT_FLOAT_EQ(c->GetMaxAbsVal(-1, 0), 40.0f);
    EXPECT_FLOAT_EQ(c->GetMaxAbsVal(0, 150), 20.0f);
    EXPECT_NEAR(c->GetValAtTime(0.005f), 15.0f, 1e-4f);

    SOFTCHANNELS one;
    auto* single = new SOFTCHAN_XMS(0, 1, 0.01f, "", "", "Sec", "Time");
    one.AddChan(single);
    single->arr[0] = 7.0f;
    EXPECT_FLOAT_EQ(single->GetVal(57), 7.0f); // one point: no slope to continue
    SOFTCHAN_XMS zero;
    EXPECT_FLOAT_EQ(zero.GetMaxAbsVal(-1, 0), 1e-10f);
}

TEST(SoftChanKinds, RunTimeNamesAndKindOf) {
    struct Kind {
        const char* name;
        bool ad;
    };
    for (Kind k : {Kind{"SOFTCHAN_AD", true}, Kind{"SOFTCHAN_WAVE8", true},
                   Kind{"SOFTCHAN_XMS", false}, Kind{"SOFTCHAN_LE", false}}) {
        const CRuntimeClass* cls = CRuntimeClass::FromName(k.name);
        ASSERT_NE(cls, nullptr) << k.name;
        std::unique_ptr<CObject> obj(cls->CreateObject());
        ASSERT_NE(obj, nullptr) << k.name;
        EXPECT_STREQ(obj->GetRuntimeClass()->m_lpszClassName, k.name);
        EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(SOFTCHAN))) << k.name;
        EXPECT_EQ(obj->IsKindOf(RUNTIME_CLASS(SOFTCHAN_AD)), k.ad) << k.name;
    }
    // The base is abstract in use: it has run-time information but no dynamic creation.
    const CRuntimeClass* base = CRuntimeClass::FromName("SOFTCHAN");
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(base->CreateObject(), nullptr);
    SOFTCHAN_LE le;
    EXPECT_FALSE(le.IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE8)));
    // A wave channel made by name has no room at all: full at once, nothing written.
    std::unique_ptr<CObject> obj(CRuntimeClass::FromName("SOFTCHAN_WAVE8")->CreateObject());
    auto* w = static_cast<SOFTCHAN_WAVE8*>(obj.get());
    EXPECT_FALSE(w->IsKindOf(RUNTIME_CLASS(SOFTCHAN_LE)));
    EXPECT_EQ(std::tuple(w->GetLastSavedSample(), w->RtnNel(), w->GetRawVal(0)),
              std::tuple(-1, 0L, 32767));
    const uint8_t d[4] = {1, 2, 3, 4};
    EXPECT_EQ(w->InsertValues(4, d), 1);
}
