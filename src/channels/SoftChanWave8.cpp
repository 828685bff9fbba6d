#include "channels/SoftChanWave8.h"

#include <cstring>

IMPLEMENT_DYNCREATE(SOFTCHAN_WAVE8, SOFTCHAN_AD)

SOFTCHAN_WAVE8::SOFTCHAN_WAVE8(int chan, long nSamples, float dt, const ADCHANINFO* pInfo)
    : SOFTCHAN_AD(chan, nSamples > 0 ? (nSamples + 1) / 2 : 0, dt, pInfo) {
    // The block stays locked for the channel's life (the samples are read in place).
    m_pSamples = static_cast<uint8_t*>(mem.GetPtr());
    if (m_pSamples) std::memset(m_pSamples, 128, mem.GetSize());
}

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

int SOFTCHAN_WAVE8::InsertValues(int nBytes, const uint8_t* data) {
    int last = m_nLastSavedPair;
    int end = last + 2 * (nBytes / 2);
    int full = 0;
    if (end + 1 >= nNel) {
        full = 1;
        if (end >= RtnNel() - 1) end = int(RtnNel() - 1);
    }
    int count = (end - last) / 2;
    // The data is taken byte-wise: a buffer need not be 16-bit aligned.
    if (count > nNel) count = nNel;
    if (count < 1) {
        InsertValues16(last + 1, count, nullptr);
        return full;
    }
    if (!m_pSamples) {
        m_nLastSavedPair = last + count;
        return full;
    }
    int p = last + 1;
    if (p >= nNel || p < 0) p = 0;
    for (int k = 0; k < count; ++k) {
        std::memcpy(m_pSamples + 2 * p, data + 2 * k, 2);
        p = p >= nNel - 1 ? 0 : p + 1;
    }
    m_nLastSavedPair = last + count;
    return full;
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
    if (n >= 0) m_nLastSavedPair = start + n - 1;
    return 1;
}
