#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include "record/RecordingAnalysis.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr float kDt = 1.0f / 48000;

// n little-endian 16-bit samples of a pattern that reaches both ends of the range.
std::vector<uint8_t> Frames(long n, int seed) {
    std::vector<uint8_t> v(size_t(2 * n));
    for (long i = 0; i < n; ++i) {
        const uint16_t s = uint16_t(i * 7919 + seed * 104729);
        v[size_t(2 * i)] = uint8_t(s);
        v[size_t(2 * i + 1)] = uint8_t(s >> 8);
    }
    return v;
}

// The channel's sample bytes from sample first on, count samples.
std::vector<uint8_t> Stored(const SOFTCHAN_WAVE16& w, long first, long count) {
    const uint8_t* p = w.SampleData() + 2 * first;
    return std::vector<uint8_t>(p, p + 2 * count);
}

std::vector<uint8_t> Part(const std::vector<uint8_t>& v, long firstSample, long count) {
    return std::vector<uint8_t>(v.begin() + 2 * firstSample, v.begin() + 2 * (firstSample + count));
}
} // namespace

TEST(Wave16, CapacityIsRoundedUpToEvenAndStartsSilent) {
    const ADCHANINFO info = RecordingChannelInfo(16);
    SOFTCHAN_WAVE16 w(3, 11025, kDt, &info);
    // Two samples per 4-byte element: the block holds exactly the samples.
    EXPECT_EQ(std::tuple(w.nNel, w.RtnNel(), w.mem.GetSize()),
              std::tuple(5513, 11026L, 11026u * 2));
    EXPECT_EQ(w.BytesPerSample(), 2);
    EXPECT_EQ(w.GetLastSavedSample(), -1);
    for (long i = 0; i < 11026; ++i)
        ASSERT_EQ(w.GetRawVal(i), 0) << i;
    EXPECT_EQ(std::pair(w.GetRawVal(11026), w.GetRawVal(-1)), std::pair(32767, 32767));
    EXPECT_TRUE(w.IsNoVal(w.GetVal(11026)));
    EXPECT_TRUE(w.IsNoVal(w.GetVal(-1)));
    EXPECT_TRUE(w.IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE)));
    EXPECT_FALSE(w.IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE8)));
}

// Signed little-endian samples; full scale reads as -1000 ... +999.97, the
// same range as the 8-bit channel's, and the DC level shifts it.
TEST(Wave16, SignedLittleEndianSamplesAndFullScaleOfAThousand) {
    const ADCHANINFO info = RecordingChannelInfo(16);
    SOFTCHAN_WAVE16 w(0, 6, kDt, &info);
    const uint8_t data[12] = {0x00, 0x80, 0xff, 0x7f, 0, 0, 0x34, 0x12, 0xff, 0xff, 0x00, 0x40};
    EXPECT_EQ(w.InsertValues(12, data), 1);
    EXPECT_EQ(w.GetLastSavedSample(), 5);
    const int raws[6] = {-32768, 32767, 0, 0x1234, -1, 16384};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w.GetRawVal(i), raws[i]) << i;
    EXPECT_FLOAT_EQ(w.GetVal(0), -1000.0f);
    EXPECT_FLOAT_EQ(w.GetVal(1), 999.96948f);
    EXPECT_FLOAT_EQ(w.GetVal(5), 500.0f);
    w.info.fOffset = 16384.0f;
    EXPECT_FLOAT_EQ(w.GetVal(5), 0.0f);
    EXPECT_FLOAT_EQ(w.GetVal(2), -500.0f);
    EXPECT_EQ(w.GetName(), "Volume");
    EXPECT_FLOAT_EQ(w.GetMaxAbsVal(0, 5), 1500.0f);
}

// Capture buffers of 0.2 s at 48000 Hz (9600 samples) keep every sample in
// order; full comes with the 10th buffer of a 2 s channel and the 25th of a
// 5 s one, when less room is left than a buffer.
TEST(Wave16, CaptureBuffersKeepEverySampleAndFullComesAtTheRecordTime) {
    for (const auto& [seconds, fullAt] : {std::pair{2L, 10}, {5L, 25}}) {
        SCOPED_TRACE(seconds);
        SOFTCHAN_WAVE16 w(0, seconds * 48000, kDt, nullptr);
        const std::vector<uint8_t> src = Frames(seconds * 48000, int(seconds));
        int buffers = 0, full = 0;
        while (!full) {
            full = w.InsertValues(19200, src.data() + 19200L * buffers);
            ++buffers;
            ASSERT_EQ(w.GetLastSavedSample(), 9600L * buffers - 1);
        }
        EXPECT_EQ(buffers, fullAt);
        EXPECT_EQ(Stored(w, 0, w.RtnNel()), src);
    }
}

// A write past the end wraps to sample 0 and never leaves the channel (the
// last sample written counts on without the wrap); a write longer than the
// channel keeps its first RtnNel() samples; an odd trailing byte is not a
// sample; an empty write changes nothing and is full once no room is left.
TEST(Wave16, WrapsInsideTheChannelOddBytesAndEmptyWrites) {
    SOFTCHAN_WAVE16 w(0, 10, kDt, nullptr);
    const std::vector<uint8_t> a = Frames(8, 1), b = Frames(6, 2), c = Frames(25, 3);
    EXPECT_EQ(w.InsertValues(16, a.data()), 1); // 8 in: 2 left, fewer than 8
    EXPECT_EQ(w.InsertValues(12, b.data()), 1);
    EXPECT_EQ(w.GetLastSavedSample(), 13);
    EXPECT_EQ(Stored(w, 8, 2), Part(b, 0, 2));
    EXPECT_EQ(Stored(w, 0, 4), Part(b, 2, 4));
    EXPECT_EQ(Stored(w, 4, 4), Part(a, 4, 4));

    EXPECT_EQ(w.InsertValues(50, c.data()), 1); // past the end: from sample 0
    EXPECT_EQ(w.GetLastSavedSample(), 23);
    EXPECT_EQ(Stored(w, 0, 10), Part(c, 0, 10));

    SOFTCHAN_WAVE16 end(0, 4, kDt, nullptr);
    EXPECT_EQ(end.InsertValues(0, a.data()), 0);
    EXPECT_EQ(end.InsertValues(2, a.data()), 0); // 1 in, 3 left
    EXPECT_EQ(end.InsertValues(4, a.data()), 1); // 2 in, 1 left
    EXPECT_EQ(end.InsertValues(0, a.data()), 0); // some room left
    EXPECT_EQ(end.InsertValues(2, a.data()), 1);
    EXPECT_EQ(end.InsertValues(0, a.data()), 1); // no room at all
    EXPECT_EQ(end.GetLastSavedSample(), 3);

    SOFTCHAN_WAVE16 odd(0, 100, kDt, nullptr);
    const std::vector<uint8_t> d = Frames(4, 4);
    EXPECT_EQ(odd.InsertValues(7, d.data()), 0);
    EXPECT_EQ(odd.GetLastSavedSample(), 2);
    EXPECT_EQ(Stored(odd, 0, 3), Part(d, 0, 3));
    EXPECT_EQ(odd.GetRawVal(3), 0);
    EXPECT_EQ(odd.InsertValues(0, d.data()), 0);
    EXPECT_EQ(odd.InsertValues(1, d.data()), 0);
    EXPECT_EQ(odd.GetLastSavedSample(), 2);
    EXPECT_EQ(odd.GetRawVal(3), 0);
}
