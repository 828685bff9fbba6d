// One recording as signed 16-bit samples (0 = silence, little-endian), sample
// i at bytes 2i and 2i + 1 of the block. nNel counts pairs of samples,
// RtnNel() samples.
#pragma once
#include "channels/SoftChanWave.h"
#include "platform/Export.h"

class VOK_API SOFTCHAN_WAVE16 : public SOFTCHAN_WAVE {
    DECLARE_DYNCREATE(SOFTCHAN_WAVE16)
  public:
    SOFTCHAN_WAVE16() = default;
    // Capacity of nSamples samples (rounded up to even); every sample starts at 0.
    SOFTCHAN_WAVE16(int chan, long nSamples, float dt, const ADCHANINFO* pInfo)
        : SOFTCHAN_WAVE(chan, nSamples, dt, pInfo, 0) {}

    // The sample, -32768 ... 32767; 32767 outside the samples.
    int GetRawVal(long i) override;

    // Index of the last sample written (-1 before any write). Not reduced by a
    // wrap, so it can pass the last sample only after the channel overflowed.
    int GetLastSavedSample() const override { return int(m_nLastSaved); }
    // Stores the nBytes / 2 whole samples after the last one written (a
    // trailing odd byte is not a sample), wrapping to sample 0 at the end (at
    // most RtnNel() of them); 1 when the room left after them is smaller than
    // their count, an empty insertion when no room is left.
    int InsertValues(int nBytes, const uint8_t* data) override {
        return StoreSamples(2, nBytes, data, m_nLastSaved);
    }
    int BytesPerSample() const override { return 2; }

    // The samples in place (null without storage), for reading in bulk.
    const int16_t* Samples() const { return reinterpret_cast<const int16_t*>(m_pSamples); }

  private:
    long m_nLastSaved = -1;
};
