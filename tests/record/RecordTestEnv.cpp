#include "RecordTestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace rectest {

namespace {

std::string DataDir() {
    if (const char* d = std::getenv("VOK_TEST_DATA"); d && *d) return d;
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string();
}

// Runs before main, so before anything starts the audio back end.
struct Setup {
    std::string dir;
    Setup() {
        char tmpl[] = "/tmp/vok-record-test-XXXXXX";
        if (char* d = mkdtemp(tmpl)) dir = d;
        setenv("ALSA_CONFIG_PATH",
               ("/usr/share/alsa/alsa.conf:" + DataDir() + "/alsa-test.conf").c_str(), 1);
        setenv("VOK_TEST_INFILE", (dir + "/in.raw").c_str(), 1);
        setenv("VOK_TEST_OUTFILE", (dir + "/out.raw").c_str(), 1);
        setenv("VOK_AUDIO_DEVICE", "vok_file", 1);
        std::ofstream(dir + "/in.raw", std::ios::binary).put(char(128));
    }
    ~Setup() {
        std::error_code ec;
        if (!dir.empty()) std::filesystem::remove_all(dir, ec);
    }
};
Setup g_setup;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

const std::string& TempDir() {
    return g_setup.dir;
}

std::string NewFolder(const std::string& name) {
    std::string p = g_setup.dir + "/" + name;
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
    std::filesystem::create_directories(p);
    return p;
}

std::string InFile() {
    return Env("VOK_TEST_INFILE");
}
std::string OutFile() {
    return Env("VOK_TEST_OUTFILE");
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::vector<uint8_t> BurstInput(double seconds, double fromSec, double toSec) {
    const long n = long(seconds * 11025);
    std::vector<uint8_t> v(size_t(n), 128);
    for (long i = long(fromSec * 11025); i < long(toSec * 11025) && i < n; ++i)
        v[size_t(i)] = uint8_t(i % 2 ? 228 : 28);
    return v;
}

uint8_t ChannelSample(const std::vector<uint8_t>& input, long k) {
    return input[size_t((k / 2204) * 2205 + k % 2204)];
}

std::vector<uint8_t> WavData(const std::string& path) {
    const std::vector<uint8_t> f = ReadBytes(path);
    if (f.size() < 12 || std::memcmp(f.data(), "RIFF", 4) != 0 ||
        std::memcmp(f.data() + 8, "WAVE", 4) != 0)
        return {};
    size_t p = 12;
    while (p + 8 <= f.size()) {
        const uint32_t len = uint32_t(f[p + 4]) | uint32_t(f[p + 5]) << 8 |
                             uint32_t(f[p + 6]) << 16 | uint32_t(f[p + 7]) << 24;
        if (std::memcmp(f.data() + p, "data", 4) == 0) {
            if (p + 8 + len > f.size()) return {};
            return std::vector<uint8_t>(f.begin() + long(p + 8), f.begin() + long(p + 8 + len));
        }
        p += 8 + len + (len & 1);
    }
    return {};
}

bool PumpUntil(const std::function<bool()>& done, int capMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > capMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

EnvGuard::EnvGuard(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_bHad = old != nullptr;
    if (old) m_old = old;
    setenv(name, value.c_str(), 1);
}

EnvGuard::~EnvGuard() {
    if (m_bHad)
        setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

} // namespace rectest
