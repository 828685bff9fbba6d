#include "channels/SoftChanLE.h"

#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"

#include <typeinfo>

IMPLEMENT_DYNCREATE(SOFTCHAN_LE, SOFTCHAN)

SOFTCHAN_LE::SOFTCHAN_LE(int chan, int srcChan, float windowSeconds, float ratio, float scale)
    : SOFTCHAN(chan, srcChan, -1, -1.0f, 1, ratio, scale, 0), fWindow(windowSeconds) {}

void SOFTCHAN_LE::OnAddToList() {
    SOFTCHAN::OnAddToList();
    int win = 1;
    if (fDt > 0.0f) {
        // Kept inside int range for absurd window lengths; nNel - 1 caps it below.
        double w = std::trunc(double(fWindow) / double(fDt) + 0.5);
        if (!(w == w)) w = 1.0; // a window of NaN seconds
        win = w >= 2147483647.0 ? 2147483647 : (w <= -2147483647.0 ? -2147483647 : int(w));
    }
    if (win > nNel - 1) win = nNel - 1;
    win |= 1;
    // A source of fewer than two elements leaves nNel - 1 at or below 0: one
    // element is still a usable window.
    if (win < 1) win = 1;
    nWin = win;
    nHalf = nWin / 2;
    ring.SetSize(nWin);
    nInSum = 0;
    nLastIdx = -1;
}

SOFTCHAN_WAVE* SOFTCHAN_LE::WaveSource() {
    // Only the wave channels themselves: a derived kind may read its values differently.
    if (!pSrc) return nullptr;
    const std::type_info& kind = typeid(*pSrc);
    if (kind != typeid(SOFTCHAN_WAVE8) && kind != typeid(SOFTCHAN_WAVE16)) return nullptr;
    auto* wave = static_cast<SOFTCHAN_WAVE*>(pSrc);
    if (!wave->HasSamples()) return nullptr;
    const ADCHANINFO& info = wave->info;
    const std::array<float, 4> key{info.fResolution, info.fOffset, info.fGain, fScale};
    const bool wide = wave->BytesPerSample() == 2;
    const size_t size = wide ? 65536 : 256;
    const int lowest = wide ? -32768 : 0;
    if (!m_bLevelValid || key != m_levelKey || info.nZero != m_levelZero ||
        m_level.size() != size) {
        // Each entry is what the sample value gives through GetVal, to the last bit.
        m_level.resize(size);
        for (size_t k = 0; k < size; ++k)
            m_level[k] = LevelOf(info.RawToValue(lowest + int(k)));
        m_levelKey = key;
        m_levelZero = info.nZero;
        m_bLevelValid = true;
    }
    return wave;
}

float SOFTCHAN_LE::Level(long j) {
    if (!pSrc) return 0.0f;
    return LevelOf(pSrc->GetVal(long(float(j) * fRatio)));
}

namespace {
// The window's running sum and fill, held in locals while it moves (stores
// into the ring could otherwise alias them).
struct Window {
    double sum;
    int inSum, pos, full;
};

// Slides w from element `from` to element `to` one element at a time, as
// GetVal of each element in turn would; level(k) is the level of element k.
template <typename Level>
void Slide(Window& w, float* ring, int nWin, long nHalf, long nNel, long from, long to,
           Level level) {
    for (long j = from; j <= to; ++j) {
        const long k = j + nHalf; // the element entering the window
        if (k >= nNel) {
            if (w.full) { // nothing enters; the oldest leaves
                w.sum -= ring[w.pos];
                --w.inSum;
            }
        } else {
            const float x = level(k);
            if (w.full) {
                w.sum += double(x) - double(ring[w.pos]);
                ring[w.pos] = x;
            } else {
                ring[w.pos] = x;
                ++w.inSum;
                w.sum += x;
                w.full = w.inSum >= nWin;
            }
        }
        if (++w.pos >= nWin) w.pos = 0;
        if (j < to && w.inSum < 1) w.inSum = 1; // GetVal's floor for an element passed over
    }
}

// Slide over the samples p[0 .. n - 1] of a wave source; the level of sample
// value v is level[v] (level points at the entry of value 0).
template <typename S>
void SlideOverSamples(Window& w, float* ring, int nWin, long nHalf, long nNel, long from, long to,
                      float ratio, const S* p, long n, const float* level) {
    Slide(w, ring, nWin, nHalf, nNel, from, to, [=](long k) {
        const long idx = long(float(k) * ratio);
        return idx < 0 || idx >= n ? 0.0f : level[p[idx]];
    });
}
} // namespace

void SOFTCHAN_LE::StepForward(long i) {
    Window w{dSum, nInSum, nRingPos, bRingFull};
    float* r = ring.Data();
    if (SOFTCHAN_WAVE* wave = WaveSource()) {
        // The samples looked up in the level table: no virtual call per element.
        const long n = wave->SOFTCHAN_WAVE::RtnNel();
        const uint8_t* bytes = wave->SampleData();
        if (wave->BytesPerSample() == 2)
            SlideOverSamples(w, r, nWin, nHalf, nNel, nLastIdx + 1, i, fRatio,
                             reinterpret_cast<const int16_t*>(bytes), n, m_level.data() + 32768);
        else
            SlideOverSamples(w, r, nWin, nHalf, nNel, nLastIdx + 1, i, fRatio, bytes, n,
                             m_level.data());
    } else {
        Slide(w, r, nWin, nHalf, nNel, nLastIdx + 1, i, [this](long k) { return Level(k); });
    }
    dSum = w.sum;
    nInSum = w.inSum;
    nRingPos = w.pos;
    bRingFull = w.full;
}

void SOFTCHAN_LE::Rebuild(long i) {
    const long a = i - nHalf > 0 ? i - nHalf : 0;
    const long b = i + nHalf < nNel - 1 ? i + nHalf : nNel - 1;
    dSum = 0.0;
    nInSum = 0;
    nRingPos = 0;
    for (long j = a; j <= b; ++j) {
        const float x = Level(j);
        ring[nRingPos] = x;
        ++nRingPos;
        ++nInSum;
        dSum += x;
    }
    bRingFull = nInSum >= nWin;
    if (bRingFull) nRingPos = 0;
}

float SOFTCHAN_LE::DirectMean(long i) {
    const long a = i - nHalf > 0 ? i - nHalf : 0;
    const long b = i + nHalf < nNel - 1 ? i + nHalf : nNel - 1;
    double s = 0.0;
    for (long j = a; j <= b; ++j)
        s += Level(j);
    const long n = b - a + 1;
    return float(s / double(n > 0 ? n : 1));
}

float SOFTCHAN_LE::GetVal(long i) {
    if (i < 0 || i >= RtnNel()) return NO_VAL;
    if (nWin < 1 || ring.GetSize() < nWin) return DirectMean(i);
    if (i != nLastIdx) {
        if (nLastIdx >= 0 && i > nLastIdx)
            StepForward(i);
        else
            Rebuild(i);
        nLastIdx = int(i);
    }
    if (nInSum < 1) nInSum = 1;
    return float(dSum / double(nInSum));
}

float SOFTCHAN_LE::GetRapidValRng(long a, long, float, PIXMODE, int) {
    return GetVal(a);
}
