#include "AnalyseLine.h"

#include "AnalyseJson.h"

namespace {
std::string FileField(const std::string& path) {
    bool latin1 = false;
    std::string f = "\"file\":" + JsonString(path, &latin1);
    return latin1 ? f + ",\"file_latin1\":true" : f;
}
} // namespace

std::string ResultLine(const std::string& path, const ANALYSE_RESULT& r, bool figures) {
    if (!r.error.empty())
        return "{" + FileField(path) + ",\"error\":" + JsonString(r.error) + "}\n";
    const RECORDING_ANALYSIS& a = r.analysis;
    std::string line =
        "{" + FileField(path) + ",\"seconds\":" + std::to_string(r.seconds) +
        ",\"offset\":" + JsonNumber(a.fOffset) + ",\"points\":" + std::to_string(a.nPoints) +
        ",\"start\":" + JsonNumber(a.range.Lo) + ",\"end\":" + JsonNumber(a.range.Hi) +
        ",\"located\":" + (a.bLocated ? "true" : "false") +
        ",\"start_sample\":" + std::to_string(r.startSample) +
        ",\"end_sample\":" + std::to_string(r.endSample);
    if (figures)
        line += ",\"duration\":" + JsonNumber(r.duration, 6) +
                ",\"peak_dbfs\":" + JsonNumber(r.peakDbfs, 2) +
                ",\"rms_dbfs\":" + JsonNumber(r.rmsDbfs, 2) +
                ",\"clipped\":" + std::to_string(r.clipped);
    // The format closes the figures, and a plain object unless it is the
    // dialog's default (so that such output stays as it always was).
    if (figures || r.rate != 11025 || r.bits != 8)
        line += ",\"rate\":" + std::to_string(r.rate) + ",\"bits\":" + std::to_string(r.bits);
    return line + "}\n";
}

std::string ErrorMessage(const std::string& path, const std::string& problem) {
    return "vokrec analyse: " + MessageQuoted(path) + ": " + MessageText(problem) + "\n";
}
