// Level channel: the mean absolute value of its source over a centred window of
// fixed length (the loudness envelope of a recording). Nothing of the source is
// copied; values are computed on request, incrementally while the reads move
// forward, with the window's values kept in a ring so the oldest one can leave
// without rereading the source.
#pragma once
#include "channels/SoftChan.h"
#include "platform/Export.h"
#include "support/TypedArray.h"

#include <array>
#include <cmath>

class SOFTCHAN_WAVE8;

class VOK_API SOFTCHAN_LE : public SOFTCHAN {
    DECLARE_DYNCREATE(SOFTCHAN_LE)
  public:
    SOFTCHAN_LE() = default;
    // Element count and seconds per element become valid in OnAddToList, when
    // the channel list has bound the source; add it after its source.
    SOFTCHAN_LE(int chan, int srcChan, float windowSeconds, float ratio, float scale);

    // Takes the shape of the source, then sizes the window: the window length in
    // elements rounded to the nearest, at most nNel - 1, made odd, at least 1.
    void OnAddToList() override;
    // Mean of |fScale * source value| over max(i - nHalf, 0) .. min(i + nHalf, nNel - 1);
    // NO_VAL outside the channel. Reading forward slides the window one element
    // at a time; reading backwards rebuilds it.
    float GetVal(long i) override;
    // GetVal(a): the level curve is always drawn point by point.
    float GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute) override;

    float fWindow = 0.0f;
    double dSum = 0.0;
    int nWin = 0;
    int nHalf = 0;
    int nInSum = 0;
    int nRingPos = 0;
    int nLastIdx = -1;
    int bRingFull = 0;
    FLOAT_ARRAY ring;

  private:
    // |fScale * v| of source element trunc(j * fRatio), read through pSrc->GetVal; a
    // no-value source element counts as 0.
    float Level(long j);
    // Level of a source value v (not yet scaled).
    float LevelOf(float v) const { return IsNoValue(v) ? 0.0f : std::fabs(fScale * v); }
    // The source when it is a plain wave channel, with m_level brought up to date
    // for its conversion and fScale; null for any other source.
    SOFTCHAN_WAVE8* WaveSource();
    // Moves the window on to element i, one element at a time from nLastIdx + 1;
    // from a wave source through m_level, from any other through Level.
    void StepForward(long i);
    void Rebuild(long i);
    // The window mean read straight from the source, for a ring that could not be allocated.
    float DirectMean(long i);

    // The level of each 8-bit sample value, for the conversion in m_levelKey.
    std::array<float, 256> m_level{};
    std::array<float, 4> m_levelKey{}; // fResolution, fOffset, fGain, fScale
    int m_levelZero = 0;
    bool m_bLevelValid = false;
};
