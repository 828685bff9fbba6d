// The analysis of a recording: DC level, level channel, "Volume" curve and
// the speech range, over recordings made as the dialog makes them.
#include "record/RecordingAnalysis.h"
#include "TestRecording.h"
#include "capture/SoakSupport.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave8.h"
#include "channels/SoftChanXMS.h"
#include "record/SoftChannels.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {
using namespace rectest;

// Silence at 128 + dc, with a 200 Hz square burst of +-amp counts from t0 to t1.
std::function<uint8_t(long)> Burst(int dc, double t0, double t1, int amp) {
    return [=](long i) {
        const double t = double(i) / kRate;
        int v = 128 + dc;
        if (t >= t0 && t < t1) v += (i / 27) % 2 ? amp : -amp;
        return uint8_t(v);
    };
}
} // namespace

TEST(RecordingAnalysis, PointCountsFollowTheCapacity) {
    const float dt = float(1.0L / kRate);
    EXPECT_EQ(VolumePointCount(22050, dt), 199); // 199.99999... from the 32-bit dt
    EXPECT_EQ(VolumePointCount(55126, dt), 500);
    EXPECT_EQ(VolumePointCount(110250, dt), 999); // 10 s: 999.99998...
    EXPECT_EQ(VolumePointCount(0, dt), 0);
    EXPECT_EQ(VolumePointCount(100, -1.0f), 0);
}

TEST(RecordingAnalysis, BurstIsLocatedAndTheDcLevelRemoved) {
    Recording r(2, 2.0, Burst(3, 0.8, 1.3, 60));
    RECORDING_ANALYSIS a;
    ASSERT_EQ(AnalyseRecording(r.list, 0, a), 1);
    EXPECT_FLOAT_EQ(a.fOffset, 3.0f);
    EXPECT_FLOAT_EQ(r.wave->info.fOffset, 3.0f);
    EXPECT_EQ(a.nPoints, 199);
    EXPECT_EQ(a.iLevelChan, 1);
    EXPECT_EQ(a.iVolumeChan, 2);
    EXPECT_EQ(a.bLocated, 1);
    // Threshold crossings lie within one level window (0.01 s) of the burst's
    // edges; the range adds 0.1 s on both sides.
    EXPECT_NEAR(a.range.Lo, 0.8 - 0.1, 0.012);
    EXPECT_NEAR(a.range.Hi, 1.3 + 0.1, 0.012);

    auto* level = dynamic_cast<SOFTCHAN_LE*>(r.list.GetChan(1));
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->pSrc, r.wave);
    EXPECT_EQ(level->nWin, 111);
    auto* volume = dynamic_cast<SOFTCHAN_XMS*>(r.list.GetChan(2));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->RtnNel(), 19900);
    EXPECT_FLOAT_EQ(volume->fDt, 0.0001f);
    EXPECT_EQ(volume->GetName(), "Volume");
    // Silence reads 0 once the DC level is gone; inside the burst the level is
    // the square's amplitude.
    EXPECT_FLOAT_EQ(volume->arr[50], 0.0f);
    EXPECT_FLOAT_EQ(volume->arr[150], 0.0f);
    EXPECT_NEAR(volume->arr[100], 60 * 7.8125, 1e-3);
    EXPECT_NEAR(volume->arr[120], 60 * 7.8125, 1e-3);
}

TEST(RecordingAnalysis, DcLevelIsTakenFromTheLastTenthOfASecondOnly) {
    // 140 for the first second, 130 after it: the offset is 2 counts.
    Recording r(2, 2.0, [](long i) { return uint8_t(i < kRate ? 140 : 130); });
    EXPECT_FLOAT_EQ(RemoveDcLevel(*r.wave), 2.0f);
    EXPECT_FLOAT_EQ(r.wave->GetVal(r.wave->GetLastSavedSample()), 0.0f);
    EXPECT_FLOAT_EQ(r.wave->GetVal(0), 10 * 7.8125f);
    // A fractional mean truncates toward zero: 1.5 counts below 128 gives -1.
    Recording below(2, 2.0, [](long i) { return uint8_t(i % 2 ? 126 : 127); });
    EXPECT_FLOAT_EQ(RemoveDcLevel(*below.wave), -1.0f);
}

// The window is the last sample written L and the 1103 before it. Its mean is
// exactly 2 counts; one sample more or less at either edge (or the window
// shifted by one) brings the mean below 2, which truncates to 1.
TEST(RecordingAnalysis, DcWindowEndsAtTheLastSampleWrittenAndSpansK) {
    const long n = 3 * kBuffer, last = n - 1, a = last - 1103;
    std::vector<uint8_t> s(size_t(n), 128);
    for (long i = a + 1; i < last; ++i)
        s[size_t(i)] = i - a <= 852 ? 130 : 129; // 852 at 2 counts, 250 at 1
    s[size_t(a)] = s[size_t(last)] = 255;        // 127 counts at both edges
    s[size_t(a - 1)] = 0;                        // -128 counts just outside
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 w(0, 2 * kRate, float(1.0L / kRate), &info);
    w.InsertValues(int(n), s.data());
    ASSERT_EQ(w.GetLastSavedSample(), last);
    EXPECT_FLOAT_EQ(RemoveDcLevel(w), 2.0f);
}

TEST(RecordingAnalysis, StopBeforeAnyBufferGivesTheDefaults) {
    Recording r(10, 0.0, Burst(0, 0, 0, 0));
    ASSERT_EQ(r.wave->GetLastSavedSample(), -1);
    RECORDING_ANALYSIS a;
    ASSERT_EQ(AnalyseRecording(r.list, 0, a), 1);
    EXPECT_FLOAT_EQ(a.fOffset, 0.0f);
    EXPECT_EQ(a.nPoints, 999);
    EXPECT_EQ(a.bLocated, 0);
    EXPECT_FLOAT_EQ(a.range.Lo, 0.25f);
    SOFTCHAN* volume = r.list.GetChan(a.iVolumeChan);
    ASSERT_NE(volume, nullptr);
    EXPECT_FLOAT_EQ(a.range.Hi, volume->fDt * float(volume->RtnNel() - 1));
}

TEST(RecordingAnalysis, StoppedEarlyTheCurveStillCoversTheWholeRecordTime) {
    // One second of a 10-s setting, at a DC level of 3 counts; the rest of the
    // channel keeps the silence value 128.
    Recording r(10, 1.0, Burst(3, 0.4, 0.7, 50));
    RECORDING_ANALYSIS a;
    ASSERT_EQ(AnalyseRecording(r.list, 0, a), 1);
    EXPECT_EQ(a.nPoints, 999);
    EXPECT_FLOAT_EQ(a.fOffset, 3.0f);
    auto* volume = static_cast<SOFTCHAN_XMS*>(r.list.GetChan(a.iVolumeChan));
    // The unrecorded part reads -fOffset * 7.8125, so its level is 23.4375.
    EXPECT_FLOAT_EQ(volume->arr[500], 3 * 7.8125f);
    EXPECT_FLOAT_EQ(volume->arr[998], 3 * 7.8125f);
    EXPECT_FLOAT_EQ(volume->arr[90], 0.0f);
    // The burst (390.625) is loud enough that 15 % of it stays above that tail.
    EXPECT_EQ(a.bLocated, 1);
    EXPECT_NEAR(a.range.Lo, 0.3, 0.012);
    EXPECT_NEAR(a.range.Hi, 0.8, 0.012);
}

TEST(RecordingAnalysis, SpeechAtTheEndRunsToTheEndOfTheCurve) {
    Recording r(2, 2.0, Burst(0, 1.5, 3.0, 30));
    RECORDING_ANALYSIS a;
    ASSERT_EQ(AnalyseRecording(r.list, 0, a), 1);
    // The last 0.1 s are loud: the offset is the square's mean, 0.
    EXPECT_FLOAT_EQ(a.fOffset, 0.0f);
    EXPECT_EQ(a.bLocated, 1);
    EXPECT_NEAR(a.range.Lo, 1.4, 0.012);
    SOFTCHAN* volume = r.list.GetChan(a.iVolumeChan);
    EXPECT_FLOAT_EQ(a.range.Hi, volume->TimeOfIndex(volume->RtnNel() - 1));
}

TEST(RecordingAnalysis, EveryRecordingAfterEmptyingTheListGetsChannels0To2) {
    Recording r(2, 2.0, Burst(1, 0.5, 0.9, 30));
    RECORDING_ANALYSIS first;
    ASSERT_EQ(AnalyseRecording(r.list, 0, first), 1);
    r.list.DeleteAll();
    ADCHANINFO info = RecordingChannelInfo();
    auto* w = new SOFTCHAN_WAVE8(r.list.GetFreeChan(-1), 2 * kRate, float(1.0L / kRate), &info);
    r.list.AddChan(w);
    std::vector<uint8_t> buf(kBuffer, 128);
    w->InsertValues(kBuffer, buf.data());
    RECORDING_ANALYSIS second;
    ASSERT_EQ(AnalyseRecording(r.list, w->nChan, second), 1);
    EXPECT_EQ(w->nChan, 0);
    EXPECT_EQ(second.iLevelChan, 1);
    EXPECT_EQ(second.iVolumeChan, 2);
    EXPECT_EQ(second.bLocated, 0);
}

// Only a wave channel of the list is analysed, and a full channel list gets
// nothing added; the result is then the defaults.
TEST(RecordingAnalysis, NoWaveChannelOrAFullListAddsNothing) {
    SOFTCHANNELS list;
    list.AddChan(new SOFTCHAN_XMS(0, 10, 0.01f, "Volume", "", "Sec", "Time"));
    RECORDING_ANALYSIS a;
    a.nPoints = 77; // overwritten with the defaults
    EXPECT_EQ(AnalyseRecording(list, 0, a), 0);
    EXPECT_EQ(a.nPoints, 0);
    EXPECT_EQ(a.iLevelChan, -1);
    EXPECT_EQ(AnalyseRecording(list, 5, a), 0);
    EXPECT_EQ(AnalyseRecording(list, -1, a), 0);
    EXPECT_EQ(list.GetSize(), 1);

    SOFTCHANNELS full;
    ADCHANINFO info = RecordingChannelInfo();
    full.AddChan(new SOFTCHAN_WAVE8(0, 2 * kRate, float(1.0L / kRate), &info));
    for (int n = 1; n < 255; ++n)
        full.AddChan(new SOFTCHAN_XMS(n, 1, 0.01f, "", "", "Sec", "Time"));
    ASSERT_EQ(full.GetFreeChan(-1), -1);
    EXPECT_EQ(AnalyseRecording(full, 0, a), 0);
    EXPECT_EQ(a.iLevelChan, -1);
    EXPECT_EQ(full.GetSize(), 255);
}
