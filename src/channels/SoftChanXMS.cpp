#include "channels/SoftChanXMS.h"

IMPLEMENT_DYNCREATE(SOFTCHAN_XMS, SOFTCHAN)

SOFTCHAN_XMS::SOFTCHAN_XMS(int chan, long points, float dtPoint, const std::string& name,
                           const std::string& units, const std::string& xUnits,
                           const std::string& xLabel)
    : SOFTCHAN(chan, -1, points, dtPoint, 0, 1.0f, 1.0f, 0), arr(int32_t(points > 0 ? points : 0)),
      strUnits(units), strXUnits(xUnits), strXLabel(xLabel) {
    strName = name;
}

void SOFTCHAN_XMS::OnAddToList() {
    SOFTCHAN::OnAddToList();
    fDt *= 0.01f;
    // Saturated: a count beyond int stays readable up to its last whole element.
    if (nNel < 0) nNel = 0;
    nNel = nNel > 2147483647 / 100 ? 2147483647 : nNel * 100;
}

float SOFTCHAN_XMS::GetMaxAbsVal(long a, long b) {
    long points = nNel / 100;
    if (points > arr.GetSize()) points = arr.GetSize();
    if (a < 0) {
        a = 0;
        b = RtnNel() - 1;
    }
    long last = b / 100 < points - 1 ? b / 100 : points - 1;
    float m = 1e-10f;
    for (long q = a / 100; q <= last; ++q)
        if (arr[int32_t(q)] > m) m = arr[int32_t(q)];
    return m;
}

float SOFTCHAN_XMS::GetRapidValRng(long a, long, float, PIXMODE, int) {
    return GetVal(a);
}
