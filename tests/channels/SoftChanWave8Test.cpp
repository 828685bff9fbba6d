#include "channels/SoftChanWave8.h"
#include "ChannelTestUtil.h"
#include "record/RecordingAnalysis.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr float kDt = 1.0f / 11025;

std::vector<uint8_t> Bytes(int n, int seed) {
    std::vector<uint8_t> v(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i)
        v[size_t(i)] = uint8_t((i * 7 + seed * 13) % 251);
    return v;
}
} // namespace

TEST(Wave8, CapacityIsRoundedUpToWholePairsAndStartsSilent) {
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 w(3, 11025, kDt, &info);
    EXPECT_EQ(std::tuple(w.nNel, w.RtnNel(), w.mem.GetSize()), std::tuple(5513, 11026L, 5513u * 4));
    EXPECT_EQ(w.GetLastSavedSample(), -1);
    for (long i = 0; i < 11026; ++i)
        ASSERT_EQ(w.GetRawVal(i), 128) << i;
    EXPECT_EQ(std::pair(w.GetRawVal(11026), w.GetRawVal(-1)), std::pair(32767, 32767));
    EXPECT_FLOAT_EQ(w.GetVal(0), 0.0f);
    EXPECT_TRUE(w.IsNoVal(w.GetVal(11026)));
    EXPECT_TRUE(w.IsNoVal(w.GetVal(-1)));

    EXPECT_EQ(SOFTCHAN_WAVE8(0, 22050, kDt, &info).RtnNel(), 22050);
    EXPECT_EQ(SOFTCHAN_WAVE8(0, 55125, kDt, &info).RtnNel(), 55126);
}

TEST(Wave8, ValuesFollowTheChannelInfo) {
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 w(0, 8, kDt, &info);
    const uint8_t data[8] = {0, 255, 128, 131, 1, 2, 3, 4};
    w.InsertValues(8, data);
    EXPECT_FLOAT_EQ(w.GetVal(0), -1000.0f);
    EXPECT_FLOAT_EQ(w.GetVal(1), 992.1875f);
    EXPECT_FLOAT_EQ(w.GetVal(2), 0.0f);
    w.info.fOffset = 3.0f; // the DC level set after a recording
    EXPECT_FLOAT_EQ(w.GetVal(3), 0.0f);
    EXPECT_FLOAT_EQ(w.GetVal(2), -3.0f * 7.8125f);
    EXPECT_EQ(w.GetRawVal(1), 255); // raw samples are unsigned, never negated
    EXPECT_EQ(w.GetName(), "Volume");
    // The channel copies the record: the caller's copy keeps its offset.
    EXPECT_FLOAT_EQ(info.fOffset, 0.0f);
}

TEST(Wave8, InsertionsFollowOneAnotherAndFullLeavesLessRoomThanUsed) {
    SOFTCHAN_WAVE8 w(0, 11025, kDt, nullptr); // 11026 samples
    std::vector<std::vector<uint8_t>> bufs;
    for (int k = 0; k < 5; ++k)
        bufs.push_back(Bytes(2048, k + 2));
    EXPECT_EQ(w.InsertValues(2048, bufs[0].data()), 0);
    EXPECT_EQ(w.GetLastSavedSample(), 2047);
    EXPECT_EQ(w.GetRawVal(2048), 128);
    // Samples are laid out byte by byte in the block.
    EXPECT_EQ(static_cast<const uint8_t*>(w.mem.GetPtr())[100], bufs[0][100]);

    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(w.InsertValues(2048, bufs[size_t(k)].data()), 0) << k;
    // The fifth buffer leaves 786 samples: less than it used.
    EXPECT_EQ(w.InsertValues(2048, bufs[4].data()), 1);
    EXPECT_EQ(w.GetLastSavedSample(), 5 * 2048 - 1);
    for (long i = 0; i < 5 * 2048; ++i)
        ASSERT_EQ(w.GetRawVal(i), bufs[size_t(i / 2048)][size_t(i % 2048)]) << i;
    for (long i = 5 * 2048; i < w.RtnNel(); ++i)
        ASSERT_EQ(w.GetRawVal(i), 128) << i;
}

// Capture buffers of 0.2 s into 2 s and 5 s channels: every byte of every
// buffer is kept in order, and full comes with the 10th and the 25th buffer.
TEST(Wave8, CaptureBuffersAreKeptWholeUntilFull) {
    struct Case {
        long samples;
        int fullAt;
        long rtnNel;
    };
    for (const Case& c : {Case{22050, 10, 22050}, Case{55125, 25, 55126}}) {
        SCOPED_TRACE(c.samples);
        SOFTCHAN_WAVE8 w(0, c.samples, kDt, nullptr);
        ASSERT_EQ(w.RtnNel(), c.rtnNel);
        std::vector<uint8_t> source;
        int count = 0, full = 0;
        while (!full && count < 40) {
            const std::vector<uint8_t> buf = Bytes(2205, count + 9);
            full = w.InsertValues(2205, buf.data());
            source.insert(source.end(), buf.begin(), buf.end());
            ++count;
        }
        EXPECT_EQ(count, c.fullAt);
        ASSERT_EQ(w.GetLastSavedSample(), long(source.size()) - 1);
        EXPECT_EQ(source.size(), size_t(2205 * c.fullAt));
        for (size_t i = 0; i < source.size(); ++i)
            ASSERT_EQ(w.GetRawVal(long(i)), source[i]) << i;
        for (long i = long(source.size()); i < w.RtnNel(); ++i)
            ASSERT_EQ(w.GetRawVal(i), 128) << i;
    }
}

TEST(Wave8, OddAndEmptyInsertions) {
    SOFTCHAN_WAVE8 w(0, 10, kDt, nullptr);
    const uint8_t d[4] = {10, 11, 12, 13};
    EXPECT_EQ(w.InsertValues(3, d), 0); // an odd size: all three kept
    EXPECT_EQ(w.GetLastSavedSample(), 2);
    EXPECT_EQ(std::tuple(w.GetRawVal(2), w.GetRawVal(3)), std::tuple(12, 128));
    EXPECT_EQ(w.InsertValues(1, d + 3), 0);
    EXPECT_EQ(w.GetRawVal(3), 13);

    EXPECT_EQ(w.InsertValues(0, d), 0); // not at the end: nothing changes
    EXPECT_EQ(w.InsertValues(-3, d), 0);
    EXPECT_EQ(w.GetLastSavedSample(), 3);
    EXPECT_EQ(w.InsertValues(3, d), 0);     // samples 4 .. 6; 3 left, as many as used
    EXPECT_EQ(w.InsertValues(2, d), 1);     // samples 7, 8; 1 left
    EXPECT_EQ(w.InsertValues(0, d), 0);     // still one sample of room
    EXPECT_EQ(w.InsertValues(1, d + 3), 1); // the last sample
    EXPECT_EQ(w.GetLastSavedSample(), 9);
    EXPECT_EQ(w.InsertValues(0, d), 1); // already at the end
    EXPECT_EQ(w.GetLastSavedSample(), 9);
    EXPECT_EQ(w.GetRawVal(9), 13);
}

TEST(Wave8, AppendingPastTheCapacityWrapsInsideTheChannel) {
    SOFTCHAN_WAVE8 w(0, 8, kDt, nullptr); // 8 samples in a block of 16 bytes
    const uint8_t first[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t second[20] = {21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
                                31, 32, 33, 34, 35, 36, 37, 38, 39, 40};
    EXPECT_EQ(w.InsertValues(6, first), 1);  // 2 left
    EXPECT_EQ(w.InsertValues(3, second), 1); // samples 6, 7, then 0
    EXPECT_EQ(w.GetLastSavedSample(), 8);    // not reduced by the wrap
    auto raw = [&] {
        std::vector<int> v;
        for (int i = 0; i < 8; ++i)
            v.push_back(w.GetRawVal(i));
        return v;
    };
    EXPECT_EQ(raw(), (std::vector<int>{23, 2, 3, 4, 5, 6, 21, 22}));
    // More than the channel holds: only as many as it has samples, from sample 0.
    EXPECT_EQ(w.InsertValues(20, second), 1);
    EXPECT_EQ(raw(), (std::vector<int>{21, 22, 23, 24, 25, 26, 27, 28}));
    const auto* block = static_cast<const uint8_t*>(w.mem.GetPtr());
    for (size_t i = 8; i < w.mem.GetSize(); ++i)
        EXPECT_EQ(block[i], 128) << "byte " << i << " of the block, outside the samples";
    EXPECT_EQ(w.GetRawVal(8), 32767);
}

TEST(Wave8, InsertValues16CopiesWholePairsAndWraps) {
    SOFTCHAN_WAVE8 w(0, 8, kDt, nullptr); // 4 pairs
    const uint8_t bytes[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    uint16_t words[6];
    std::memcpy(words, bytes, sizeof words);

    EXPECT_EQ(w.InsertValues16(3, 2, words), 1); // pair 3, then pair 0
    EXPECT_EQ(std::tuple(w.GetRawVal(6), w.GetRawVal(7), w.GetRawVal(0), w.GetRawVal(1)),
              std::tuple(1, 2, 3, 4));
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 4 + 1); // the second sample of pair 4

    EXPECT_EQ(w.InsertValues16(9, 1, words + 2), 1); // a start beyond the pairs wraps to 0
    EXPECT_EQ(w.GetRawVal(0), 5);
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 9 + 1);

    EXPECT_EQ(w.InsertValues16(1, 6, words), 1); // more than the capacity: only 4 pairs
    EXPECT_EQ(w.GetRawVal(2), 1);
    EXPECT_EQ(w.GetRawVal(0), 7); // the fourth word, at pair 0 after the wrap
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 4 + 1);

    EXPECT_EQ(w.InsertValues16(2, 0, words), 1); // nothing copied
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 1 + 1);
    EXPECT_EQ(w.GetRawVal(2), 1);
    // Byte-wise insertion goes on after the pair: at sample 4.
    EXPECT_EQ(w.InsertValues(1, bytes + 11), 0);
    EXPECT_EQ(std::tuple(w.GetRawVal(3), w.GetRawVal(4)), std::tuple(2, 12));
}

TEST(Wave8, RangeReductionsWorkOnTheSamples) {
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 w(0, 8, kDt, &info);
    const uint8_t d[8] = {128, 140, 100, 130, 128, 128, 200, 128};
    w.InsertValues(8, d);
    // PIX_FIRST: the value at trunc(a * step); spans are clamped to the samples.
    EXPECT_FLOAT_EQ(w.GetRapidValRng(1, 3, 1.0f, PIX_FIRST, 0), 12 * 7.8125f);
    EXPECT_FLOAT_EQ(w.GetRapidValRng(50, 60, 1.0f, PIX_FIRST, 0), 0.0f); // sample 7
    EXPECT_FLOAT_EQ(w.GetRapidValRng(-5, 0, 1.0f, PIX_FIRST, 0), 0.0f);
    // PIX_PEAK keeps the sign of the larger magnitude.
    EXPECT_FLOAT_EQ(w.GetRapidValRng(0, 3, 1.0f, PIX_PEAK, 0), -28 * 7.8125f);
    EXPECT_FLOAT_EQ(w.GetRapidValRng(0, 7, 1.0f, PIX_PEAK, 0), 72 * 7.8125f);
    // PIX_MEAN of signed and of absolute differences.
    EXPECT_FLOAT_EQ(w.GetRapidValRng(1, 3, 1.0f, PIX_MEAN, 0), (12 - 28 + 2) / 3.0f * 7.8125f);
    EXPECT_FLOAT_EQ(w.GetRapidValRng(1, 3, 1.0f, PIX_MEAN, 1), (12 + 28 + 2) / 3.0f * 7.8125f);
    EXPECT_FLOAT_EQ(w.GetRapidValRng(0, 3, 1.0f, PIXMODE(7), 0), 0.0f);
    EXPECT_FLOAT_EQ(w.GetMaxAbsVal(-1, 0), 72 * 7.8125f);
    EXPECT_FLOAT_EQ(w.GetMaxAbsVal(0, 3), 28 * 7.8125f);
}
