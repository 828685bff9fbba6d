// Float series stored at one point per 100 elements (after it is added to the
// channel list) and interpolated linearly between the points.
#pragma once
#include "channels/SoftChan.h"
#include "support/TypedArray.h"

#include <cmath>

class SOFTCHAN_XMS : public SOFTCHAN {
    DECLARE_DYNCREATE(SOFTCHAN_XMS)
  public:
    SOFTCHAN_XMS() = default;
    SOFTCHAN_XMS(int chan, long points, float dtPoint, const std::string& name,
                 const std::string& units, const std::string& xUnits, const std::string& xLabel);

    // The base's, then 100 elements per point.
    void OnAddToList() override;
    float GetVal(long i) override { return i < RtnNel() ? ValueAt(i) : NO_VAL; }
    // GetVal without the virtual call, for scans over every element.
    float ValueAt(long i) const;
    // For scans that look for values above limit: the first element from i on
    // (NextAbove) or the last up to i (PrevAbove) whose value can exceed limit.
    // Elements skipped lie strictly between two points and are bounded by them.
    long NextAbove(long i, float limit) const;
    long PrevAbove(long i, float limit) const;
    // True when no element strictly between point q and point q + 1 can exceed
    // limit: an interpolated value never leaves the range of its two points
    // (exactly so in float for points of moderate size; larger, non-finite or
    // nearly equal points are not judged, nor the last point's extrapolation).
    bool InteriorAtMost(long q, float limit) const;
    float GetMaxAbsVal(long a, long b) override;
    float GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute) override;
    std::string GetXUnits() override { return strXUnits; }
    std::string GetUnits() override { return strUnits; }
    std::string GetXLabel() override { return strXLabel; }

    FLOAT_ARRAY arr;
    std::string strUnits;
    std::string strXUnits;
    std::string strXLabel;
};

inline float SOFTCHAN_XMS::ValueAt(long i) const {
    if (i < 0 || i >= nNel) return NO_VAL; // nNel is RtnNel() here
    long points = nNel / 100;
    if (points > arr.GetSize()) points = arr.GetSize();
    long q = i / 100, r = i % 100;
    if (q < 0 || q >= points) return NO_VAL;
    float y0 = arr[int32_t(q)];
    if (r == 0) return y0;
    long k = q + 1;
    if (k >= points) {
        k = q - 1;
        if (k < 0) return y0;
    }
    return y0 + (arr[int32_t(k)] - y0) * float(r) / (float(k - q) * 100.0f);
}

inline bool SOFTCHAN_XMS::InteriorAtMost(long q, float limit) const {
    long points = nNel / 100;
    if (points > arr.GetSize()) points = arr.GetSize();
    if (q < 0 || q + 1 >= points) return false;
    const float y0 = arr[int32_t(q)], y1 = arr[int32_t(q + 1)];
    constexpr float kBig = 1e30f, kTiny = 1e-30f; // no overflow, no subnormal steps
    const float d = y1 - y0;
    if (!(std::fabs(y0) < kBig && std::fabs(y1) < kBig && (d == 0.0f || std::fabs(d) > kTiny)))
        return false;
    return y0 <= limit && y1 <= limit;
}

inline long SOFTCHAN_XMS::NextAbove(long i, float limit) const {
    if (i > 0 && i % 100 != 0 && InteriorAtMost(i / 100, limit)) return (i / 100 + 1) * 100;
    return i;
}

inline long SOFTCHAN_XMS::PrevAbove(long i, float limit) const {
    if (i > 0 && i % 100 != 0 && InteriorAtMost(i / 100, limit)) return (i / 100) * 100;
    return i;
}
