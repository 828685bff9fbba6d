#include "channels/SoftChan.h"

#include <cmath>

IMPLEMENT_DYNAMIC(SOFTCHAN, CObject)

void ADCHANINFO::SetRange(float lo, float hi, int counts, int zero) {
    fResolution = (hi - lo) / float(counts);
    nZero = zero;
}

int ADCHANINFO::VoltsToRaw(float v, int withZero) const {
    // Truncated toward zero; a quotient beyond int (or NaN, from a zero
    // resolution) is held at the nearest representable count instead of being
    // undefined.
    const double q = double(v / fResolution);
    long long r = 0;
    if (q >= 2147483647.0)
        r = 2147483647LL;
    else if (q <= -2147483648.0)
        r = -2147483648LL;
    else if (q == q)
        r = static_cast<long long>(q);
    if (withZero) r += nZero;
    if (r > 2147483647LL) r = 2147483647LL;
    if (r < -2147483648LL) r = -2147483648LL;
    return int(r);
}

int ADCHANINFO::ValueToRaw(float value) const {
    return VoltsToRaw(value / fGain + fOffset, 1);
}

SOFTCHAN::SOFTCHAN()
    : nChan(255), nSrcChan(255), nNel(0), fDt(1.0f), bAbs(0), fRatio(1.0f), fScale(1.0f),
      nPixMode(0) {}

SOFTCHAN::SOFTCHAN(int chan, int srcChan, long nel, float dt, int abs, float ratio, float scale,
                   int pixMode)
    : nChan(chan), nSrcChan(srcChan), nNel(int(nel)), fDt(dt), bAbs(abs), fRatio(ratio),
      fScale(scale), nPixMode(pixMode) {}

void SOFTCHAN::OnAddToList() {
    if (!pSrc) return;
    fDt = pSrc->fDt;
    nNel = int(double(pSrc->RtnNel()) / fRatio + 0.999);
    fT0 = pSrc->fT0 / fRatio;
}

float SOFTCHAN::GetVal(long i) {
    if (i < 0 || i >= RtnNel()) return NO_VAL;
    if (!pSrc) return 0.0f;
    float v = pSrc->GetVal(long(float(i) * fRatio));
    if (bAbs && v < 0) v = -v;
    return v * fScale;
}

int SOFTCHAN::GetRawVal(long i) {
    if (!pSrc) return 0;
    int r = pSrc->GetRawVal(long(float(i) * fRatio));
    int v = int(float(r) * fScale);
    if (bAbs && v < 0) v = -v;
    return v;
}

float SOFTCHAN::GetMaxAbsVal(long a, long b) {
    if (!pSrc) return 0.0f;
    if (a < 0) {
        a = 0;
        b = RtnNel() - 1;
    }
    float m = 0.0f;
    for (long i = a; i <= b; ++i) {
        float v = std::fabs(GetVal(i));
        if (v > m) m = v;
    }
    return m;
}

float SOFTCHAN::GetSumVal(long a, long b, int absolute) {
    float s = 0.0f;
    for (long i = a; i <= b; ++i) {
        float v = GetVal(i);
        s += absolute ? std::fabs(v) : v;
    }
    return s;
}

float SOFTCHAN::GetRapidSumRng(long a, long b, float step, int absolute) {
    if (!pSrc) return 0.0f;
    return pSrc->GetRapidSumRng(a, b, step * fRatio, absolute) * fScale;
}

float SOFTCHAN::GetRapidPeakRng(long a, long b, float step) {
    if (!pSrc) return 0.0f;
    return pSrc->GetRapidPeakRng(a, b, step * fRatio) * fScale;
}

float SOFTCHAN::GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute) {
    if (!pSrc) return 0.0f;
    float r = pSrc->GetRapidValRng(a, b, step * fRatio, mode, absolute || bAbs) * fScale;
    if (bAbs && r < 0) r = -r;
    return r;
}

int SOFTCHAN::IsNoVal(float v) {
    return IsNoValue(v);
}

std::string SOFTCHAN::GetName() {
    if (!strName.empty()) return strName;
    return pSrc ? pSrc->GetName() : std::string();
}

std::string SOFTCHAN::GetXUnits() {
    return "Sec";
}

std::string SOFTCHAN::GetUnits() {
    return pSrc ? pSrc->GetUnits() : std::string();
}

std::string SOFTCHAN::GetXLabel() {
    return "Time";
}

long SOFTCHAN::IndexOfTime(float t) const {
    float x = (t - fT0) / fDt;
    if (x <= 0)
        x -= 0.0001f;
    else
        x += 0.0001f;
    return long(x);
}

float SOFTCHAN::GetValAtTime(float t) {
    long i = IndexOfTime(t);
    if (i < 0 || i >= RtnNel()) return NO_VAL;
    float y0 = GetVal(i);
    float e = t - TimeOfIndex(i);
    if (std::fabs(e) / fDt < 0.0001f) return y0;
    // The last element has no right neighbour (RtnNel, so two-per-element kinds interpolate
    // to their end).
    if (i + 1 >= RtnNel()) return y0;
    float y1 = GetVal(i + 1);
    if (std::fabs(t - TimeOfIndex(i + 1)) / fDt < 0.0001f) return y1;
    return y0 + (y1 - y0) * e / fDt;
}
