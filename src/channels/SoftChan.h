// Time-indexed series of values. A channel holds its own storage or reads a
// source channel (pSrc) through an index ratio and a value scale. The owning
// channel list resolves pSrc from nSrcChan when the channel is added, then
// calls OnAddToList() (no arguments; the list itself is not needed here).
#pragma once
#include "platform/Export.h"
#include "platform/Object.h"
#include <string>

enum PIXMODE { PIX_FIRST = 0, PIX_PEAK = 1, PIX_MEAN = 2 };

constexpr float NO_VAL = 1e10f;

// How raw counts become values: ((raw - nZero) * fResolution - fOffset) * fGain.
struct VOK_API ADCHANINFO {
    int nChannel = 0;
    std::string strUnits;
    std::string strName;
    float fGain = 1.0f;
    float fOffset = 0.0f;
    float fResolution = 0.0024414f;
    int nZero = 0;

    bool operator==(const ADCHANINFO&) const = default;
    void SetRange(float lo, float hi, int counts, int zero);
    float RawToVolts(int raw) const { return float(raw - nZero) * fResolution; }
    int VoltsToRaw(float v, int withZero) const;
    float RawToValue(int raw) const { return (RawToVolts(raw) - fOffset) * fGain; }
    int ValueToRaw(float value) const;
};

class VOK_API SOFTCHAN : public CObject {
    DECLARE_DYNAMIC(SOFTCHAN)
  public:
    SOFTCHAN();
    SOFTCHAN(int chan, int srcChan, long nel, float dt, int abs, float ratio, float scale,
             int pixMode);
    ~SOFTCHAN() override = default;

    virtual void OnAddToList();
    virtual float GetVal(long i);
    virtual int GetRawVal(long i);
    virtual float GetMaxAbsVal(long a, long b);
    virtual float GetSumVal(long a, long b, int absolute);
    virtual float GetRapidSumRng(long a, long b, float step, int absolute);
    virtual float GetRapidPeakRng(long a, long b, float step);
    virtual float GetRapidValRng(long a, long b, float step, PIXMODE mode, int absolute);
    virtual int IsNoVal(float v);
    virtual std::string GetName();
    virtual std::string GetXUnits();
    virtual std::string GetUnits();
    virtual void Notify(int) {}
    virtual std::string GetXLabel();
    virtual long RtnNel() { return nNel; }

    float GetDuration() const { return float(nNel - 1) * fDt; }
    float TimeOfIndex(long i) const { return float(i) * fDt + fT0; }
    long IndexOfTime(float t) const;
    float GetValAtTime(float t);

    int nChan;
    int nSrcChan;
    int nNel;
    float fDt;
    int bAbs;
    SOFTCHAN* pSrc = nullptr;
    float fRatio;
    float fScale;
    int nPixMode;
    std::string strName;
    float fT0 = 0.0f;
};

inline bool IsNoValue(float v) {
    return (v > NO_VAL ? v - NO_VAL : NO_VAL - v) < 1.0f;
}
