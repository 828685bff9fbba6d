#include "AnalyseSummary.h"

#include <algorithm>
#include <cstdio>

namespace {
// Upper ends of the duration bins, in seconds; the last bin is open.
constexpr double kBins[] = {0.5, 1.0, 2.0, 5.0};

std::string Row(const char* what, long n, const char* note = "") {
    char buf[128];
    std::snprintf(buf, sizeof buf, "  %-20s %8ld%s\n", what, n, note);
    return buf;
}
} // namespace

void ANALYSE_SUMMARY::Add(const ANALYSE_RESULT& r) {
    ++m_nFiles;
    if (!r.error.empty()) {
        ++m_nFailed;
        return;
    }
    if (r.analysis.bLocated) {
        ++m_nLocated;
        m_durations.push_back(double(r.analysis.range.Hi) - double(r.analysis.range.Lo));
    }
    m_nClipped += r.clipped > 0;
    m_nQuiet += !(r.peakDbfs >= kQuietPeakDbfs); // no peak at all counts as quiet
}

std::string ANALYSE_SUMMARY::Table() const {
    char note[64];
    std::snprintf(note, sizeof note, "  (peak below %.0f dBFS)", kQuietPeakDbfs);
    std::string t = "vokrec analyse summary\n";
    t += Row("files", m_nFiles);
    t += Row("failed", m_nFailed);
    t += Row("located", m_nLocated);
    t += Row("not located", m_nFiles - m_nFailed - m_nLocated);
    t += Row("clipped", m_nClipped, "  (a full-scale sample or more)");
    t += Row("very quiet", m_nQuiet, note);
    if (m_durations.empty()) return t;

    std::vector<double> d = m_durations;
    std::sort(d.begin(), d.end());
    auto at = [&](double q) { return d[size_t(q * double(d.size() - 1) + 0.5)]; };
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "located duration (s)   min %.2f   10%% %.2f   median %.2f   90%% %.2f   "
                  "max %.2f\n",
                  d.front(), at(0.1), at(0.5), at(0.9), d.back());
    t += buf;
    double lo = 0.0;
    for (size_t b = 0; b <= std::size(kBins); ++b) {
        const double hi = b < std::size(kBins) ? kBins[b] : 1e300;
        const long n = long(std::lower_bound(d.begin(), d.end(), hi) -
                            std::lower_bound(d.begin(), d.end(), lo));
        if (b < std::size(kBins))
            std::snprintf(buf, sizeof buf, "%.1f to %.1f s", lo, hi);
        else
            std::snprintf(buf, sizeof buf, "%.1f s or more", lo);
        t += Row(buf, n);
        lo = hi;
    }
    return t;
}
