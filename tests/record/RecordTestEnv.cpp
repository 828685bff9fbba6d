#include "RecordTestEnv.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

// The audio tests' environment, built into this program as well.
#include "capture/AudioTestEnv.cpp"

namespace rectest {

std::string NewFolder(const std::string& name) {
    std::string p = TempDir() + "/" + name;
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
    std::filesystem::create_directories(p);
    return p;
}

std::vector<uint8_t> BurstInput(double seconds, double fromSec, double toSec) {
    const long n = long(seconds * 11025);
    std::vector<uint8_t> v(size_t(n), 128);
    for (long i = long(fromSec * 11025); i < long(toSec * 11025) && i < n; ++i)
        v[size_t(i)] = uint8_t(i % 2 ? 228 : 28);
    return v;
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

void PumpFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

VokrecRun RunVokrec(const std::string& args, const std::string& env) {
    const char* exe = std::getenv("VOKREC");
    const std::string out = TempDir() + "/vokrec.out", err = TempDir() + "/vokrec.err";
    const std::string cmd = env + " " + Quote(exe && *exe ? exe : VOK_TEST_VOKREC) + " " + args +
                            " >" + Quote(out) + " 2>" + Quote(err);
    const int rc = std::system(cmd.c_str());
    VokrecRun r;
    r.status = rc != -1 && WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    const std::vector<uint8_t> o = ReadBytes(out), e = ReadBytes(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    return r;
}

} // namespace rectest
