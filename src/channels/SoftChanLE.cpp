#include "channels/SoftChanLE.h"

#include <cmath>

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

float SOFTCHAN_LE::Level(long j) {
    if (!pSrc) return 0.0f;
    float v = pSrc->GetVal(long(float(j) * fRatio));
    if (IsNoVal(v)) return 0.0f;
    return std::fabs(fScale * v);
}

void SOFTCHAN_LE::StepForward(long i) {
    // The elements skipped over slide the window one at a time.
    for (long j = nLastIdx + 1; j < i; ++j)
        GetVal(j);
    const long k = i + nHalf; // the element entering the window
    if (k >= nNel) {
        if (bRingFull) { // nothing enters; the oldest leaves
            dSum -= ring[nRingPos];
            --nInSum;
        }
    } else {
        const float x = Level(k);
        if (bRingFull) {
            dSum += double(x) - double(ring[nRingPos]);
            ring[nRingPos] = x;
        } else {
            ring[nRingPos] = x;
            ++nInSum;
            dSum += x;
            bRingFull = nInSum >= nWin;
        }
    }
    if (++nRingPos >= nWin) nRingPos = 0;
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
