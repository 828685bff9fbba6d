// Level of a recording as it arrives: peak and RMS of the last buffer in dB
// relative to full scale, a peak hold, and for the whole take its peak and
// whether any sample reached full scale. Samples are 8-bit unsigned (128 is
// silence, 0 and 255 are full scale) or 16-bit signed little-endian (-32768
// and 32767 are full scale).
#pragma once
#include <cstddef>
#include <cstdint>

// Peak and RMS of one block of samples.
struct LEVEL {
    double fPeakDb = 0.0;  // dBFS of the largest magnitude; kSilenceDb for silence
    double fRmsDb = 0.0;   // dBFS of the root mean square (a full-scale sine: -3)
    bool bClipped = false; // a sample at full scale
};

class LEVEL_METER {
  public:
    static constexpr double kSilenceDb = -96.0;
    static constexpr double kQuietDb = -40.0; // a take peaking below is "Very quiet"
    static constexpr double kHoldSeconds = 1.5;

    // Measures count samples of the given bits (8 or 16) at data.
    static LEVEL Measure(const void* data, size_t count, int bits);

    // A new take at the given rate: no level, no hold.
    void Start(int rate, int bits);
    // The next buffer of the take: its level becomes the last one; the hold
    // keeps the highest peak for kHoldSeconds of samples.
    void Feed(const void* data, size_t count);

    const LEVEL& Last() const { return m_last; }
    double HoldDb() const { return m_fHoldDb; }
    double TakePeakDb() const { return m_fTakePeakDb; }
    bool TakeClipped() const { return m_bTakeClipped; }
    // A take was fed at least one sample since Start.
    bool HasTake() const { return m_nTakeSamples > 0; }

  private:
    LEVEL m_last{kSilenceDb, kSilenceDb, false};
    int m_nRate = 11025, m_nBits = 8;
    double m_fHoldDb = kSilenceDb;
    double m_fHoldAge = 0.0; // seconds since the hold was set
    double m_fTakePeakDb = kSilenceDb;
    bool m_bTakeClipped = false;
    size_t m_nTakeSamples = 0;
};
