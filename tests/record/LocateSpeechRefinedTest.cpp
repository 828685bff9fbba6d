// The refined speech locator against the standard one on the recordings where
// the standard one cuts words or strays: each hard case below is a fault of
// the standard locator and must not be one of the refined locator. The
// standard locator's ranges on the same recordings are pinned to the bit.
#include "record/LocateSpeechRefined.h"
#include "TestRecording.h"
#include "channels/SoftChanXMS.h"
#include "record/LocateSpeech.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

using namespace rectest;

namespace {
enum KIND { VOICE, HISS, CLICK };
struct SOUND {
    KIND kind;
    double t0, t1; // seconds
    double amp;    // peak, in counts
};
struct TAKE {
    long recordSeconds; // the channel
    double seconds;     // recorded of it
    double dc;          // counts above 128
    double noise;       // room noise, +- counts
};
struct CASE {
    const char* name;
    TAKE take;
    std::vector<SOUND> sounds;
    double edge0, edge1;     // where the speech starts and ends
    uint32_t specLo, specHi; // the standard locator's range, as float bits
};

// A number in [-1, 1) from i and a seed, the same for every read.
double Hash(long i, uint32_t seed) {
    uint32_t x = uint32_t(i) * 2654435761u ^ seed;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return double(x % 20000u) / 10000.0 - 1.0;
}

double SoundAt(const SOUND& s, long i) {
    const double t = double(i) / kRate;
    if (t < s.t0 || t >= s.t1) return 0.0;
    if (s.kind == CLICK) return s.amp * std::exp(-(t - s.t0) / 0.002) * ((i % 4) < 2 ? 1 : -1);
    // 10 ms raised-cosine ramps at both ends.
    const double d = std::min(t - s.t0, s.t1 - t),
                 ramp = d >= 0.01 ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * d / 0.01);
    if (s.kind == HISS) return s.amp * ramp * Hash(i, 17);
    return s.amp * ramp * std::sin(2.0 * M_PI * 150.0 * t);
}

uint8_t SampleAt(const CASE& c, long i) {
    double v = 128.0 + c.take.dc + c.take.noise * Hash(i, 99);
    for (const SOUND& s : c.sounds)
        v += SoundAt(s, i);
    return uint8_t(std::lround(std::clamp(v, 0.0, 255.0)));
}

constexpr TAKE kQuiet{2, 2.0, 0, 0};
const CASE kHardCases[] = {
    {"weak hiss before the word",
     kQuiet,
     {{HISS, 0.5, 0.7, 8}, {VOICE, 0.7, 1.2, 60}},
     0.5,
     1.2,
     0x3f19c0ec,
     0x3fa64f76},
    {"weak hiss after the word",
     kQuiet,
     {{VOICE, 0.5, 1.0, 60}, {HISS, 1.0, 1.2, 8}},
     0.5,
     1.2,
     0x3ecd288d,
     0x3f8cb923},
    {"quiet second word",
     kQuiet,
     {{VOICE, 0.4, 0.8, 60}, {VOICE, 1.2, 1.5, 7}},
     0.4,
     1.5,
     0x3e99f559,
     0x3f663886},
    {"speech from the start", kQuiet, {{VOICE, 0.02, 0.6, 60}}, 0.02, 0.6, 0x3e800000, 0x3ffeb50b},
    {"key click after the word",
     kQuiet,
     {{VOICE, 0.5, 1.0, 50}, {CLICK, 1.5, 1.52, 100}},
     0.5,
     1.0,
     0x3ecd288d,
     0x3fcdd2f1},
    {"key click before the word",
     kQuiet,
     {{CLICK, 0.3, 0.32, 100}, {VOICE, 0.8, 1.2, 50}},
     0.8,
     1.2,
     0x3e455326,
     0x3fa64f76},
    {"DC level, stopped early",
     {5, 2.0, 8, 0},
     {{VOICE, 0.5, 1.0, 40}},
     0.5,
     1.0,
     0x3ecd288d,
     0x409fff2e},
    {"room noise, hiss near it",
     {2, 2.0, 0, 2},
     {{HISS, 0.3, 0.5, 6}, {VOICE, 0.5, 1.1, 60}, {HISS, 1.1, 1.3, 6}},
     0.3,
     1.3,
     0x3ecd0e56,
     0x3f9985f0},
    {"room noise, weak hiss",
     {2, 2.0, 0, 2},
     {{HISS, 0.5, 0.7, 9}, {VOICE, 0.7, 1.3, 60}},
     0.5,
     1.3,
     0x3f19ba5e,
     0x3fb322d1},
    // The analysis removes the DC level only to a whole count: what is left
    // of it is a floor the weak end barely rises above.
    {"faint end over a DC level left in",
     {2, 2.0, 8.7, 0.6},
     {{VOICE, 0.5, 1.0, 60}, {HISS, 1.0, 1.25, 1}},
     0.5,
     1.25,
     0x3ecd1b71,
     0x3f8cb5dd},
    // Digital silence after the word, in a channel stopped early: the silence
    // and the unrecorded rest both read 0.
    {"word from the start into digital silence, stopped early",
     {5, 1.0, 0, 0},
     {{VOICE, 0.0, 0.4, 60}, {HISS, 0.4, 0.55, 4}},
     0.0,
     0.55,
     0x3e800000,
     0x409fff2e},
    {"faint end, then a key click",
     {2, 2.0, 0, 2},
     {{VOICE, 0.4, 0.9, 60}, {HISS, 0.9, 1.1, 6}, {CLICK, 1.35, 1.37, 100}},
     0.4,
     1.1,
     0x3e99e83e,
     0x3fba95ea},
    {"short quiet syllable after a closure",
     {2, 2.0, 0, 1},
     {{VOICE, 0.4, 0.8, 60}, {VOICE, 1.0, 1.03, 8}, {HISS, 1.03, 1.1, 3}},
     0.4,
     1.1,
     0x3e99f559,
     0x3f663f14},
};

struct OUTCOME {
    CRngFlt range;
    int located;
};

OUTCOME Analyse(const CASE& c, int locator) {
    Recording r(c.take.recordSeconds, c.take.seconds, [&](long i) { return SampleAt(c, i); });
    RECORDING_ANALYSIS a;
    EXPECT_EQ(AnalyseRecording(r.list, 0, a, locator), 1);
    return {a.range, a.bLocated};
}

// Speech cut (positive) at the worse end, and silence kept at the worse end.
double WorstCut(const CASE& c, const CRngFlt& r) {
    return std::max(double(r.Lo) - c.edge0, c.edge1 - double(r.Hi));
}
double WorstKept(const CASE& c, const CRngFlt& r) {
    return std::max(c.edge0 - double(r.Lo), double(r.Hi) - c.edge1);
}

// A located range that cuts at most 10 ms of speech and keeps at most 0.2 s
// of silence at either end.
bool Good(const CASE& c, const OUTCOME& o) {
    return o.located && WorstCut(c, o.range) <= 0.010 && WorstKept(c, o.range) <= 0.2;
}

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}
// The "Volume" curve of a recorded take, values[0..n-1] at 0.01 s, with its
// speech edges in c: the refined locator keeps the speech, and the standard
// one, when specCuts, does not.
void CheckRecordedCurve(const float* values, size_t n, const CASE& c, bool specCuts) {
    SOFTCHANNELS list;
    auto* curve = new SOFTCHAN_XMS(0, long(n), 0.01f, "Volume", "", "Sec", "Time");
    list.AddChan(curve);
    for (size_t i = 0; i < n; ++i)
        curve->arr[int32_t(i)] = values[i];
    CRngFlt spec, refined;
    ASSERT_EQ(LocateSpeechRefined(list, 0, refined), 1);
    EXPECT_TRUE(Good(c, {refined, 1})) << c.name << ": " << refined.Lo << " " << refined.Hi;
    if (!specCuts) return;
    ASSERT_EQ(LocateSpeech(list, 0, spec), 1);
    EXPECT_FALSE(Good(c, {spec, 1})) << c.name << ": " << spec.Lo << " " << spec.Hi;
}
} // namespace

TEST(LocateSpeechRefined, HardCasesFailTheStandardLocatorAndPassTheRefined) {
    for (const CASE& c : kHardCases) {
        const OUTCOME spec = Analyse(c, LOCATOR_SPEC), refined = Analyse(c, LOCATOR_REFINED);
        EXPECT_FALSE(Good(c, spec)) << c.name << ": " << spec.range.Lo << " " << spec.range.Hi;
        EXPECT_TRUE(Good(c, refined))
            << c.name << ": " << refined.range.Lo << " " << refined.range.Hi;
    }
}

// The standard locator's ranges on these recordings, pinned to the bit: by
// default and when asked for, the analysis gives them unchanged.
TEST(LocateSpeechRefined, StandardLocatorIsTheDefaultAndUnchanged) {
    for (const CASE& c : kHardCases) {
        Recording r(c.take.recordSeconds, c.take.seconds, [&](long i) { return SampleAt(c, i); });
        RECORDING_ANALYSIS a;
        ASSERT_EQ(AnalyseRecording(r.list, 0, a), 1);
        EXPECT_EQ(Bits(a.range.Lo), c.specLo) << c.name;
        EXPECT_EQ(Bits(a.range.Hi), c.specHi) << c.name;
        const OUTCOME asked = Analyse(c, LOCATOR_SPEC);
        EXPECT_EQ(Bits(asked.range.Lo), c.specLo) << c.name;
        EXPECT_EQ(Bits(asked.range.Hi), c.specHi) << c.name;
    }
}

// A key click (as loud as the word or louder) 0.25 to 0.4 s after the word's
// faint end leaves the refined range as it is without the click, in several
// kinds of take; the standard locator's end follows the click. (A burst less
// than 0.2 s after the speech is kept as part of it, as a short final
// consonant would be.)
TEST(LocateSpeechRefined, KeyClickAfterTheWordMovesNothing) {
    const TAKE takes[] = {kQuiet, {2, 2.0, 0, 2}, {2, 2.0, 8.7, 0.6}, {5, 2.0, -4, 1}};
    for (const TAKE& take : takes) {
        for (double at : {1.35, 1.5}) {
            for (double amp : {60.0, 100.0}) {
                const CASE plain{
                    "word", take, {{VOICE, 0.4, 0.9, 60}, {HISS, 0.9, 1.1, 5}}, 0.4, 1.1, 0, 0};
                CASE clicked = plain;
                clicked.sounds.push_back({CLICK, at, at + 0.02, amp});
                const OUTCOME a = Analyse(plain, LOCATOR_REFINED),
                              b = Analyse(clicked, LOCATOR_REFINED);
                EXPECT_TRUE(Good(plain, a)) << take.dc << " " << take.noise;
                EXPECT_EQ(Bits(a.range.Lo), Bits(b.range.Lo))
                    << take.dc << " " << take.noise << " " << at << " " << amp;
                EXPECT_EQ(Bits(a.range.Hi), Bits(b.range.Hi))
                    << take.dc << " " << take.noise << " " << at << " " << amp;
                EXPECT_GT(Analyse(clicked, LOCATOR_SPEC).range.Hi, at) << take.dc << " " << amp;
            }
        }
    }
}

// The "Volume" curve of a synthesized "seats" (peak 20 counts, room noise
// 40 dB under it) over a DC level of -4 counts that the analysis removed to
// -3: the floor is what is left of the DC level, and the final "s" first
// lowers the level under it (0.58 to 0.62 s) and then barely lifts it above
// it, up to 0.738 s where the speech ends.
TEST(LocateSpeechRefined, LevelLoweredUnderAFloorLeftByTheDcLevelIsSpeech) {
    const float kCurve[] = {
        7.8f,  7.7f,  7.9f,  7.8f,  7.8f,  7.7f,  7.8f,  8.1f,  7.8f,  7.7f,  8.0f,  7.9f,
        8.0f,  7.8f,  7.9f,  7.9f,  7.9f,  7.9f,  7.8f,  7.8f,  7.8f,  7.7f,  7.9f,  7.9f,
        7.7f,  7.7f,  7.7f,  7.7f,  7.8f,  7.8f,  6.4f,  7.4f,  9.9f,  7.3f,  11.9f, 12.8f,
        11.1f, 11.2f, 9.8f,  17.6f, 20.9f, 26.8f, 29.2f, 38.0f, 41.2f, 47.3f, 41.3f, 44.3f,
        34.3f, 23.7f, 30.2f, 22.1f, 14.9f, 8.1f,  7.8f,  7.9f,  7.7f,  7.0f,  4.5f,  5.5f,
        6.1f,  5.0f,  4.7f,  8.3f,  8.9f,  8.7f,  8.0f,  8.7f,  9.0f,  8.2f,  8.1f,  8.1f,
        8.2f,  8.0f,  8.2f,  7.8f,  7.8f,  7.9f,  7.7f,  7.7f,  7.8f,  7.8f,  7.6f,  7.8f,
        7.8f,  7.8f,  7.8f,  7.8f,  7.7f,  7.8f,  7.8f,  7.7f,  7.9f,  7.7f,  7.8f,  7.6f,
        7.5f,  8.1f,  7.7f,  7.8f,  7.6f,  7.8f,  7.5f,  7.8f,  7.7f,  7.8f,  7.8f,  7.8f,
        7.7f,  8.0f,  7.8f,  7.9f,  7.9f,  7.9f,  7.8f,  7.8f,  7.8f,  7.8f,  7.7f,  7.7f};
    CheckRecordedCurve(kCurve, std::size(kCurve), {"seats", kQuiet, {}, 0.30023, 0.73823, 0, 0},
                       true);
}

// Silence, room noise alone, noise with only a key click, and a recording
// stopped before its first buffer: nothing stands out, the defaults stay.
TEST(LocateSpeechRefined, NothingAboveTheFloorLeavesTheDefaults) {
    const CASE quiet[] = {
        {"silence", kQuiet, {}, 0, 0, 0, 0},
        {"room noise", {2, 2.0, 3, 4}, {}, 0, 0, 0, 0},
        {"noise and a click", {2, 2.0, 0, 2}, {{CLICK, 1.0, 1.02, 100}}, 0, 0, 0, 0},
        {"nothing recorded", {5, 0.0, 0, 0}, {}, 0, 0, 0, 0},
    };
    for (const CASE& c : quiet) {
        Recording r(c.take.recordSeconds, c.take.seconds, [&](long i) { return SampleAt(c, i); });
        RECORDING_ANALYSIS a;
        ASSERT_EQ(AnalyseRecording(r.list, 0, a, LOCATOR_REFINED), 1);
        EXPECT_EQ(a.bLocated, 0) << c.name << ": " << a.range.Lo << " " << a.range.Hi;
        EXPECT_FLOAT_EQ(a.range.Lo, 0.25f) << c.name;
        SOFTCHAN* volume = r.list.GetChan(a.iVolumeChan);
        EXPECT_FLOAT_EQ(a.range.Hi, volume->fDt * float(volume->RtnNel() - 1)) << c.name;
    }
    SOFTCHANNELS list;
    CRngFlt range;
    EXPECT_EQ(LocateSpeechRefined(list, 3, range), 0);
    EXPECT_FLOAT_EQ(range.Lo, 0.25f);
    EXPECT_FLOAT_EQ(range.Hi, 0.25f);
    auto* one = new SOFTCHAN_XMS(0, 1, 0.01f, "Volume", "", "Sec", "Time");
    list.AddChan(one);
    one->arr[0] = 50.0f;
    EXPECT_EQ(LocateSpeechRefined(list, 0, range), 0);
}

// Room noise of two levels, a word whose faint end fades into it, and a key
// click 0.25 to 0.8 s after the word at many places and strengths: the end
// is where it is without the click, to the bit. The floor is measured from
// the recording itself, so a click that takes the place of a few quiet frames
// must not shift it and, with it, an end decided at the noise limit.
TEST(LocateSpeechRefined, KeyClickInRoomNoiseLeavesTheEndAlone) {
    int compared = 0;
    for (double noise : {2.0, 3.0}) {
        for (double t0 : {0.3, 0.4}) {
            for (double tail : {0.05, 0.1, 0.2}) {
                const double end = t0 + 0.4 + tail;
                const CASE plain{"word",
                                 {2, 2.0, 0, noise},
                                 {{VOICE, t0, t0 + 0.4, 40}, {HISS, t0 + 0.4, end, 1.5 * noise}},
                                 t0,
                                 end,
                                 0,
                                 0};
                const OUTCOME a = Analyse(plain, LOCATOR_REFINED);
                ASSERT_TRUE(Good(plain, a)) << noise << " " << t0 << " " << tail;
                for (int k = 0; k < 12; ++k) {
                    const double at = end + 0.25 + 0.05 * k;
                    for (double amp : {30.0, 60.0}) {
                        CASE clicked = plain;
                        clicked.sounds.push_back({CLICK, at, at + 0.01, amp});
                        const OUTCOME b = Analyse(clicked, LOCATOR_REFINED);
                        EXPECT_EQ(Bits(a.range.Hi), Bits(b.range.Hi))
                            << noise << " " << t0 << " " << tail << " " << at << " " << amp << ": "
                            << a.range.Hi << " " << b.range.Hi;
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_EQ(compared, 2 * 2 * 3 * 12 * 2);
}

// The "Volume" curve of a synthesized "peces" (peak 70 counts, room noise
// 50 dB under it, a DC level of -4 counts removed to -3) and a second "peces"
// 14 to 20 dB quieter: the second word's final "s" (1.50 to 1.58 s) comes
// 0.15 s after its vowel and stands above the speech level for only 30 ms.
// It looks like a key click on the level curve, but one so close to the
// speech is part of it and is kept.
TEST(LocateSpeechRefined, ShortFinalConsonantCloseAfterAQuietWordIsKept) {
    const float kCurve[] = {
        7.53f,   7.81f,   7.81f,   7.74f,  7.74f,  7.67f,  7.67f,   7.88f,   7.95f,   7.81f,
        7.67f,   7.88f,   8.23f,   7.88f,  7.67f,  8.02f,  7.95f,   7.88f,   7.88f,   7.74f,
        7.53f,   7.74f,   7.88f,   7.88f,  7.81f,  7.95f,  7.74f,   7.74f,   7.95f,   7.74f,
        12.49f,  9.77f,   8.02f,   7.57f,  55.50f, 68.89f, 104.17f, 117.80f, 137.04f, 120.21f,
        122.18f, 104.94f, 112.37f, 87.12f, 82.70f, 58.35f, 50.89f,  33.01f,  16.47f,  7.44f,
        8.27f,   7.74f,   8.38f,   7.95f,  7.78f,  7.48f,  9.22f,   8.31f,   29.00f,  43.48f,
        37.37f,  40.82f,  72.32f,  61.97f, 38.92f, 14.67f, 21.71f,  10.63f,  12.11f,  11.21f,
        10.31f,  11.44f,  10.49f,  10.42f, 10.56f, 9.24f,  9.92f,   10.47f,  8.94f,   7.67f,
        7.88f,   7.88f,   7.88f,   7.88f,  7.88f,  7.46f,  7.81f,   7.81f,   7.74f,   8.45f,
        7.81f,   7.81f,   7.74f,   7.81f,  7.81f,  7.95f,  7.53f,   7.74f,   7.95f,   7.81f,
        7.81f,   7.81f,   7.74f,   7.74f,  7.67f,  7.95f,  7.81f,   7.95f,   7.74f,   7.74f,
        7.39f,   7.67f,   7.60f,   8.02f,  7.88f,  7.88f,  7.95f,   7.81f,   7.78f,   7.81f,
        7.60f,   7.87f,   7.60f,   6.05f,  7.67f,  7.81f,  10.70f,  11.74f,  16.12f,  17.35f,
        21.36f,  17.74f,  19.78f,  16.73f, 17.60f, 14.85f, 14.15f,  11.23f,  10.80f,  7.90f,
        8.73f,   7.81f,   8.02f,   7.74f,  7.74f,  7.67f,  7.67f,   7.88f,   7.25f,   8.16f,
        8.45f,   9.29f,   8.16f,   10.93f, 13.02f, 11.56f, 8.16f,   9.73f,   7.60f,   7.25f,
        7.60f,   7.60f,   8.23f,   8.09f,  7.39f,  7.58f,  7.46f,   8.73f,   7.74f,   7.95f,
        7.67f,   7.88f,   7.81f,   7.60f,  7.74f,  7.81f,  7.88f,   7.95f,   7.60f,   7.88f,
        8.02f,   7.95f,   7.88f,   7.53f,  7.88f,  7.74f,  7.81f,   7.74f,   7.81f,   7.81f,
        7.71f,   7.74f,   7.67f,   7.48f,  7.95f,  7.81f,  7.67f,   7.88f,   7.95f,   7.74f};
    CheckRecordedCurve(kCurve, std::size(kCurve), {"peces", kQuiet, {}, 0.30023, 1.57859, 0, 0},
                       false);
}

// The "Volume" curve of a synthesized "tax" (peak 20 counts, room noise 30 dB
// under it, a DC level of -4 counts removed to -3): after the vowel and the
// closure of the "k" (0.24 to 0.28 s, under the floor), the final "s" lifts
// the level only about a fifth above the floor, under 2 spreads in most of
// its frames, up to 0.366 s where the speech ends. Its mean over several
// frames stands clear of the noise, and it is kept.
TEST(LocateSpeechRefined, LongFaintFinalConsonantInHeavyNoiseIsKept) {
    const float kCurve[] = {
        5.16f,  8.82f,  8.62f,  7.06f,  8.02f,  9.40f,  15.55f, 21.92f, 29.35f, 41.95f, 48.00f,
        46.00f, 41.53f, 41.56f, 37.23f, 32.85f, 21.89f, 24.97f, 18.97f, 11.26f, 9.85f,  8.36f,
        8.38f,  9.24f,  7.81f,  5.07f,  6.40f,  7.11f,  8.94f,  10.42f, 10.66f, 9.29f,  10.42f,
        9.84f,  11.68f, 9.26f,  8.23f,  8.97f,  7.99f,  8.60f,  8.87f,  6.90f,  9.04f,  8.43f,
        8.02f,  7.95f,  6.69f,  9.91f,  7.11f,  8.43f,  7.43f,  7.18f,  6.83f,  10.43f, 7.11f,
        8.75f,  8.87f,  8.89f,  7.67f,  7.58f,  8.80f,  8.20f,  9.47f,  9.15f,  6.76f,  7.69f,
        8.69f,  7.81f,  7.53f,  8.66f,  7.95f,  8.67f,  8.94f,  7.99f,  8.90f,  7.60f,  6.90f,
        8.04f,  8.45f,  7.25f,  7.18f,  8.39f,  8.38f,  6.92f,  8.31f,  7.60f,  8.87f,  9.36f,
        7.25f,  8.69f,  7.28f,  7.09f,  7.95f,  7.46f,  8.34f,  8.13f,  9.01f,  8.15f,  9.54f,
        7.20f,  7.88f,  8.87f,  8.80f,  9.75f,  7.60f,  6.42f,  9.43f,  7.95f,  7.11f,  9.10f,
        8.13f,  7.87f,  9.50f,  7.78f,  19.64f, 7.74f,  7.46f,  6.77f,  7.21f,  6.14f,  7.60f,
        9.84f,  6.23f,  8.62f,  9.01f,  6.19f,  8.59f,  7.72f,  7.25f,  7.11f,  8.34f,  8.82f,
        7.25f,  5.77f,  7.53f,  8.09f,  6.55f,  9.08f,  8.41f,  8.25f,  7.88f,  8.80f,  8.02f,
        7.81f,  6.48f,  9.45f,  7.43f,  7.14f,  8.16f,  8.01f,  6.79f,  7.83f,  7.95f,  8.52f,
        7.99f,  6.18f,  10.28f, 7.88f,  7.92f,  8.11f,  7.18f,  8.59f,  8.09f,  8.22f,  8.73f,
        5.77f,  6.93f,  7.94f};
    CheckRecordedCurve(kCurve, std::size(kCurve), {"tax", kQuiet, {}, 0.02023, 0.36626, 0, 0},
                       true);
}

// A quiet word (a hiss a quarter above the room noise, never reaching the
// speech level) 0.35 s before or after the word, farther than the edges are
// followed: it is kept with the word. The standard locator leaves it out.
TEST(LocateSpeechRefined, QuietWordFarFromTheSpeechIsKept) {
    const TAKE noisy{2, 2.0, 0, 2}, offset{5, 2.0, -4, 2};
    for (const TAKE& take : {noisy, offset}) {
        const CASE cases[] = {
            {"quiet word after",
             take,
             {{VOICE, 0.4, 0.8, 60}, {VOICE, 1.15, 1.27, 1.7}},
             0.4,
             1.25,
             0,
             0},
            {"quiet word before",
             take,
             {{VOICE, 0.4, 0.52, 1.7}, {VOICE, 0.85, 1.25, 60}},
             0.4,
             1.25,
             0,
             0},
            {"two quiet words after",
             take,
             {{VOICE, 0.3, 0.7, 60}, {VOICE, 1.0, 1.12, 1.7}, {VOICE, 1.4, 1.52, 1.7}},
             0.3,
             1.5,
             0,
             0},
        };
        for (const CASE& c : cases) {
            const OUTCOME spec = Analyse(c, LOCATOR_SPEC), refined = Analyse(c, LOCATOR_REFINED);
            EXPECT_FALSE(Good(c, spec)) << c.name << ": " << spec.range.Lo << " " << spec.range.Hi;
            EXPECT_TRUE(Good(c, refined))
                << c.name << " " << take.dc << ": " << refined.range.Lo << " " << refined.range.Hi;
        }
    }
}

// What stands out of the floor near the word but is no quiet word leaves the
// range as it is without it: a key click as loud as the word or louder 0.3 to
// 0.7 s after it (its level window and any averaging spread it over more
// frames than it lasts), room noise itself at many places around the word, and
// a quiet sound as long as the quiet words above 0.85 s after the word (too
// far to be its second word).
TEST(LocateSpeechRefined, ClicksNoiseAndFarSoundsAreNotJoined) {
    const TAKE takes[] = {{2, 2.0, 0, 2}, {5, 2.0, -4, 2}, {2, 2.0, 0, 3}};
    int compared = 0;
    for (const TAKE& take : takes) {
        for (int k = 0; k < 8; ++k) {
            const double t0 = 0.3 + 0.037 * k, t1 = t0 + 0.4;
            const CASE plain{"word", take, {{VOICE, t0, t1, 60}}, t0, t1, 0, 0};
            const OUTCOME a = Analyse(plain, LOCATOR_REFINED);
            EXPECT_TRUE(Good(plain, a)) << take.noise << " " << t0;
            for (double at : {0.3, 0.5, 0.7}) {
                for (double amp : {60.0, 150.0}) {
                    CASE clicked = plain;
                    clicked.sounds.push_back({CLICK, t1 + at, t1 + at + 0.02, amp});
                    const OUTCOME b = Analyse(clicked, LOCATOR_REFINED);
                    EXPECT_EQ(Bits(a.range.Lo), Bits(b.range.Lo)) << take.noise << " " << t0;
                    EXPECT_EQ(Bits(a.range.Hi), Bits(b.range.Hi))
                        << take.noise << " " << t0 << " " << at << " " << amp << ": " << a.range.Hi
                        << " " << b.range.Hi;
                    ++compared;
                }
            }
        }
    }
    const CASE plain{"word", takes[0], {{VOICE, 0.1, 0.3, 60}}, 0.1, 0.3, 0, 0};
    CASE far = plain;
    far.sounds.push_back({VOICE, 1.15, 1.27, 1.5});
    const OUTCOME a = Analyse(plain, LOCATOR_REFINED), b = Analyse(far, LOCATOR_REFINED);
    EXPECT_TRUE(Good(plain, a));
    EXPECT_EQ(Bits(a.range.Hi), Bits(b.range.Hi)) << b.range.Hi;
    ++compared;
    EXPECT_EQ(compared, 3 * 8 * 6 + 1);
}
