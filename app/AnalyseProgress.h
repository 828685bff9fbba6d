// The progress line of `vokrec analyse` on standard error: files done of the
// total, the rate and the time left, redrawn in place. Only on a terminal.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdio>

class ANALYSE_PROGRESS {
  public:
    // Draws only when enabled (standard error is a terminal).
    ANALYSE_PROGRESS(size_t total, bool enabled, std::FILE* out = stderr);
    bool Enabled() const { return m_bEnabled; }
    void SetDone(size_t done) { m_nDone = done; }
    // Redraws the line; at most ten times a second unless force is set.
    void Draw(bool force = false);
    // Removes the line (before other output, and at the end).
    void Clear();

  private:
    using Clock = std::chrono::steady_clock;
    size_t m_nTotal, m_nDone = 0;
    bool m_bEnabled, m_bShown = false;
    std::FILE* m_pOut;
    Clock::time_point m_start, m_lastDraw;
};
