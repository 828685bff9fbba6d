// The --summary table of `vokrec analyse`: what a corpus check needs at a
// glance (files located, not located, clipped, very quiet, failed) and the
// distribution of the located durations.
#pragma once
#include "AnalyseFile.h"

#include <string>
#include <vector>

// A peak below this is "very quiet".
inline constexpr double kQuietPeakDbfs = -20.0;

class ANALYSE_SUMMARY {
  public:
    void Add(const ANALYSE_RESULT& r);
    // The table, lines ending in '\n'.
    std::string Table() const;

  private:
    long m_nFiles = 0, m_nFailed = 0, m_nLocated = 0, m_nClipped = 0, m_nQuiet = 0;
    std::vector<double> m_durations; // end - start of the located files
};
