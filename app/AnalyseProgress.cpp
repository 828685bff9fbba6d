#include "AnalyseProgress.h"

#include <string>

namespace {
std::string TimeText(double seconds) {
    const long s = long(seconds + 0.5);
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
    return std::to_string(s / 3600) + " h " + std::to_string(s % 3600 / 60) + " min";
}
} // namespace

ANALYSE_PROGRESS::ANALYSE_PROGRESS(size_t total, bool enabled, std::FILE* out)
    : m_nTotal(total), m_bEnabled(enabled), m_pOut(out), m_start(Clock::now()),
      m_lastDraw(m_start) {}

void ANALYSE_PROGRESS::Draw(bool force) {
    if (!m_bEnabled) return;
    const Clock::time_point now = Clock::now();
    if (!force && m_bShown && now - m_lastDraw < std::chrono::milliseconds(100)) return;
    m_lastDraw = now;
    const double elapsed = std::chrono::duration<double>(now - m_start).count();
    std::string line = std::to_string(m_nDone) + "/" + std::to_string(m_nTotal) + " files";
    if (m_nDone > 0 && elapsed > 0.0) {
        const double rate = double(m_nDone) / elapsed;
        char buf[48];
        std::snprintf(buf, sizeof buf, ", %.0f files/s, ", rate);
        line += buf + TimeText(double(m_nTotal - m_nDone) / rate) + " left";
    }
    std::fprintf(m_pOut, "\r%s\033[K", line.c_str());
    std::fflush(m_pOut);
    m_bShown = true;
}

void ANALYSE_PROGRESS::Clear() {
    if (!m_bShown) return;
    std::fputs("\r\033[K", m_pOut);
    std::fflush(m_pOut);
    m_bShown = false;
}
