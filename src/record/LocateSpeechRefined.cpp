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
// Speech stands 8 spreads of the floor, and at least 40 % (3 dB), above its
// mean; a spread is taken as at least 2 % of the mean (the 8-bit steps).
constexpr float kSpeechSpread = 8.0f;
constexpr float kSpeech = 0.4f;
constexpr float kMinSpread = 0.02f;
// Edges are followed while a frame and the 5 frames centred on it differ from
// the floor by more than 2 spreads on average.
constexpr float kEdgeSpread = 2.0f;
constexpr long kEdgeHalf = 2;
constexpr float kJoin = 0.15f;   // seconds: edges are followed across shorter gaps
constexpr float kRunJoin = 0.2f; // seconds: closer runs are one (a burst so near is speech)
// The floor that decides the edges is measured again on the frames up to
// 0.2 s after the loud part of the speech (frames of at least 20 % of its
// peak), when at least 10 of them are quiet and their floor is within 2
// spreads of the whole recording's.
constexpr float kLoud = 0.2f;
constexpr float kAfter = 0.2f;
constexpr long kMinQuiet = 10;
constexpr float kNearSpread = 2.0f;
constexpr long kMaxBurst = 5;    // frames above the floor: under 0.05 s of sound with the window
constexpr float kMargin = 0.12f; // seconds added before the start and after the end
// A quieter word up to 0.7 s from the speech is joined to it when it stands
// out of the floor frame by frame for longer than a burst can.
constexpr float kReach = 0.7f;
// Past the followed end, a mean of 9 frames more than 4 spreads of such means
// above the floor is still speech (a long faint final consonant), within
// 0.15 s of that end; the spread is measured on at least 20 such means of
// floor frames.
constexpr long kLongFrames = 9;
constexpr float kLongSpread = 4.0f;
constexpr float kLongReach = 0.15f;
constexpr long kMinLong = 20;

struct Run {
    long a, b; // first and last frame
};

struct FLOOR {
    float mean = 0.0f, spread = 0.0f;
    long count = 0;     // frames it was measured on
    float limit = 0.0f; // the loudest level taken as floor
};

// The level curve against its floor: how far frame i stands out of it, above
// the floor or below the floor as measured (a DC level left in the recording
// reads as a floor that speech of the opposite sign can lower).
struct LEVELS {
    const std::vector<float>& v;
    float floor, measured;
    float Deviation(long i) const {
        const float x = v[size_t(i)];
        return std::max({x - floor, measured - x, 0.0f});
    }
};

// The speech runs and the short bursts dropped next to them (empty when none).
struct RUNS {
    std::vector<Run> speech;
    Run before{-1, -1}, after{-1, -1};
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
// The frame whose window reaches into a tail of some level is left out too.
long RecordedFrames(const std::vector<float>& v) {
    const long m = long(v.size());
    if (m == 0) return 0;
    long r = m - 1;
    while (r > 0 && v[size_t(r - 1)] == v[size_t(m - 1)])
        --r;
    if (m - r < kMinTail) return m;
    return v[size_t(m - 1)] > 0.0f ? std::max(0L, r - 1) : r;
}

// Frames whose level window (centred, one frame long) lies within the first
// `seconds` of the recording.
long FramesWithin(const std::vector<float>& v, float seconds) {
    const double f = std::floor((double(seconds) - 0.5 * kFrame) / kFrame + 1e-6) + 1.0;
    return f <= 0.0 ? 0 : long(std::min(f, double(v.size())));
}

// Running mean and spread (standard deviation) of the values added.
struct MOMENTS {
    double sum = 0.0, square = 0.0;
    long count = 0;
    void Add(double x) {
        sum += x;
        square += x * x;
        ++count;
    }
    double Mean() const { return sum / double(count); }
    double Spread() const {
        const double mean = Mean();
        return std::sqrt(std::max(square / double(count) - mean * mean, 0.0));
    }
};

// Mean and spread of the frames among the first m that are at most limit.
FLOOR Spread(const std::vector<float>& v, long m, float limit) {
    MOMENTS s;
    for (long i = 0; i < m; ++i)
        if (v[size_t(i)] <= limit) s.Add(v[size_t(i)]);
    if (s.count == 0) return {};
    return {float(s.Mean()), float(s.Spread()), s.count};
}

// The level of the recording's silence: the frames of the first m no louder
// than its quietest kFloorFrames consecutive frames (up to 3 spreads or 20 %
// above their mean), as mean and spread. Both 0 when a frame is silent to the
// bit (no noise at all, where the recorded silence may be too short for a
// whole window).
FLOOR NoiseFloor(const std::vector<float>& v, long m) {
    if (std::find(v.begin(), v.begin() + m, 0.0f) != v.begin() + m) return {};
    const long w = std::min(m, kFloorFrames);
    double sum = 0.0;
    for (long i = 0; i < w; ++i)
        sum += v[size_t(i)];
    double best = sum;
    long at = 0;
    for (long i = w; i < m; ++i) {
        sum += double(v[size_t(i)]) - double(v[size_t(i - w)]);
        if (sum < best) {
            best = sum;
            at = i - w + 1;
        }
    }
    const std::vector<float> quietest(v.begin() + at, v.begin() + at + w);
    const FLOOR q = Spread(quietest, w, INFINITY);
    const float limit = q.mean + std::max(3.0f * q.spread, 0.2f * q.mean);
    FLOOR f = Spread(v, m, limit);
    f.limit = limit;
    return f;
}

// The spread of the means of kLongFrames consecutive floor frames (all at
// most limit) among the first m, or -1 when fewer than kMinLong such means are
// found. The room noise is not white: the spread of a mean falls less than
// with the square root of the frames it is taken over, so it is measured.
float LongSpread(const std::vector<float>& v, long m, float limit) {
    MOMENTS means;
    double window = 0.0;
    long run = 0;
    for (long i = 0; i < m; ++i) {
        if (!(v[size_t(i)] <= limit)) {
            run = 0;
            window = 0.0;
            continue;
        }
        window += v[size_t(i)];
        if (++run > kLongFrames) window -= v[size_t(i - kLongFrames)];
        if (run >= kLongFrames) means.Add(window / double(kLongFrames));
    }
    return means.count < kMinLong ? -1.0f : float(means.Spread());
}

// Frames a run spans with its fringe, the frames around it that stand out of
// the floor by more than edge.
long Extent(const LEVELS& lv, long m, Run r, float edge) {
    while (r.a > 0 && lv.Deviation(r.a - 1) > edge)
        --r.a;
    while (r.b < m - 1 && lv.Deviation(r.b + 1) > edge)
        ++r.b;
    return r.b - r.a + 1;
}

// Runs of frames at or above `on` among the first m, gaps under `join` frames
// joined, with short bursts at either end (key clicks, pops: at most kMaxBurst
// frames with their fringe) dropped and the nearest dropped one kept aside.
RUNS SpeechRuns(const LEVELS& lv, long m, float on, float edge, long join) {
    RUNS r;
    std::vector<Run>& runs = r.speech;
    for (long i = 0; i < m; ++i) {
        if (lv.v[size_t(i)] < on) continue;
        if (!runs.empty() && i - runs.back().b - 1 < join)
            runs.back().b = i;
        else
            runs.push_back({i, i});
    }
    auto burst = [&](const Run& run) { return Extent(lv, m, run, edge) <= kMaxBurst; };
    while (!runs.empty() && burst(runs.back())) {
        r.after = runs.back();
        runs.pop_back();
    }
    auto first = std::find_if_not(runs.begin(), runs.end(), burst);
    if (first != runs.begin()) r.before = *(first - 1);
    runs.erase(runs.begin(), first);
    return r;
}

// Whether frame i, among frames lo ... hi - 1, is still speech: it and the
// frames centred on it stand out of the floor by more than edge on average.
bool Active(const LEVELS& lv, long i, long lo, long hi, float edge) {
    if (!(lv.Deviation(i) > edge)) return false;
    const long a = std::max(lo, i - kEdgeHalf), b = std::min(hi, i + kEdgeHalf + 1);
    float sum = 0.0f;
    for (long j = a; j < b; ++j)
        sum += lv.Deviation(j);
    return sum > edge * float(b - a);
}

// From frame `from` in direction dir (+1 or -1) up to frame `stop` (not
// included): the farthest active frame reached with gaps of at most `join`
// frames (a weak consonant after a stop closure).
long Outward(const LEVELS& lv, long from, long stop, int dir, float edge, long join) {
    const long lo = dir > 0 ? from : stop + 1, hi = dir > 0 ? stop : from + 1;
    long last = from, gap = 0;
    for (long i = from + dir; i != stop && gap <= join; i += dir) {
        if (Active(lv, i, lo, hi, edge)) {
            last = i;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return last;
}

// From frame `from` in direction dir up to frame `stop` (not included), within
// `reach` frames: the far end of the first stretch of more than kMaxBurst
// consecutive frames that each stand above the floor by more than edge (a
// quiet word that never reaches the speech level), or -1 when there is none.
// Each frame is judged alone: averaging would smear a short loud click over
// enough frames to pass.
long Sustained(const LEVELS& lv, long from, long stop, int dir, float edge, long reach) {
    long count = 0;
    for (long i = from + dir; i != stop; i += dir) {
        if (lv.v[size_t(i)] - lv.floor > edge) {
            ++count;
        } else {
            if (count > kMaxBurst) return i - dir;
            if (std::abs(i - from) > reach) return -1;
            count = 0;
        }
    }
    return count > kMaxBurst ? stop - dir : -1;
}

// Outward as above up to `near` (short of a dropped burst), then on across
// quieter words within reach up to `stop`: each one found is followed outward
// in turn.
long Reach(const LEVELS& lv, long from, long near, long stop, int dir, float edge, long join,
           long reach) {
    long end = Outward(lv, from, near, dir, edge, join);
    for (long next; (next = Sustained(lv, end, stop, dir, edge, reach)) >= 0;)
        end = Outward(lv, next, stop, dir, edge, join);
    return end;
}

// From frame `from` (the followed end) up to frame `stop` (not included): the
// centre of the last window of kLongFrames frames, all after `from`, whose
// mean stands above the floor by more than edge, in the first stretch of such
// windows centred within `reach` frames of `from`; `from` when there is none.
// A long final consonant too faint for single frames (a hiss after a stop
// closure in heavy noise) lifts such a mean clear of the noise.
long LongOutward(const LEVELS& lv, long from, long stop, float edge, long reach) {
    const long h = kLongFrames / 2;
    long last = from;
    for (long i = from + h + 1; i + h < stop && i - from <= reach; ++i) {
        double sum = 0.0;
        for (long j = i - h; j <= i + h; ++j)
            sum += double(lv.v[size_t(j)]) - double(lv.floor);
        if (sum > double(edge) * double(kLongFrames))
            last = i;
        else if (last != from)
            break;
    }
    return last;
}

// The last frame of the loud part of the speech in frames a ... b: at least
// `share` of their peak, reached from the peak across gaps under `join` frames.
// It depends on the speech alone, not on the floor or on what follows.
long LoudEnd(const std::vector<float>& v, long m, long a, long b, float share, long join) {
    const long top = long(std::max_element(v.begin() + a, v.begin() + b + 1) - v.begin());
    const float loud = share * v[size_t(top)];
    long last = top;
    for (long i = top + 1; i < m && i - last <= join; ++i)
        if (v[size_t(i)] >= loud) last = i;
    return last;
}

// The floor of the first r frames and the thresholds drawn from it.
struct BOUNDS {
    FLOOR measured, floor;
    float peak = 0.0f, on = 0.0f, edge = 0.0f, longEdge = -1.0f;
    bool Valid() const { return peak > 0.0f && peak >= on; }
};

BOUNDS Bounds(const std::vector<float>& v, long r) {
    BOUNDS b;
    b.peak = *std::max_element(v.begin(), v.begin() + r);
    b.measured = NoiseFloor(v, r);
    b.floor = b.measured;
    if (b.floor.mean < kFloorMin * b.peak) b.floor = {kFloorMin * b.peak, 0.0f, b.floor.count};
    b.floor.spread = std::max(b.floor.spread, kMinSpread * b.floor.mean);
    // A steady floor (a DC level left in the recording) lets quieter speech
    // through than a fluctuating one (room noise).
    b.on = b.floor.mean + std::max(kSpeechSpread * b.floor.spread, kSpeech * b.floor.mean);
    b.edge = kEdgeSpread * b.floor.spread;
    const float spread = LongSpread(v, r, b.measured.limit);
    if (spread >= 0.0f)
        b.longEdge = kLongSpread * std::max(spread, b.floor.spread / std::sqrt(float(kLongFrames)));
    return b;
}

RUNS SpeechRuns(const BOUNDS& b, const std::vector<float>& v, long m, long join) {
    return SpeechRuns(LEVELS{v, b.floor.mean, b.measured.mean}, m, b.on, b.edge, join);
}

// The floor measured again up to shortly after the loud part of the speech,
// and the runs found with it, in place of those of the whole recording: a key
// click or a knock after the word then changes neither the floor nor the edges
// drawn from it. Kept as they are when those frames hold too few quiet ones,
// or read louder than the recording's floor (speech from 0 s whose weak end
// fills the time after it).
void Remeasure(const std::vector<float>& v, long m, long join, BOUNDS& b, RUNS& runs) {
    const long loud = LoudEnd(v, m, runs.speech.front().a, runs.speech.back().b, kLoud, join);
    const long r = loud + 1 + std::lround(kAfter / kFrame);
    if (r >= m) return;
    const BOUNDS near = Bounds(v, r);
    if (!near.Valid() || near.floor.count < kMinQuiet ||
        near.floor.mean > b.floor.mean + kNearSpread * b.floor.spread)
        return;
    RUNS again = SpeechRuns(near, v, m, join);
    if (again.speech.empty()) return;
    b = near;
    runs = std::move(again);
}
} // namespace

int LocateSpeechRefined(SOFTCHAN& ch, CRngFlt& range, float recordedSeconds) {
    const long n = ch.RtnNel();
    const float dt = ch.fDt;
    range.Lo = kDefaultStart;
    range.Hi = dt * float(n - 1);
    if (n < 2 || !(dt > 0.0f)) return 0;

    const long step = std::max(1L, std::lround(kFrame / dt));
    const std::vector<float> v = Frames(ch, step);
    const long m = recordedSeconds >= 0.0f ? FramesWithin(v, recordedSeconds) : RecordedFrames(v);
    if (m == 0) return 0;
    BOUNDS b = Bounds(v, m);
    if (!b.Valid()) return 0;
    const long join = std::lround(kJoin / kFrame), runJoin = std::lround(kRunJoin / kFrame);
    RUNS runs = SpeechRuns(b, v, m, runJoin);
    if (runs.speech.empty()) return 0;

    Remeasure(v, m, runJoin, b, runs);
    const LEVELS lv{v, b.floor.mean, b.measured.mean};

    // Outward to the last active frames, short of a dropped burst and the
    // frames its window reaches.
    const long guard = kEdgeHalf + 2;
    const Run first = runs.speech.front(), last = runs.speech.back();
    const long s0 = runs.before.a < 0 ? -1 : std::min(first.a - 1, runs.before.b + guard);
    const long e0 = runs.after.a < 0 ? m : std::max(last.b + 1, runs.after.a - guard);
    const long reach = std::lround(kReach / kFrame);
    const long s = Reach(lv, first.a, s0, -1, -1, b.edge, join, reach);
    long e = Reach(lv, last.b, e0, m, 1, b.edge, join, reach);
    if (b.longEdge > 0.0f)
        e = LongOutward(lv, e, e > e0 ? m : e0, b.longEdge, std::lround(kLongReach / kFrame));

    // From the quiet frames on either side, widened by the margin.
    const long k = std::lround(kMargin / dt);
    const long a = std::max(0L, (s - 1) * step - k);
    const long z = std::min(n - 1, (e + 1) * step + k);
    range.Lo = ch.TimeOfIndex(a);
    range.Hi = ch.TimeOfIndex(z);
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
