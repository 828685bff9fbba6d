// The output line of one file of `vokrec analyse`, and its error message.
#pragma once
#include "AnalyseFile.h"

#include <string>

// The JSON object of a file, with '\n'. Without figures it holds the fields
// of a single-file run; with them also duration, peak_dbfs, rms_dbfs and
// clipped. rate and bits come last: always with the figures, without them
// only for a file not at 11025 Hz 8-bit. A failed file gives
// {"file":...,"error":...}.
std::string ResultLine(const std::string& path, const ANALYSE_RESULT& r, bool figures);

// The message of a failed file for standard error, with '\n':
// vokrec analyse: "PATH": problem
std::string ErrorMessage(const std::string& path, const std::string& problem);
