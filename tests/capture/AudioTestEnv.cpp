#include "AudioTestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace audiotest {

namespace {

std::string DataDir() {
    if (const char* d = std::getenv("VOK_TEST_DATA"); d && *d) return d;
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "data").string();
}

// Runs before main, so before anything starts the audio back end: the file
// devices replace any sound card, and the default device is the file pair.
struct Setup {
    std::string dir;
    Setup() {
        char tmpl[] = "/tmp/vok-audio-test-XXXXXX";
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

} // namespace

const std::string& TempDir() {
    return g_setup.dir;
}
std::string InFile() {
    return g_setup.dir + "/in.raw";
}
std::string OutFile() {
    return g_setup.dir + "/out.raw";
}

std::vector<uint8_t> Pattern(size_t n, unsigned seed) {
    std::vector<uint8_t> v(n);
    uint32_t x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        v[i] = uint8_t(x >> 24);
    }
    return v;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
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

size_t MessageLog::Count(unsigned msg) const {
    size_t n = 0;
    for (const Msg& m : msgs)
        n += m.msg == msg;
    return n;
}

intptr_t MessageLog::OnMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
    msgs.push_back({msg, wParam, lParam});
    if (onMessage) onMessage(msgs.back());
    return 0;
}

} // namespace audiotest
