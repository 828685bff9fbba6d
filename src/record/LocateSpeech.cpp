#include "record/LocateSpeech.h"

#include "channels/SoftChanXMS.h"
#include "record/SoftChannels.h"
#include "support/NumUtil.h"

#include <cmath>
#include <typeinfo>

namespace {
constexpr float kLeadIn = 0.25f;       // not searched; also the default start
constexpr float kMinLeadDt = 0.00001f; // divisor floor for the lead-in
constexpr float kThreshold = 0.15f;    // of the peak value
constexpr float kMargin = 0.1f;        // added before the start and after the end
constexpr float kMinMarginDt = 0.000001f;

// Any channel, read element by element through its virtual GetVal.
struct AnyCurve {
    SOFTCHAN& ch;
    float Value(long i) const { return ch.GetVal(i); }
    long NextAbove(long i, float) const { return i; }
    long PrevAbove(long i, float) const { return i; }
};

// The "Volume" curve read in place, passing over the stretches between two
// points that cannot hold a value above the limit of the scan.
struct PointCurve {
    const SOFTCHAN_XMS& ch;
    float Value(long i) const { return ch.ValueAt(i); }
    long NextAbove(long i, float limit) const { return ch.NextAbove(i, limit); }
    long PrevAbove(long i, float limit) const { return ch.PrevAbove(i, limit); }
};

// The search over ch, read through c. A value at least t is one above the float below t.
template <typename Curve> int Locate(SOFTCHAN& ch, CRngFlt& range, const Curve& c) {
    long n = ch.RtnNel();
    const float dt = ch.fDt;
    range.Lo = kLeadIn;
    range.Hi = dt * float(n - 1);

    const float dLead = dt < kMinLeadDt ? kMinLeadDt : dt;
    const long i0 = Round(kLeadIn / dLead);
    if (i0 >= n) return 0;

    // The first strictly greatest value after the lead-in (reading a channel
    // never changes its element count).
    float peak = -1.0f;
    long p = -1;
    for (long i = c.NextAbove(i0, peak); i < n; i = c.NextAbove(i + 1, peak)) {
        float v = c.Value(i);
        if (v > peak) {
            peak = v;
            p = i;
        }
    }
    if (p < 0 || p <= i0) return 0;

    const float t = kThreshold * peak;
    const float below = std::nextafter(t, -INFINITY);
    long s = -1;
    for (long i = c.NextAbove(i0, below); i < p; i = c.NextAbove(i + 1, below))
        if (c.Value(i) >= t) {
            s = i;
            break;
        }
    if (s < 0) return 0;

    n = ch.RtnNel();
    if (n - 1 <= p) return 0;
    long e = -1;
    for (long i = c.PrevAbove(n - 1, below); i > p; i = c.PrevAbove(i - 1, below))
        if (c.Value(i) >= t) {
            e = i;
            break;
        }
    if (e < 0) return 0;

    const float dMargin = dt <= kMinMarginDt ? kMinMarginDt : dt;
    const long k = long(kMargin / dMargin);
    long a = s - k;
    if (a <= 0) a = 0;
    long b = e + k;
    if (b >= n - 1) b = n - 1;
    range.Lo = ch.TimeOfIndex(a);
    range.Hi = ch.TimeOfIndex(b);
    return 1;
}
} // namespace

int LocateSpeech(SOFTCHAN& ch, CRngFlt& range) {
    // The "Volume" curve is read in place; any other kind through its virtual GetVal.
    if (typeid(ch) == typeid(SOFTCHAN_XMS))
        return Locate(ch, range, PointCurve{static_cast<const SOFTCHAN_XMS&>(ch)});
    return Locate(ch, range, AnyCurve{ch});
}

int LocateSpeech(const SOFTCHANNELS& channels, int chan, CRngFlt& range) {
    SOFTCHAN* ch = channels.GetChan(chan);
    if (!ch) {
        range = CRngFlt(kLeadIn, kLeadIn);
        return 0;
    }
    return LocateSpeech(*ch, range);
}
