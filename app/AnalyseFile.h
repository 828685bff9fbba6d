// One file of `vokrec analyse`: loads it into a wave channel as capture would
// fill it, runs the dialog's analysis and measures the file's levels. Safe to
// run on several threads at once (each call builds its own channels).
#pragma once
#include "AnalyseArgs.h"
#include "record/RecordingAnalysis.h"

#include <cmath>
#include <string>

struct ANALYSE_RESULT {
    std::string error; // empty when the file was analysed
    long seconds = 0;  // record time used
    RECORDING_ANALYSIS analysis;
    long startSample = 0, endSample = 0; // the samples a save would write
    double duration = 0.0;               // seconds of sound in the file
    double peakDbfs = NAN; // largest |sample - midpoint| against full scale; NaN for none
    double rmsDbfs = NAN;  // RMS from startSample to endSample without the DC level; NaN
                           // when not located
    long clipped = 0;      // samples at either end of the sample range
    long rate = 0;         // samples per second of the file
    int bits = 0;          // bits per sample of the file
};

ANALYSE_RESULT AnalyseFile(const std::string& path, const ANALYSE_ARGS& args);
