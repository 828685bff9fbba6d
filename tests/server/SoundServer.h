// Environment of the sound-server tests: a private sound server for the test
// program (tests/server/start before the first test, tests/server/stop after
// the last), reached as on a desktop through the ALSA default device; the
// programs that run beside a test (a player that speaks into the server's
// microphone feed, a recorder on its speakers' monitor); the spoken word the
// tests record; and how closely two sounds match.
//
// The server's devices (tests/server/server.pa):
//   vok_mic       null sink the player writes into; its monitor is the
//                 default source, so what is played into it is recorded
//   vok_speaker   the default sink; its monitor hears what was played
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace servertest {

// Base of the tests: fails a test when the server is not running.
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override;
};

// Folder of this process's files; removed at its end.
const std::string& TempDir();

// Runs a shell command with the server's environment and returns its exit
// status (-1 when it did not exit); its standard output goes into *out.
int Run(const std::string& cmd, std::string* out = nullptr);
// pactl with the given words; its output. A failure fails the test.
std::string Pactl(const std::string& args);

// A program running beside the test, its output into a file.
class Process {
  public:
    Process(const std::vector<std::string>& argv, const std::string& outFile);
    // Ends it (SIGTERM, then SIGKILL) if it still runs.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Started() const { return m_pid > 0; }
    // Waits at most capMs for it to end; true when it has ended.
    bool Wait(int capMs);
    // Asks it to end with SIGINT and waits (bounded); true when it ended.
    bool Interrupt();
    // Exit status once ended, else -1.
    int Status() const { return m_status; }

  private:
    pid_t m_pid = -1;
    int m_status = -1;
};

// Plays the sound file into the microphone feed (vok_mic), in real time.
std::vector<std::string> PlayIntoMic(const std::string& wav);
// Records the speakers' monitor as raw 16-bit mono at rate until interrupted.
std::vector<std::string> RecordSpeakers(int rate);

// Sounds are compared at this rate.
constexpr int kCompareRate = 11025;

// The spoken word, made with espeak-ng once per process.
struct Speech {
    std::string feed;         // WAV: 0.4 s of silence, the word, 0.6 s of silence
    std::vector<double> word; // the word alone, at kCompareRate
};
const Speech& Word();

// Mono samples of a WAV file at kCompareRate, as signed values (an 8-bit file
// centred on 0); another rate is converted with sox first. Empty when the file
// cannot be read.
std::vector<double> WavSamples(const std::string& path);
// Samples of a raw file of signed 16-bit little-endian values.
std::vector<double> RawSamples16(const std::string& path);

// The highest normalised cross-correlation of part against whole over every
// lag (part shifted along whole, zeros outside both): the sum of products of
// the mean-free signals over the square root of the product of their whole
// energies. 1 only when part and whole are the same sound at some lag, with
// nothing else in either; 0 when either is silent. *bestLag: where part[0]
// falls in whole at the best match.
double BestCorrelation(const std::vector<double>& part, const std::vector<double>& whole,
                       long* bestLag = nullptr);

} // namespace servertest
