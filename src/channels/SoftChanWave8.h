// One recording as unsigned 8-bit samples (128 = silence), sample i at byte i of
// the block, stored two per 16-bit pair. nNel counts pairs, RtnNel() samples.
#pragma once
#include "channels/SoftChanAD.h"
#include "platform/Export.h"

class VOK_API SOFTCHAN_WAVE8 : public SOFTCHAN_AD {
    DECLARE_DYNCREATE(SOFTCHAN_WAVE8)
  public:
    SOFTCHAN_WAVE8() = default;
    // Capacity of nSamples samples (rounded up to even); every sample starts at 128.
    SOFTCHAN_WAVE8(int chan, long nSamples, float dt, const ADCHANINFO* pInfo);

    long RtnNel() override { return 2L * nNel; }
    int GetRawVal(long i) override;
    float GetMaxAbsVal(long a, long b) override;
    float GetRapidSumRng(long a, long b, float step, int absolute) override;
    float GetRapidPeakRng(long a, long b, float step) override;

    // Index of the last sample written (-1 before any write). Not reduced by a
    // wrap, so it can pass the last sample only after the channel overflowed.
    int GetLastSavedSample() const { return int(m_nLastSample); }
    // Stores all nBytes samples after the last sample written, wrapping to
    // sample 0 at the end of the channel (at most RtnNel() of them). 1 when
    // the room left after them is smaller than nBytes (the channel is to be
    // treated as full), else 0; an empty insertion is full when no room is left.
    int InsertValues(int nBytes, const uint8_t* data);
    // Copies n 16-bit pairs in from start, wrapping to pair 0; always 1. The
    // last sample written becomes the second sample of pair start + n - 1.
    int InsertValues16(int start, int n, const uint16_t* data);

    // Sample value without a virtual call, for derived channels reading in bulk.
    // i must lie inside the samples.
    float ValueAt(long i) const { return info.RawToValue(RawAt(i)); }
    // The sample itself (128 without storage), under the same condition.
    int RawAt(long i) const { return m_pSamples ? m_pSamples[i] : 128; }
    bool HasSamples() const { return m_pSamples != nullptr; }

  private:
    long m_nLastSample = -1;
    uint8_t* m_pSamples = nullptr; // the locked block; null without storage
};
