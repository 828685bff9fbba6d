// Test environment of the record dialog tests: the file sound devices of
// tests/data/alsa-test.conf replace any sound card for the whole process (set
// up before the audio back end starts), raw capture input of known samples,
// and running the event loop until something has happened.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rectest {

// Folder of this process's temporary files (removed at exit).
const std::string& TempDir();
// A fresh empty folder under TempDir().
std::string NewFolder(const std::string& name);
// The raw files the capture device reads and the playback device writes, as
// the environment names them now.
std::string InFile();
std::string OutFile();
void WriteBytes(const std::string& path, const std::vector<uint8_t>& data);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Capture input: silence (128) with a burst of alternating 128 +- 100 from
// fromSec to toSec, n seconds long at 11025 samples per second.
std::vector<uint8_t> BurstInput(double seconds, double fromSec, double toSec);
// Sample k of a wave channel filled from input in whole 0.2 s buffers of 2205
// bytes: each buffer keeps its first 2204 bytes.
uint8_t ChannelSample(const std::vector<uint8_t>& input, long k);

// The "data" chunk of a WAV file; empty when the file has none.
std::vector<uint8_t> WavData(const std::string& path);

// Runs the event loop until done() holds; false when it still does not hold
// after capMs (a guard against a hang, not a timing check).
bool PumpUntil(const std::function<bool()>& done, int capMs = 30000);
// Runs the event loop for about ms milliseconds.
void PumpFor(int ms);

// Sets an environment variable for the life of the object.
class EnvGuard {
  public:
    EnvGuard(const char* name, const std::string& value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    std::string m_name, m_old;
    bool m_bHad;
};

} // namespace rectest
