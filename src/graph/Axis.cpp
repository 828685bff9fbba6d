#include "graph/Axis.h"
#include "support/NumUtil.h"
#include <cmath>
#include <algorithm>
#include <cstdio>

namespace {
constexpr double kMinWidth = 0.000001;
// Pixel and interval numbers are kept far inside the int range, so values
// wildly outside an axis still give a drawable (off-screen) pixel.
constexpr double kMaxPixel = 1.0e9;

double clampPixel(double v) {
    if (std::isnan(v)) return 0.0;
    if (v > kMaxPixel) return kMaxPixel;
    if (v < -kMaxPixel) return -kMaxPixel;
    return v;
}
} // namespace

void AXIS::CalcTicks(const CRngFlt& range, int n, float& first, float& step, int& intervals) const {
    if (!std::isfinite(range.Lo) || !std::isfinite(range.Hi) || !std::isfinite(range.Width())) {
        // Nothing sensible to scale: one unit interval from 0.
        first = 0.0f, step = 1.0f, intervals = 1;
        return;
    }
    const double w = range.Width();
    double s = kMinWidth;
    if (w >= kMinWidth) {
        double p = std::pow(10.0, std::trunc(std::log10(w)));
        s = 10.0 * p;
        // Descending candidates 10p, 5p, 2.5p, 2p, then p / 10 and again; keep
        // the smallest one for which n intervals still span the range.
        for (;;) {
            const double cand[4] = {10.0 * p, 5.0 * p, 2.5 * p, 2.0 * p};
            bool stop = false;
            for (double c : cand) {
                if (double(n) * c >= w)
                    s = c;
                else {
                    stop = true;
                    break;
                }
            }
            if (stop) break;
            p *= 0.1;
        }
    }
    const double q0 = double(range.Lo) / s;
    double k = std::trunc(q0);
    // Negative starts round down to the next tick unless within 1 % of one.
    if (q0 < 0.0 && std::fabs(q0 - k) > 0.01) k -= 1.0;
    first = float(k * s);
    const double q = clampPixel((double(range.Hi) - double(first)) / s);
    const double t = std::trunc(q);
    int count = int(t) + (t != q ? 1 : 0);
    intervals = count < 1 ? 1 : count;
    step = float(s);
}

void AXIS::CalcBestTicks(const CRngFlt& range) {
    const CRngFlt r = range;
    int best = 3;
    double bestRatio = -1e10;
    for (int n = 3; n <= m_nMaxTicks; ++n) {
        float f = 0.0f, s = 1.0f;
        int count = 1;
        CalcTicks(r, n, f, s, count);
        if (count > m_nMaxTicks) continue;
        const double ratio = r.Width() / (double(count) * double(s));
        if (ratio > bestRatio) bestRatio = ratio, best = n;
    }
    CalcTicks(r, best, m_f1stTick, m_fTickStep, m_nTicks);
    int px = m_rngScreen.Hi - m_rngScreen.Lo;
    if (px == 0) px = 1;
    m_fUnitsPerPixel = float(double(m_nTicks) * double(m_fTickStep) / double(px));
}

void AXIS::CalcLayout(const CRngInt& pixels, const CRngFlt& range) {
    m_rngScreen = pixels;
    CalcBestTicks(range);
}

long AXIS::User2Screen(float v) const {
    const double x =
        (double(v) - double(m_f1stTick)) / double(m_fUnitsPerPixel) + double(m_rngScreen.Lo);
    return long(std::trunc(clampPixel(x)));
}

float AXIS::Screen2User(long x) const {
    return float(double(x - m_rngScreen.Lo) * double(m_fUnitsPerPixel) + double(m_f1stTick));
}

int AXIS::RtnOrigin() const {
    return m_rngScreen.Lo - Round(clampPixel(double(m_f1stTick) / double(m_fUnitsPerPixel)));
}

int AXIS::IsZero1st() const {
    return std::fabs(m_f1stTick) < 0.00001f ? 1 : 0;
}

int AXIS::TickOffset(int i) const {
    return Round(clampPixel(double(i) * double(m_fTickStep) / double(m_fUnitsPerPixel)));
}

std::string FormatAxisLabel(const char* format, double v) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, format, v);
    if (n < 0) return std::string();
    std::string s(buf, std::min<size_t>(size_t(n), sizeof buf - 1));
    // Zeros of an exponent are digits of it ("1.49e-10" must not become
    // "1.49e-1"); there only the padding goes.
    const bool exponent = s.find_first_of("eE") != std::string::npos;
    while (s.size() > 1 && (s.back() == ' ' || (s.back() == '0' && !exponent)) &&
           s[s.size() - 2] != '.')
        s.pop_back();
    return s;
}
