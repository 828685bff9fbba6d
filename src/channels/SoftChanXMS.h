// Float series stored at one point per 100 elements (after it is added to the
// channel list) and interpolated linearly between the points.
#pragma once
#include "channels/SoftChan.h"
#include "support/TypedArray.h"

class SOFTCHAN_XMS : public SOFTCHAN {
    DECLARE_DYNCREATE(SOFTCHAN_XMS)
  public:
    SOFTCHAN_XMS() = default;
    SOFTCHAN_XMS(int chan, long points, float dtPoint, const std::string& name,
                 const std::string& units, const std::string& xUnits, const std::string& xLabel);

    // The base's, then 100 elements per point.
    void OnAddToList() override;
    float GetVal(long i) override;
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
