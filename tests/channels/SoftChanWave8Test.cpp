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
    EXPECT_EQ(w.GetLastSavedSample(), -2);
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

TEST(Wave8, InsertionsFillPairsInTurnAndFullLeavesNoMoreRoomThanUsed) {
    SOFTCHAN_WAVE8 w(0, 11025, kDt, nullptr); // 5513 pairs
    std::vector<std::vector<uint8_t>> bufs;
    for (int k = 0; k < 5; ++k)
        bufs.push_back(Bytes(2048, k + 2));
    EXPECT_EQ(w.InsertValues(2048, bufs[0].data()), 0);
    EXPECT_EQ(w.GetLastSavedSample(), 2046);
    for (long i = 0; i < 2048; ++i)
        ASSERT_EQ(w.GetRawVal(i), bufs[0][size_t(i)]) << i;
    EXPECT_EQ(w.GetRawVal(2048), 128);
    // Samples are laid out byte by byte in the block.
    EXPECT_EQ(static_cast<const uint8_t*>(w.mem.GetPtr())[100], bufs[0][100]);

    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(w.InsertValues(2048, bufs[size_t(k)].data()), 0) << k;
    EXPECT_EQ(w.InsertValues(2048, bufs[4].data()), 1);
    // The fifth buffer went to pairs 4096 ... 5119; 393 pairs stay silent.
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 5119);
    for (long i = 0; i < 2048; ++i)
        ASSERT_EQ(w.GetRawVal(8192 + i), bufs[4][size_t(i)]) << i;
    for (long i = 10240; i < w.RtnNel(); ++i)
        ASSERT_EQ(w.GetRawVal(i), 128) << i;
    EXPECT_EQ(w.RtnNel() - 10240, 2 * 393);
}

TEST(Wave8, CaptureBuffersOf2205BytesLoseTheirLastByte) {
    SOFTCHAN_WAVE8 w(0, 22050, kDt, nullptr);
    std::vector<uint8_t> a = Bytes(2205, 5), b = Bytes(2205, 6);
    w.InsertValues(2205, a.data());
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 1101);
    w.InsertValues(2205, b.data());
    EXPECT_EQ(w.GetRawVal(2203), a[2203]);
    EXPECT_EQ(w.GetRawVal(2204), b[0]); // a[2204] was dropped
    EXPECT_EQ(w.GetRawVal(4407), b[2203]);
    EXPECT_EQ(w.GetRawVal(4408), 128);

    // A 2-s channel is reported full by its tenth buffer of 0.2 s.
    SOFTCHAN_WAVE8 two(0, 22050, kDt, nullptr);
    std::vector<uint8_t> buf = Bytes(2205, 7);
    int count = 0, full = 0;
    while (!full && count < 20) {
        full = two.InsertValues(2205, buf.data());
        ++count;
    }
    EXPECT_EQ(count, 10);
    EXPECT_EQ(two.GetLastSavedSample(), 22038);
}

TEST(Wave8, OddAndEmptyInsertions) {
    SOFTCHAN_WAVE8 w(0, 10, kDt, nullptr); // 5 pairs
    const uint8_t d[4] = {10, 11, 12, 13};
    EXPECT_EQ(w.InsertValues(3, d), 0); // one pair; 12 dropped
    EXPECT_EQ(w.GetLastSavedSample(), 0);
    EXPECT_EQ(w.GetRawVal(1), 11);
    EXPECT_EQ(w.GetRawVal(2), 128);

    EXPECT_EQ(w.InsertValues(0, d), 0); // not at the end: nothing changes
    EXPECT_EQ(w.GetLastSavedSample(), 0);
    EXPECT_EQ(w.InsertValues(4, d), 1); // pairs 1, 2; 2 pairs left
    EXPECT_EQ(w.InsertValues(2, d), 1); // pair 3
    EXPECT_EQ(w.InsertValues(2, d), 1); // pair 4, the last
    EXPECT_EQ(w.GetLastSavedSample(), 8);
    EXPECT_EQ(w.InsertValues(0, d), 1); // already at the end
    EXPECT_EQ(w.GetLastSavedSample(), 8);
    EXPECT_EQ(w.GetRawVal(9), 11);
}

TEST(Wave8, AppendingPastTheCapacityWrapsInsideTheChannel) {
    SOFTCHAN_WAVE8 w(0, 8, kDt, nullptr); // 4 pairs
    const uint8_t first[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t second[8] = {21, 22, 23, 24, 25, 26, 27, 28};
    EXPECT_EQ(w.InsertValues(8, first), 1);
    EXPECT_EQ(w.GetLastSavedSample(), 6);
    // End is held at the last sample: two pairs, which wrap to pairs 0 and 1.
    EXPECT_EQ(w.InsertValues(8, second), 1);
    std::vector<int> raw;
    for (int i = 0; i < 8; ++i)
        raw.push_back(w.GetRawVal(i));
    EXPECT_EQ(raw, (std::vector<int>{21, 22, 23, 24, 5, 6, 7, 8}));
    EXPECT_EQ(w.GetLastSavedSample(), 10); // not reduced by the wrap
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
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 4);

    EXPECT_EQ(w.InsertValues16(9, 1, words + 2), 1); // a start beyond the pairs wraps to 0
    EXPECT_EQ(w.GetRawVal(0), 5);
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 9);

    EXPECT_EQ(w.InsertValues16(1, 6, words), 1); // more than the capacity: only 4 pairs
    EXPECT_EQ(w.GetRawVal(2), 1);
    EXPECT_EQ(w.GetRawVal(0), 7); // the fourth word, at pair 0 after the wrap
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 4);

    EXPECT_EQ(w.InsertValues16(2, 0, words), 1); // nothing copied
    EXPECT_EQ(w.GetLastSavedSample(), 2 * 1);
    EXPECT_EQ(w.GetRawVal(2), 1);
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
