// Pixel, value and time ranges. The ends may be reversed (Lo > Hi); only the
// operations that need order look at an ordered copy or order the range first.
#pragma once
#include <cstdint>
#include <utility>

// The operations both range kinds share; T is the type of the ends, W that of
// the width (Hi - Lo, negative for a reversed range).
template <typename T, typename W> class RANGE_OF {
  public:
    T Lo = T();
    T Hi = T();

    RANGE_OF() = default;
    RANGE_OF(T lo, T hi) : Lo(lo), Hi(hi) {}

    // Swaps the ends only when Lo > Hi holds (equal or unordered pairs stay).
    void Order() {
        if (Lo > Hi) std::swap(Lo, Hi);
    }
    // True when v lies between the ends, both included; the range is not changed.
    bool IsInside(T v) const {
        const bool rev = Lo > Hi;
        const T lo = rev ? Hi : Lo, hi = rev ? Lo : Hi;
        return lo <= v && v <= hi;
    }
    W Width() const { return W(Hi - Lo); }
    // Orders the range, then widens it to take v; true when an end moved.
    bool Include(T v) {
        Order();
        if (v < Lo) {
            Lo = v;
            return true;
        }
        if (v > Hi) {
            Hi = v;
            return true;
        }
        return false;
    }
    // Lo when bHi is false, Hi when it is true.
    T& End(bool bHi) { return bHi ? Hi : Lo; }
    const T& End(bool bHi) const { return bHi ? Hi : Lo; }
};

class CRngInt : public RANGE_OF<int32_t, int32_t> {
  public:
    using RANGE_OF::RANGE_OF;
};

class CRngFlt : public RANGE_OF<float, double> {
  public:
    using RANGE_OF::RANGE_OF;
};
