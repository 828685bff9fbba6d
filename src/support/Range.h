// Pixel, value and time ranges. The ends may be reversed (Lo > Hi); only the
// operations that need order look at an ordered copy or order the range first.
#pragma once
#include <cstdint>

class CRngInt {
  public:
    int32_t Lo = 0;
    int32_t Hi = 0;

    CRngInt() = default;
    CRngInt(int32_t lo, int32_t hi) : Lo(lo), Hi(hi) {}

    // Swaps the ends when Lo > Hi.
    void Order();
    // True when v lies between the ends, both included; the range is not changed.
    bool IsInside(int32_t v) const;
    // Hi - Lo, negative for a reversed range.
    int32_t Width() const { return Hi - Lo; }
    // Orders the range, then widens it to take v; true when an end moved.
    bool Include(int32_t v);
    // Lo when bHi is false, Hi when it is true.
    int32_t& End(bool bHi) { return bHi ? Hi : Lo; }
    const int32_t& End(bool bHi) const { return bHi ? Hi : Lo; }
};

class CRngFlt {
  public:
    float Lo = 0.0f;
    float Hi = 0.0f;

    CRngFlt() = default;
    CRngFlt(float lo, float hi) : Lo(lo), Hi(hi) {}

    // Swaps the ends only when Lo > Hi holds (equal or unordered pairs stay).
    void Order();
    bool IsInside(float v) const;
    double Width() const { return double(Hi - Lo); }
    bool Include(float v);
    float& End(bool bHi) { return bHi ? Hi : Lo; }
    const float& End(bool bHi) const { return bHi ? Hi : Lo; }
};
