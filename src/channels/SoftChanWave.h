// What the recorder, the record dialog and the analysis need of a recording's
// wave channel, whatever its sample size: the samples lie in the block in
// order, sample i at byte i * BytesPerSample(), two samples per element, so
// nNel counts pairs and RtnNel() samples.
#pragma once
#include "channels/SoftChanAD.h"
#include "platform/Export.h"

class VOK_API SOFTCHAN_WAVE : public SOFTCHAN_AD {
    DECLARE_DYNAMIC(SOFTCHAN_WAVE)
  public:
    long RtnNel() override { return 2L * nNel; }

    // Index of the last sample written (what it means before the first write
    // is up to the kind of channel; below 0 in any case).
    virtual int GetLastSavedSample() const = 0;
    // Appends captured bytes after the last sample written; 1 when the channel
    // is to be treated as full.
    virtual int InsertValues(int nBytes, const uint8_t* data) = 0;
    virtual int BytesPerSample() const = 0;
    // False when the block could not be allocated.
    bool HasSamples() const { return m_pSamples != nullptr; }
    // The sample bytes in place; null without storage.
    const uint8_t* SampleData() const { return m_pSamples; }

  protected:
    SOFTCHAN_WAVE() = default;
    // Capacity of nSamples samples rounded up to even: (nSamples + 1) / 2
    // elements of 4 bytes. The block stays locked for the channel's life (the
    // samples are read in place); every byte is set to fill.
    SOFTCHAN_WAVE(int chan, long nSamples, float dt, const ADCHANINFO* pInfo, uint8_t fill);

    // Stores every whole sample of nBytes (bytes bytes each) after sample
    // `last`, wrapping to sample 0 at the end of the channel; at most RtnNel()
    // samples, so nothing is written outside. `last` advances by the samples
    // stored, not reduced by the wrap. Returns 1 when the room left after
    // them, RtnNel() - 1 - last, is smaller than their count (an empty
    // insertion: when no room is left), else 0.
    int StoreSamples(int bytes, int nBytes, const uint8_t* data, long& last);

    uint8_t* m_pSamples = nullptr; // the locked block; null without storage
};
