#include "channels/SoftChanAD.h"

#include "platform/MessageBox.h"
#include "support/NumUtil.h"

#include <cmath>
#include <cstdint>

IMPLEMENT_DYNCREATE(SOFTCHAN_AD, SOFTCHAN)

SOFTCHAN_AD::SOFTCHAN_AD(int chan, long nel, float dt, const ADCHANINFO* pInfo)
    : SOFTCHAN(chan, -1, nel, dt, 0, 1.0f, 1.0f, 0) {
    if (pInfo) info = *pInfo;
    long n = nel > 0 ? nel : 0;
    // A size the block cannot count fails like any other allocation, before it
    // could wrap to a small block.
    const uint64_t bytes = uint64_t(n) * 4u;
    if (bytes > UINT32_MAX) {
        mem.Free();
        AfxMessageBox("Memory Allocation Error: GMEM", MB_OK);
        AfxMessageBox("Error Allocating Memory for Channel", MB_OK);
    } else if (!mem.Alloc(unsigned(bytes), 0)) {
        AfxMessageBox("Error Allocating Memory for Channel", MB_OK);
    }
}

float SOFTCHAN_AD::GetVal(long i) {
    if (i < 0 || i >= RtnNel()) return NO_VAL;
    return info.RawToValue(GetRawVal(i));
}

int SOFTCHAN_AD::GetRawVal(long i) {
    if (i < 0 || i >= nNel || !mem.GetPtr()) return 32767;
    int v = static_cast<const int16_t*>(mem.GetPtr())[i];
    if (bAbs && v < 0) v = -v;
    return v;
}

template <typename S> float SOFTCHAN_AD::MaxAbsOf(const S* p, long a, long b) {
    long n = RtnNel();
    if (n < 1 || !p) return 0.0f;
    if (a < 0) {
        a = 0;
        b = n - 1;
    }
    if (b > n - 1) b = n - 1;
    int lo = 30000, hi = -30000;
    for (long i = a; i <= b; ++i) {
        int c = p[i];
        if (c < lo) lo = c;
        if (c > hi) hi = c;
    }
    float v1 = std::fabs(info.RawToValue(lo)), v2 = std::fabs(info.RawToValue(hi));
    return v1 > v2 ? v1 : v2;
}

template <typename S>
float SOFTCHAN_AD::SumOf(const S* p, long a, long b, float step, int absolute) {
    long n = RtnNel();
    if (a > b || !p || n < 1) return 0.0f;
    int z = Round(info.fOffset / info.fResolution) + info.nZero;
    double s = 0.0;
    for (long i = a; i <= b; ++i) {
        int d = int(p[StepIndex(i, step, n)]) - z;
        s += absolute && d < 0 ? -d : d;
    }
    return float(s) * info.fGain * info.fResolution;
}

template <typename S> float SOFTCHAN_AD::PeakOf(const S* p, long a, long b, float step) {
    long n = RtnNel();
    if (!p || n < 1) return 0.0f;
    int lo = 30000, hi = -30000;
    for (long i = a; i <= b; ++i) {
        int c = p[StepIndex(i, step, n)];
        if (c < lo) lo = c;
        if (c > hi) hi = c;
    }
    float vmin = info.RawToValue(lo), vmax = info.RawToValue(hi);
    return std::fabs(vmin) >= std::fabs(vmax) ? vmin : vmax;
}

template float SOFTCHAN_AD::MaxAbsOf(const uint8_t*, long, long);
template float SOFTCHAN_AD::SumOf(const uint8_t*, long, long, float, int);
template float SOFTCHAN_AD::PeakOf(const uint8_t*, long, long, float);

float SOFTCHAN_AD::GetMaxAbsVal(long a, long b) {
    return MaxAbsOf(static_cast<const int16_t*>(mem.GetPtr()), a, b);
}

float SOFTCHAN_AD::GetRapidSumRng(long a, long b, float step, int absolute) {
    return SumOf(static_cast<const int16_t*>(mem.GetPtr()), a, b, step, absolute);
}

float SOFTCHAN_AD::GetRapidPeakRng(long a, long b, float step) {
    return PeakOf(static_cast<const int16_t*>(mem.GetPtr()), a, b, step);
}

float SOFTCHAN_AD::GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute) {
    long last = RtnNel() - 1;
    if (last < 0) return 0.0f;
    if (a < 0) a = 0;
    if (a > last) a = last;
    if (b > last) b = last;
    if (b < a) b = a;
    switch (mode) {
    case PIX_FIRST:
        return GetVal(long(float(a) * step));
    case PIX_PEAK:
        return GetRapidPeakRng(a, b, step);
    case PIX_MEAN:
        return GetRapidSumRng(a, b, step, absolute) / float(b - a + 1);
    default:
        return 0.0f;
    }
}
