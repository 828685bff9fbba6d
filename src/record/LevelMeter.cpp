#include "record/LevelMeter.h"
#include <algorithm>
#include <cmath>

namespace {
double Db(double ratio) {
    return ratio > 0.0 ? std::max(LEVEL_METER::kSilenceDb, 20.0 * std::log10(ratio))
                       : LEVEL_METER::kSilenceDb;
}

// Largest magnitude, sum of squares and full-scale hits of samples already
// centred on zero, over a block read by get(i).
template <typename Get> LEVEL MeasureBy(size_t count, double fullScale, Get get) {
    int peak = 0;
    uint64_t squares = 0;
    bool clipped = false;
    for (size_t i = 0; i < count; ++i) {
        const int v = get(i);
        clipped |= get.IsFullScale(v);
        const int m = v < 0 ? -v : v;
        peak = std::max(peak, m);
        squares += uint64_t(int64_t(v) * v);
    }
    LEVEL l;
    l.fPeakDb = Db(peak / fullScale);
    l.fRmsDb = count ? Db(std::sqrt(double(squares) / double(count)) / fullScale)
                     : LEVEL_METER::kSilenceDb;
    l.bClipped = clipped;
    return l;
}

struct Get8 {
    const uint8_t* p;
    int operator()(size_t i) const { return int(p[i]) - 128; }
    static bool IsFullScale(int v) { return v == -128 || v == 127; }
};
struct Get16 {
    const uint8_t* p;
    int operator()(size_t i) const { return int(int16_t(uint16_t(p[2 * i] | p[2 * i + 1] << 8))); }
    static bool IsFullScale(int v) { return v == -32768 || v == 32767; }
};
} // namespace

LEVEL LEVEL_METER::Measure(const void* data, size_t count, int bits) {
    if (!data) count = 0;
    const auto* p = static_cast<const uint8_t*>(data);
    return bits == 16 ? MeasureBy(count, 32768.0, Get16{p}) : MeasureBy(count, 128.0, Get8{p});
}

void LEVEL_METER::Start(int rate, int bits) {
    *this = LEVEL_METER();
    m_nRate = rate > 0 ? rate : 11025;
    m_nBits = bits;
}

void LEVEL_METER::Feed(const void* data, size_t count) {
    if (!data || count == 0) return;
    m_last = Measure(data, count, m_nBits);
    m_fHoldAge += double(count) / m_nRate;
    if (m_last.fPeakDb >= m_fHoldDb || m_fHoldAge > kHoldSeconds) {
        m_fHoldDb = m_last.fPeakDb;
        m_fHoldAge = 0.0;
    }
    m_fTakePeakDb = std::max(m_fTakePeakDb, m_last.fPeakDb);
    m_bTakeClipped |= m_last.bClipped;
    m_nTakeSamples += count;
}
