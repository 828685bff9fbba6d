// One recording as unsigned 8-bit samples (128 = silence), sample i at byte i of
// the block, stored two per 16-bit pair. nNel counts pairs, RtnNel() samples.
#pragma once
#include "channels/SoftChanAD.h"

class SOFTCHAN_WAVE8 : public SOFTCHAN_AD {
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

    // Index of the first sample of the last written pair (-2 before any write).
    int GetLastSavedSample() const { return 2 * m_nLastSavedPair; }
    // Appends nBytes / 2 pairs after the last saved pair (an odd last byte is
    // dropped); 1 when the channel is to be treated as full.
    int InsertValues(int nBytes, const uint8_t* data);
    // Copies n 16-bit pairs in from start, wrapping to pair 0; always 1.
    int InsertValues16(int start, int n, const uint16_t* data);

    // Sample value without a virtual call, for derived channels reading in bulk.
    // i must lie inside the samples.
    float ValueAt(long i) const { return info.RawToValue(RawAt(i)); }
    // The sample itself (128 without storage), under the same condition.
    int RawAt(long i) const { return m_pSamples ? m_pSamples[i] : 128; }
    bool HasSamples() const { return m_pSamples != nullptr; }

  private:
    int m_nLastSavedPair = -1;
    uint8_t* m_pSamples = nullptr; // the locked block; null without storage
};
