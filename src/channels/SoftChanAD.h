// Channel of signed 16-bit raw counts in a global-memory block, converted to
// values by an ADCHANINFO.
#pragma once
#include "channels/GMemBlock.h"
#include "channels/SoftChan.h"
#include "platform/Export.h"
#include <cstdint>

class VOK_API SOFTCHAN_AD : public SOFTCHAN {
    DECLARE_DYNCREATE(SOFTCHAN_AD)
  public:
    SOFTCHAN_AD() = default;
    // The block holds 4 bytes per element, unlocked. On allocation failure the
    // channel is still built, with an empty block.
    SOFTCHAN_AD(int chan, long nel, float dt, const ADCHANINFO* pInfo);

    float GetVal(long i) override;
    int GetRawVal(long i) override;
    float GetMaxAbsVal(long a, long b) override;
    float GetRapidSumRng(long a, long b, float step, int absolute) override;
    float GetRapidPeakRng(long a, long b, float step) override;
    float GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute) override;
    std::string GetName() override { return info.strName; }
    std::string GetUnits() override { return info.strUnits; }

    GMEM_BLOCK mem;
    ADCHANINFO info;

  protected:
    // The reductions over a sample pointer of either width (16-bit counts here,
    // 8-bit samples in the wave channel), so the loops make no virtual calls.
    template <typename S> float MaxAbsOf(const S* p, long a, long b);
    template <typename S> float SumOf(const S* p, long a, long b, float step, int absolute);
    template <typename S> float PeakOf(const S* p, long a, long b, float step);
    // Index trunc(i * step) kept inside the samples.
    static long StepIndex(long i, float step, long n) {
        long k = long(float(i) * step);
        return k < 0 ? 0 : (k >= n ? n - 1 : k);
    }
};
