#include "record/LocateSpeechRefined.h"

#include "channels/SoftChan.h"
#include "record/SoftChannels.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr float kDefaultStart = 0.25f;
constexpr float kFrame = 0.01f;     // seconds per frame: one "Volume" point
constexpr long kMinTail = 5;        // identical frames at the end taken as unrecorded
constexpr long kFloorFrames = 10;   // the floor is the quietest mean over this many frames
constexpr float kFloorMin = 0.001f; // of the peak (-60 dB): the floor of a noiseless recording
constexpr float kSpeech = 4.0f;     // speech: 12 dB above the floor
constexpr float kEdge = 2.0f;       // edges followed down to 6 dB above the floor
constexpr float kJoin = 0.15f;      // seconds: shorter gaps are part of the speech
constexpr long kMaxBurst = 4;       // frames: a run this short is under 0.04 s of sound
constexpr float kMargin = 0.05f;    // seconds added before the start and after the end

struct Run {
    long a, b; // first and last frame
};

// One level per frame (element f * step), as magnitudes; no-values read as 0.
std::vector<float> Frames(SOFTCHAN& ch, long step) {
    const long n = ch.RtnNel();
    std::vector<float> v(n > 0 ? size_t((n - 1) / step + 1) : 0);
    for (size_t f = 0; f < v.size(); ++f) {
        const float x = ch.GetVal(long(f) * step);
        v[f] = std::isfinite(x) && !IsNoValue(x) ? std::fabs(x) : 0.0f;
    }
    return v;
}

// Frames before the unrecorded tail: a recording stopped early leaves the rest
// of its channel at one value, so its level is one number to the last bit.
long RecordedFrames(const std::vector<float>& v) {
    const long m = long(v.size());
    if (m == 0) return 0;
    long r = m - 1;
    while (r > 0 && v[size_t(r - 1)] == v[size_t(m - 1)])
        --r;
    return m - r >= kMinTail ? r : m;
}

// The lowest mean level over kFloorFrames consecutive frames of the first m;
// 0 when one of them is silent to the bit (no noise at all, where the
// recorded silence may be too short for a whole window).
float NoiseFloor(const std::vector<float>& v, long m) {
    if (std::find(v.begin(), v.begin() + m, 0.0f) != v.begin() + m) return 0.0f;
    const long w = std::min(m, kFloorFrames);
    double sum = 0.0;
    for (long i = 0; i < w; ++i)
        sum += v[size_t(i)];
    double best = sum;
    for (long i = w; i < m; ++i) {
        sum += double(v[size_t(i)]) - double(v[size_t(i - w)]);
        best = std::min(best, sum);
    }
    return float(std::max(best, 0.0) / double(w));
}

// Runs of frames at or above `on` among the first m, gaps under `join` frames
// joined, with short runs at either end dropped.
std::vector<Run> SpeechRuns(const std::vector<float>& v, long m, float on, long join) {
    std::vector<Run> runs;
    for (long i = 0; i < m; ++i) {
        if (v[size_t(i)] < on) continue;
        if (!runs.empty() && i - runs.back().b - 1 < join)
            runs.back().b = i;
        else
            runs.push_back({i, i});
    }
    auto burst = [](const Run& r) { return r.b - r.a + 1 <= kMaxBurst; };
    while (!runs.empty() && burst(runs.back()))
        runs.pop_back();
    auto first = std::find_if_not(runs.begin(), runs.end(), burst);
    runs.erase(runs.begin(), first);
    return runs;
}
} // namespace

int LocateSpeechRefined(SOFTCHAN& ch, CRngFlt& range) {
    const long n = ch.RtnNel();
    const float dt = ch.fDt;
    range.Lo = kDefaultStart;
    range.Hi = dt * float(n - 1);
    if (n < 2 || !(dt > 0.0f)) return 0;

    const long step = std::max(1L, std::lround(kFrame / dt));
    const std::vector<float> v = Frames(ch, step);
    const long m = RecordedFrames(v);
    if (m == 0) return 0;
    const float peak = *std::max_element(v.begin(), v.begin() + m);
    const float floor = std::max(NoiseFloor(v, m), kFloorMin * peak);
    if (!(peak >= kSpeech * floor) || !(peak > 0.0f)) return 0;

    const long join = std::lround(kJoin / kFrame);
    const std::vector<Run> runs = SpeechRuns(v, m, kSpeech * floor, join);
    if (runs.empty()) return 0;

    // Outward to the last frames still above the edge level.
    const float edge = kEdge * floor;
    long s = runs.front().a, e = runs.back().b;
    while (s > 0 && v[size_t(s - 1)] > edge)
        --s;
    while (e < m - 1 && v[size_t(e + 1)] > edge)
        ++e;

    // From the quiet frames on either side, widened by the margin.
    const long k = std::lround(kMargin / dt);
    const long a = std::max(0L, (s - 1) * step - k);
    const long b = std::min(n - 1, (e + 1) * step + k);
    range.Lo = ch.TimeOfIndex(a);
    range.Hi = ch.TimeOfIndex(b);
    return 1;
}

int LocateSpeechRefined(const SOFTCHANNELS& channels, int chan, CRngFlt& range) {
    SOFTCHAN* ch = channels.GetChan(chan);
    if (!ch) {
        range = CRngFlt(kDefaultStart, kDefaultStart);
        return 0;
    }
    return LocateSpeechRefined(*ch, range);
}
