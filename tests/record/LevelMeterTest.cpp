// Peak, RMS, full-scale hits and the peak hold of the level meter, for 8-bit
// unsigned and 16-bit signed samples.
#include "record/LevelMeter.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
// A sine at a quarter of the rate: 0, a, 0, -a around the zero level.
std::vector<uint8_t> Sine8(size_t n, int a) {
    std::vector<uint8_t> v(n);
    const int wave[4] = {0, a, 0, -a};
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(128 + wave[i % 4]);
    return v;
}
std::vector<uint8_t> Sine16(size_t n, int a) {
    std::vector<uint8_t> v(2 * n);
    const int wave[4] = {0, a, 0, -a};
    for (size_t i = 0; i < n; ++i) {
        const uint16_t s = uint16_t(int16_t(wave[i % 4]));
        v[2 * i] = uint8_t(s), v[2 * i + 1] = uint8_t(s >> 8);
    }
    return v;
}
} // namespace

TEST(LevelMeter, HalfScaleSineIsMinusSixPeakAndMinusNineRms) {
    const std::vector<uint8_t> s8 = Sine8(2204, 64), s16 = Sine16(2204, 16384);
    for (const LEVEL& l :
         {LEVEL_METER::Measure(s8.data(), 2204, 8), LEVEL_METER::Measure(s16.data(), 2204, 16)}) {
        EXPECT_NEAR(l.fPeakDb, -6.0206, 1e-3);
        EXPECT_NEAR(l.fRmsDb, -9.0309, 1e-3);
        EXPECT_FALSE(l.bClipped);
    }
    const std::vector<uint8_t> silence(100, 128);
    EXPECT_EQ(LEVEL_METER::Measure(silence.data(), 100, 8).fPeakDb, LEVEL_METER::kSilenceDb);
    EXPECT_EQ(LEVEL_METER::Measure(nullptr, 100, 8).fRmsDb, LEVEL_METER::kSilenceDb);
}

TEST(LevelMeter, FullScaleSamplesAndNothingBelowAreClipped) {
    struct Case {
        int bits;
        int value; // the one loud sample (8-bit: unsigned; 16-bit: signed)
        bool clipped;
    };
    for (const Case& c : {Case{8, 255, true}, Case{8, 0, true}, Case{8, 254, false},
                          Case{8, 1, false}, Case{16, 32767, true}, Case{16, -32768, true},
                          Case{16, 32766, false}, Case{16, -32767, false}}) {
        std::vector<uint8_t> v = c.bits == 8 ? Sine8(1000, 10) : Sine16(1000, 1000);
        if (c.bits == 8) {
            v[500] = uint8_t(c.value);
        } else {
            v[1000] = uint8_t(uint16_t(int16_t(c.value)));
            v[1001] = uint8_t(uint16_t(int16_t(c.value)) >> 8);
        }
        EXPECT_EQ(LEVEL_METER::Measure(v.data(), 1000, c.bits).bClipped, c.clipped)
            << c.bits << " " << c.value;
    }
}

// The hold keeps the highest peak for 1.5 s of samples, then follows the
// peak again; the take keeps its highest peak and any clipping.
TEST(LevelMeter, HoldAndTakeSummary) {
    LEVEL_METER m;
    m.Start(10000, 8);
    EXPECT_FALSE(m.HasTake());
    std::vector<uint8_t> loud = Sine8(2000, 127), quiet = Sine8(2000, 8);
    loud[3] = 255;
    m.Feed(loud.data(), 2000); // 0.2 s
    const double loudDb = m.Last().fPeakDb;
    for (int i = 0; i < 7; ++i) { // 1.4 s more: still held
        m.Feed(quiet.data(), 2000);
        EXPECT_DOUBLE_EQ(m.HoldDb(), loudDb) << i;
    }
    m.Feed(quiet.data(), 2000); // 1.6 s after the loud buffer
    EXPECT_NEAR(m.HoldDb(), -24.08, 0.01);
    EXPECT_DOUBLE_EQ(m.TakePeakDb(), loudDb);
    EXPECT_TRUE(m.TakeClipped());
    EXPECT_TRUE(m.HasTake());
    m.Start(10000, 8);
    EXPECT_FALSE(m.TakeClipped());
    EXPECT_EQ(m.TakePeakDb(), LEVEL_METER::kSilenceDb);
}
