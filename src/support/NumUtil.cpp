#include "support/NumUtil.h"

#include <cmath>
#include <utility>

int32_t Round(double x) {
    double a = std::fabs(x) + 0.5;
    // Saturate instead of overflowing the conversion (NaN gives 0).
    if (!(a < 2147483647.0)) return std::isnan(x) ? 0 : (x < 0 ? -2147483647 : 2147483647);
    int32_t t = int32_t(a);
    return x < 0 ? -t : t;
}

bool ApproxEqual(float a, float b) {
    double m = std::fabs(a) > std::fabs(b) ? std::fabs(a) : std::fabs(b);
    double d = m <= 0.01 ? 0.01 : m;
    return std::fabs(double(a) - double(b)) / d < 0.0001;
}

bool IsZero(float x) {
    return ApproxEqual(x, 0.0f);
}

void Clamp(int32_t& v, int32_t lo, int32_t hi) {
    if (v < lo) v = lo;
    if (v > hi) v = hi;
}

void Clamp(float& v, float lo, float hi) {
    if (v < lo) v = lo;
    if (v > hi) v = hi;
}

void Swap(int32_t& a, int32_t& b) {
    std::swap(a, b);
}
void Swap(float& a, float& b) {
    std::swap(a, b);
}
void Swap(std::string& a, std::string& b) {
    a.swap(b);
}
double Fabs(float x) {
    return std::fabs(double(x));
}
double Sqrt(float x) {
    return std::sqrt(double(x));
}
