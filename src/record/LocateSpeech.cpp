#include "record/LocateSpeech.h"

#include "channels/SoftChan.h"
#include "record/SoftChannels.h"
#include "support/NumUtil.h"

namespace {
constexpr float kLeadIn = 0.25f;       // not searched; also the default start
constexpr float kMinLeadDt = 0.00001f; // divisor floor for the lead-in
constexpr float kThreshold = 0.15f;    // of the peak value
constexpr float kMargin = 0.1f;        // added before the start and after the end
constexpr float kMinMarginDt = 0.000001f;
} // namespace

int LocateSpeech(SOFTCHAN& ch, CRngFlt& range) {
    long n = ch.RtnNel();
    const float dt = ch.fDt;
    range.Lo = kLeadIn;
    range.Hi = dt * float(n - 1);

    const float dLead = dt < kMinLeadDt ? kMinLeadDt : dt;
    const long i0 = Round(kLeadIn / dLead);
    if (i0 >= n) return 0;

    // The first strictly greatest value after the lead-in.
    float peak = -1.0f;
    long p = -1;
    for (long i = i0; i < ch.RtnNel(); ++i) {
        float v = ch.GetVal(i);
        if (v > peak) {
            peak = v;
            p = i;
        }
    }
    if (p < 0 || p <= i0) return 0;

    const float t = kThreshold * peak;
    long s = -1;
    for (long i = i0; i < p; ++i)
        if (ch.GetVal(i) >= t) {
            s = i;
            break;
        }
    if (s < 0) return 0;

    n = ch.RtnNel();
    if (n - 1 <= p) return 0;
    long e = -1;
    for (long i = n - 1; i > p; --i)
        if (ch.GetVal(i) >= t) {
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

int LocateSpeech(const SOFTCHANNELS& channels, int chan, CRngFlt& range) {
    SOFTCHAN* ch = channels.GetChan(chan);
    if (!ch) {
        range = CRngFlt(kLeadIn, kLeadIn);
        return 0;
    }
    return LocateSpeech(*ch, range);
}
