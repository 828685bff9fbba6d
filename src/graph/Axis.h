// The scale of one graph axis: maps a value range onto a pixel range and picks
// tick positions from the series 1, 2, 2.5, 5 times a power of ten. After a
// layout the first tick sits on the first end of the pixel range and the last
// tick on the second end, so the value range shown is a whole number of tick
// intervals that contains the requested range. AXIS draws nothing; X_AXIS and
// Y_AXIS add the drawing.
#pragma once
#include "platform/Export.h"
#include "support/Range.h"
#include <string>

class VOK_API AXIS {
  public:
    AXIS() = default;
    AXIS(const AXIS&) = default;
    AXIS& operator=(const AXIS&) = default;
    ~AXIS() = default;

    // Tick placement for a wanted count of n intervals; reads no field.
    void CalcTicks(const CRngFlt& range, int n, float& first, float& step, int& intervals) const;
    // Tries the counts 3 .. m_nMaxTicks, keeps the best fitting one and sets
    // m_f1stTick, m_fTickStep, m_nTicks and m_fUnitsPerPixel.
    void CalcBestTicks(const CRngFlt& range);
    // m_rngScreen = pixels (as given, not ordered), then CalcBestTicks(range).
    void CalcLayout(const CRngInt& pixels, const CRngFlt& range);

    // Pixel of value v, truncated toward zero.
    long User2Screen(float v) const;
    // Value at pixel x.
    float Screen2User(long x) const;
    // Pixel of the value 0, rounded half away from zero.
    int RtnOrigin() const;
    // 1 when the first tick is 0 (within 0.00001).
    int IsZero1st() const;
    float Rtn1stTick() const { return m_f1stTick; }
    CRngInt GetRngScreen() const { return m_rngScreen; }
    std::string GetUnitsString() const { return m_strUnits; }
    void SetUnitsString(const std::string& text) { m_strUnits = text; }

    // Pixel offset of tick i from m_rngScreen.Lo along the axis.
    int TickOffset(int i) const;

    int m_nTicks = 5;        // tick intervals; ticks are 0 .. m_nTicks
    int m_nDefTicks = 0;     // count set by the constructors, informational
    int m_nMaxTicks = 0;     // largest count tried and accepted by CalcBestTicks
    float m_f1stTick = 0.0f; // value of tick 0, at m_rngScreen.Lo
    float m_fTickStep = 1.0f;
    float m_fUnitsPerPixel = 1.0f; // negative for a reversed pixel range
    CRngInt m_rngScreen;           // Lo: tick 0; Hi: last tick
    int m_nScreenSize = 640;       // screen extent along the axis, informational
    std::string m_strUnits;
};

// An axis label: printf of v with format ("%-12.3f" or "%-12.2e"), then
// trailing '0's and spaces removed while the character before is not '.',
// never past the first character. 2 -> "2.0", 1.5 -> "1.5", 0 -> "0.0".
// In an exponent form only the padding is removed ("1.49e-10" stays).
VOK_API std::string FormatAxisLabel(const char* format, double v);
