#include "channels/SoftChanWave8.h"

#include <cstring>

IMPLEMENT_DYNCREATE(SOFTCHAN_WAVE8, SOFTCHAN_WAVE)

SOFTCHAN_WAVE8::SOFTCHAN_WAVE8(int chan, long nSamples, float dt, const ADCHANINFO* pInfo)
    : SOFTCHAN_WAVE(chan, nSamples, dt, pInfo, 128) {}

int SOFTCHAN_WAVE8::GetRawVal(long i) {
    if (i < 0 || i >= RtnNel()) return 32767;
    return m_pSamples ? m_pSamples[i] : 128;
}

float SOFTCHAN_WAVE8::GetMaxAbsVal(long a, long b) {
    return MaxAbsOf(m_pSamples, a, b);
}

float SOFTCHAN_WAVE8::GetRapidSumRng(long a, long b, float step, int absolute) {
    return SumOf(m_pSamples, a, b, step, absolute);
}

float SOFTCHAN_WAVE8::GetRapidPeakRng(long a, long b, float step) {
    return PeakOf(m_pSamples, a, b, step);
}

int SOFTCHAN_WAVE8::InsertValues16(int start, int n, const uint16_t* data) {
    if (n > nNel) n = nNel;
    if (n >= 1 && data && m_pSamples) {
        int p = start;
        if (p >= nNel || p < 0) p = 0;
        for (int k = 0; k < n; ++k) {
            std::memcpy(m_pSamples + 2 * p, data + k, 2);
            p = p >= nNel - 1 ? 0 : p + 1;
        }
    }
    // Not reduced by the wrap; an empty copy leaves the pair before start.
    // The last sample written is the second sample of the last pair.
    if (n >= 0) m_nLastSample = 2L * (start + n - 1) + 1;
    return 1;
}
