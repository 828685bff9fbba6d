#include "channels/SoftChanWave.h"

#include <cstring>

IMPLEMENT_DYNAMIC(SOFTCHAN_WAVE, SOFTCHAN_AD)

SOFTCHAN_WAVE::SOFTCHAN_WAVE(int chan, long nSamples, float dt, const ADCHANINFO* pInfo,
                             uint8_t fill)
    : SOFTCHAN_AD(chan, nSamples > 0 ? (nSamples + 1) / 2 : 0, dt, pInfo) {
    m_pSamples = static_cast<uint8_t*>(mem.GetPtr());
    if (m_pSamples) std::memset(m_pSamples, fill, mem.GetSize());
}

int SOFTCHAN_WAVE::StoreSamples(int bytes, int nBytes, const uint8_t* data, int& last) {
    const long n = RtnNel();
    long count = nBytes > 0 ? nBytes / bytes : 0;
    const long end = long(last) + count; // without the wrap
    const int full = n - 1 - end < count ? 1 : 0;
    if (count > n) count = n;
    if (count < 1 || n < 1) return full;
    long p = last + 1;
    if (p < 0 || p >= n) p = 0;
    // At most two runs: up to the end of the channel, then from sample 0.
    const long first = count < n - p ? count : n - p;
    if (m_pSamples && data) {
        std::memcpy(m_pSamples + p * bytes, data, size_t(first * bytes));
        std::memcpy(m_pSamples, data + first * bytes, size_t((count - first) * bytes));
    }
    last = int(count > first ? count - first - 1 : p + first - 1);
    return full;
}
