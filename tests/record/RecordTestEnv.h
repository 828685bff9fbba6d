// Test environment of the record tests: the audio tests' file sound devices
// and helpers (capture/AudioTestEnv.h), plus fresh folders, capture input with
// a burst, the data of a WAV file and running the vokrec program.
#pragma once
#include "capture/AudioTestEnv.h"
#include <cstdint>
#include <string>
#include <vector>

namespace rectest {

using namespace audiotest;

// A fresh empty folder under TempDir().
std::string NewFolder(const std::string& name);

// Capture input: silence (128) with a burst of alternating 128 +- 100 from
// fromSec to toSec, n seconds long at 11025 samples per second.
std::vector<uint8_t> BurstInput(double seconds, double fromSec, double toSec);

// The "data" chunk of a WAV file; empty when the file has none.
std::vector<uint8_t> WavData(const std::string& path);

// Runs the event loop for about ms milliseconds.
void PumpFor(int ms);

// The text in single quotes for the shell.
std::string Quote(const std::string& s);
struct VokrecRun {
    int status = -1; // the exit code; -1 when it did not exit
    std::string out, err;
};
// Runs vokrec (VOKREC, else the one built) with the given shell words; env
// is put in front of the command (variable assignments).
VokrecRun RunVokrec(const std::string& args, const std::string& env = "");

} // namespace rectest
