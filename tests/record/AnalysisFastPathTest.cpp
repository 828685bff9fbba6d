// The level channel and the speech search read the dialog's own channel kinds
// in place; any other kind goes through the virtual reads. Both ways must give
// the same bits: kinds derived without changes force the virtual way here.
#include "capture/SoakSupport.h"
#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include "channels/SoftChanXMS.h"
#include "record/LocateSpeech.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <type_traits>
#include <vector>

namespace {
struct PlainWave : SOFTCHAN_WAVE8 {
    using SOFTCHAN_WAVE8::SOFTCHAN_WAVE8;
};
struct PlainWave16 : SOFTCHAN_WAVE16 {
    using SOFTCHAN_WAVE16::SOFTCHAN_WAVE16;
};
struct PlainCurve : SOFTCHAN_XMS {
    using SOFTCHAN_XMS::SOFTCHAN_XMS;
};

std::vector<uint8_t> Samples(long n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> s(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        const int burst = (i / 3000) % 3 == 1 ? int(rng() % 120) - 60 : 0;
        s[size_t(i)] = uint8_t(std::clamp(130 + int(rng() % 5) - 2 + burst, 0, 255));
    }
    return s;
}

// The same as 16-bit little-endian samples (scaled by 256, with the
// extremes of the range).
std::vector<uint8_t> Samples16(long n, unsigned seed) {
    const std::vector<uint8_t> s = Samples(n, seed);
    std::vector<uint8_t> v;
    for (long i = 0; i < n; ++i) {
        int x = (int(s[size_t(i)]) - 128) * 256 + int(i % 256);
        if (i % 1000 == 7) x = i % 2000 == 7 ? 32767 : -32768;
        v.push_back(uint8_t(x & 0xff));
        v.push_back(uint8_t((x >> 8) & 0xff));
    }
    return v;
}

// A wave channel of kind W holding the sample bytes s, with a level channel over it.
template <typename W> struct Level {
    SOFTCHANNELS list;
    W* wave;
    SOFTCHAN_LE* le;
    Level(const std::vector<uint8_t>& s, float ratio, float scale) {
        const int bytes = std::is_base_of_v<SOFTCHAN_WAVE16, W> ? 2 : 1;
        const ADCHANINFO info = RecordingChannelInfo(8 * bytes);
        wave = new W(0, long(s.size()) / bytes, 1.0f / 11025, &info);
        list.AddChan(wave);
        wave->InsertValues(int(s.size()), s.data());
        le = new SOFTCHAN_LE(1, 0, 0.01f, ratio, scale);
        list.AddChan(le);
    }
};

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Fast, typename Slow> void ExpectSameLevels(const std::vector<uint8_t>& s) {
    for (const auto& [ratio, scale] : {std::pair{1.0f, 1.0f}, {0.5f, 1.0f}, {1.7f, -2.5f}}) {
        Level<Fast> fast(s, ratio, scale);
        Level<Slow> slow(s, ratio, scale);
        std::mt19937 rng(3);
        long i = 0;
        int n = 0;
        while (i < fast.le->nNel) {
            ASSERT_TRUE(SameBits(fast.le->GetVal(i), slow.le->GetVal(i))) << ratio << " " << i;
            ++n;
            if (n == 300) { // a new DC level mid-way: the level table follows it
                fast.wave->info.fOffset = slow.wave->info.fOffset = 3.0f;
                i -= 500; // and a read backwards
            }
            i += long(rng() % 60);
        }
        const long last = fast.le->nNel - 1;
        EXPECT_TRUE(SameBits(fast.le->GetVal(last), slow.le->GetVal(last)));
    }
}
} // namespace

TEST(AnalysisFastPath, LevelChannelGivesTheSameBitsAsTheVirtualReads) {
    ExpectSameLevels<SOFTCHAN_WAVE8, PlainWave>(Samples(20001, 7));
    ExpectSameLevels<SOFTCHAN_WAVE16, PlainWave16>(Samples16(20001, 8));
}

TEST(AnalysisFastPath, SpeechSearchGivesTheSameRangeAsTheVirtualReads) {
    std::mt19937 rng(11);
    int located = 0;
    for (int c = 0; c < 300; ++c) {
        const long points = 30 + long(rng() % 400);
        SOFTCHANNELS list;
        auto* fast = new SOFTCHAN_XMS(0, points, 0.01f, "Volume", "", "Sec", "Time");
        auto* slow = new PlainCurve(1, points, 0.01f, "Volume", "", "Sec", "Time");
        list.AddChan(fast);
        list.AddChan(slow);
        // Noise, a burst, plateaus of equal points and points right at the
        // threshold of the burst's peak.
        const long b0 = long(rng() % points), b1 = b0 + long(rng() % 80);
        for (long q = 0; q < points; ++q) {
            float v = float(rng() % 50) * 0.37f;
            if (q >= b0 && q < b1) v += float(rng() % 1000);
            if (rng() % 10 == 0 && q > 0) v = fast->arr[int32_t(q - 1)];
            fast->arr[int32_t(q)] = slow->arr[int32_t(q)] = v;
        }
        if (b1 - b0 > 2 && b1 < points) {
            float peak = 0;
            for (long q = 0; q < points; ++q)
                peak = std::max(peak, fast->arr[int32_t(q)]);
            fast->arr[int32_t(b1)] = slow->arr[int32_t(b1)] = 0.15f * peak;
        }
        CRngFlt rf, rs;
        const int lf = LocateSpeech(*fast, rf), ls = LocateSpeech(*slow, rs);
        ASSERT_EQ(lf, ls) << c;
        ASSERT_TRUE(SameBits(rf.Lo, rs.Lo) && SameBits(rf.Hi, rs.Hi)) << c;
        located += lf;
    }
    EXPECT_GT(located, 100); // the search was exercised, not only its early exits
}

TEST(AnalysisFastPath, WholeAnalysisGivesTheSameCurve) {
    const std::vector<uint8_t> s = Samples(2 * 11025, 5);
    SOFTCHANNELS a, b;
    const ADCHANINFO info = RecordingChannelInfo();
    auto* wa = new SOFTCHAN_WAVE8(0, long(s.size()), float(1.0L / 11025), &info);
    auto* wb = new PlainWave(0, long(s.size()), float(1.0L / 11025), &info);
    a.AddChan(wa);
    b.AddChan(wb);
    for (size_t pos = 0; pos + 2205 <= s.size(); pos += 2205) {
        wa->InsertValues(2205, s.data() + pos);
        wb->InsertValues(2205, s.data() + pos);
    }
    RECORDING_ANALYSIS ra, rb;
    ASSERT_EQ(AnalyseRecording(a, 0, ra), 1);
    ASSERT_EQ(AnalyseRecording(b, 0, rb), 1);
    auto* ca = static_cast<SOFTCHAN_XMS*>(a.GetChan(ra.iVolumeChan));
    auto* cb = static_cast<SOFTCHAN_XMS*>(b.GetChan(rb.iVolumeChan));
    ASSERT_EQ(ca->arr.GetSize(), cb->arr.GetSize());
    ASSERT_GT(ca->arr.GetSize(), 100);
    for (int32_t q = 0; q < ca->arr.GetSize(); ++q)
        ASSERT_TRUE(SameBits(ca->arr[q], cb->arr[q])) << q;
    EXPECT_EQ(ra.bLocated, rb.bLocated);
    EXPECT_TRUE(SameBits(ra.range.Lo, rb.range.Lo) && SameBits(ra.range.Hi, rb.range.Hi));
}
