#include "SoundServer.h"

#include "capture/WavReader.h"
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace servertest {

namespace {

// The scripts beside the test data (tests/server beside tests/data).
std::string ScriptDir() {
    const char* data = std::getenv("VOK_TEST_DATA");
    return (std::filesystem::path(data && *data ? data : VOK_TEST_DATA_DIR).parent_path() /
            "server")
        .string();
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Takes the lines "export NAME='value'" that the start script prints.
void SetExports(const std::string& text) {
    size_t p = 0;
    while (p < text.size()) {
        size_t e = text.find('\n', p);
        if (e == std::string::npos) e = text.size();
        const std::string line = text.substr(p, e - p);
        p = e + 1;
        const size_t eq = line.find("='");
        if (line.rfind("export ", 0) != 0 || eq == std::string::npos || line.back() != '\'')
            continue;
        setenv(line.substr(7, eq - 7).c_str(), line.substr(eq + 2, line.size() - eq - 3).c_str(),
               1);
    }
}

std::string g_dir, g_error = "the sound server was not started";

// Starts the server before the first test and stops it after the last; the
// device under test is the system default, whatever the caller set. A server
// that does not start fails every test (ServerTest), rather than have them
// skipped.
class ServerEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        char tmpl[] = "/tmp/vok-server-test-XXXXXX";
        if (!mkdtemp(tmpl)) {
            g_error = "no temporary folder";
            return;
        }
        g_dir = tmpl;
        unsetenv("VOK_AUDIO_DEVICE");
        std::string exports;
        const int rc = Run(Quote(ScriptDir() + "/start") + " " + Quote(g_dir + "/srv") + " " +
                               std::to_string(getpid()),
                           &exports);
        m_bStarted = rc == 0;
        SetExports(exports);
        if (!m_bStarted || !std::getenv("PULSE_SERVER"))
            g_error = "the sound server did not start (" + ScriptDir() + "/start exit status " +
                      std::to_string(rc) + ")";
        else
            g_error.clear();
    }
    void TearDown() override {
        if (m_bStarted) Run(Quote(ScriptDir() + "/stop") + " " + Quote(g_dir + "/srv"));
        std::error_code ec;
        if (!g_dir.empty()) std::filesystem::remove_all(g_dir, ec);
    }

  private:
    bool m_bStarted = false;
};

[[maybe_unused]] ::testing::Environment* const g_env =
    ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::vector<double> MeanFree(const std::vector<double>& v, double& energy) {
    double mean = 0;
    for (double x : v)
        mean += x;
    mean /= v.empty() ? 1 : double(v.size());
    std::vector<double> out(v.size());
    energy = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        out[i] = v[i] - mean;
        energy += out[i] * out[i];
    }
    return out;
}

Speech MakeWord() {
    Speech s;
    const std::string spoken = TempDir() + "/spoken.wav", word = TempDir() + "/word.wav",
                      ref = TempDir() + "/word-ref.wav";
    s.feed = TempDir() + "/feed.wav";
    // The word is kept below 4 kHz: the recording rate's upper band, where
    // resamplers differ most, then plays no part in the comparison.
    const int rc =
        Run("espeak-ng -w " + Quote(spoken) + " seven && sox " + Quote(spoken) + " " + Quote(word) +
            " lowpass 3000 && sox " + Quote(word) + " " + Quote(s.feed) + " pad 0.4 0.6 && sox " +
            Quote(word) + " -r " + std::to_string(kCompareRate) + " " + Quote(ref));
    EXPECT_EQ(rc, 0) << "espeak-ng or sox failed (scripts/deps installs them)";
    s.word = WavSamples(ref);
    return s;
}

} // namespace

void ServerTest::SetUp() {
    ASSERT_EQ(g_error, "");
}

const std::string& TempDir() {
    return g_dir;
}

int Run(const std::string& cmd, std::string* out) {
    std::string text;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    const int rc = pclose(p);
    if (out) *out = text;
    return rc != -1 && WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string Pactl(const std::string& args) {
    std::string out;
    const int rc = Run("pactl " + args, &out);
    EXPECT_EQ(rc, 0) << "pactl " << args;
    return out;
}

Process::Process(const std::vector<std::string>& argv, const std::string& outFile) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 2, (outFile + ".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &fa, nullptr, args.data(), environ) == 0) m_pid = pid;
    posix_spawn_file_actions_destroy(&fa);
}

Process::~Process() {
    if (m_pid <= 0 || Wait(0)) return;
    kill(m_pid, SIGTERM);
    if (!Wait(2000)) {
        kill(m_pid, SIGKILL);
        Wait(2000);
    }
}

bool Process::Wait(int capMs) {
    if (m_pid <= 0) return true;
    if (m_status >= 0) return true;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(capMs);
    for (;;) {
        int st = 0;
        if (waitpid(m_pid, &st, WNOHANG) == m_pid) {
            m_status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool Process::Interrupt() {
    if (m_pid <= 0 || Wait(0)) return true;
    kill(m_pid, SIGINT);
    return Wait(5000);
}

std::vector<std::string> PlayIntoMic(const std::string& wav) {
    return {"paplay", "--device=vok_mic", wav};
}

std::vector<std::string> RecordSpeakers(int rate) {
    // A short latency, so what was recorded is in the file at once.
    return {"parec",          "--device=vok_speaker.monitor",
            "--format=s16le", "--rate=" + std::to_string(rate),
            "--channels=1",   "--latency-msec=20"};
}

const Speech& Word() {
    static const Speech s = MakeWord();
    return s;
}

std::vector<double> WavSamples(const std::string& path) {
    WAVReader r;
    if (!r.Load(path)) return {};
    if (r.nSamplesPerSec != unsigned(kCompareRate) || r.nChannels != 1) {
        static int n = 0;
        const std::string conv = TempDir() + "/converted" + std::to_string(++n) + ".wav";
        if (Run("sox " + Quote(path) + " -c 1 -r " + std::to_string(kCompareRate) + " -b 16 " +
                Quote(conv)) != 0 ||
            !r.Load(conv))
            return {};
    }
    if (r.wBitsPerSample == 8) {
        std::vector<double> v;
        for (uint8_t b : r.data)
            v.push_back(double(b) - 128.0);
        return v;
    }
    std::vector<double> v;
    for (size_t i = 0; i + 1 < r.data.size(); i += 2)
        v.push_back(double(int16_t(uint16_t(r.data[i] | r.data[i + 1] << 8))) / 256.0);
    return v;
}

std::vector<double> RawSamples16(const std::string& path) {
    const std::vector<uint8_t> b = ReadFile(path);
    std::vector<double> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        v.push_back(double(int16_t(uint16_t(b[i] | b[i + 1] << 8))) / 256.0);
    return v;
}

double BestCorrelation(const std::vector<double>& part, const std::vector<double>& whole,
                       long* bestLag) {
    double ea = 0, eb = 0;
    const std::vector<double> a = MeanFree(part, ea), b = MeanFree(whole, eb);
    if (ea <= 0 || eb <= 0) return 0;
    const long n = long(a.size()), m = long(b.size());
    double best = 0;
    for (long lag = -(n - 1); lag < m; ++lag) {
        const long from = std::max(0L, -lag), to = std::min(n, m - lag);
        double sum = 0;
        for (long i = from; i < to; ++i)
            sum += a[size_t(i)] * b[size_t(i + lag)];
        if (sum > best) {
            best = sum;
            if (bestLag) *bestLag = lag;
        }
    }
    return best / std::sqrt(ea * eb);
}

} // namespace servertest
