#include "channels/SoftChanWave.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(SOFTCHAN_WAVE, SOFTCHAN_AD)

SOFTCHAN_WAVE::SOFTCHAN_WAVE(int chan, long nSamples, float dt, const ADCHANINFO* pInfo,
                             uint8_t fill)
    : SOFTCHAN_AD(chan, nSamples > 0 ? (nSamples + 1) / 2 : 0, dt, pInfo) {
    m_pSamples = static_cast<uint8_t*>(mem.GetPtr());
    if (m_pSamples) std::memset(m_pSamples, fill, mem.GetSize());
}

int SOFTCHAN_WAVE::StoreSamples(int bytes, int nBytes, const uint8_t* data, long& last) {
    const long n = RtnNel();
    const long count = std::clamp<long>(nBytes / bytes, 0, n);
    if (count > 0 && m_pSamples && data) {
        long p = last + 1;
        if (p < 0 || p >= n) p = 0;
        // Up to the end of the channel, then on from sample 0.
        const long first = std::min(count, n - p);
        std::memcpy(m_pSamples + p * bytes, data, size_t(first * bytes));
        std::memcpy(m_pSamples, data + first * bytes, size_t((count - first) * bytes));
    }
    last += count;
    return n - 1 - last < std::max(count, 1L) ? 1 : 0;
}
