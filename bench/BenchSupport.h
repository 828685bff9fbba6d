// Shared pieces of the benchmark programs: a deterministic recording-like
// signal, the channel list the "Record Item" dialog builds for it, and the Qt
// environment for the drawing benchmarks.
#pragma once
#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include "platform/Application.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <QByteArray>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace bench {
constexpr long kRate = 11025;
constexpr int kBufferBytes = 2205; // one 0.2-s capture buffer

// Bytes of one 0.2-s capture buffer at a format, as the capture engine sizes it.
constexpr int BufferBytes(long rate, int bits) {
    return bits / 8 * int(rate * 2 / 10);
}

// `seconds` of samples at rate: room noise of about +-2 counts of 8 bits around
// a DC level of 130, and one spoken-like word (two syllables of a 180 Hz voice,
// 1.3 s, or 40 % of a shorter recording) starting at 40 % of the recording.
// seed varies the noise. 8 bits: unsigned bytes; 16 bits: the same sound as
// signed little-endian samples (256 times the counts around 128).
inline std::vector<uint8_t> MakeSignal(long seconds, uint32_t seed = 12345, long rate = kRate,
                                       int bits = 8) {
    const long n = seconds * rate;
    const double t0 = 0.4 * double(seconds), len = std::min(1.3, 0.4 * double(seconds));
    std::vector<uint8_t> s;
    s.reserve(static_cast<size_t>(n * bits / 8));
    uint32_t noise = seed;
    for (long i = 0; i < n; ++i) {
        const double t = double(i) / double(rate);
        noise = noise * 1103515245u + 12345u;
        double a = 2.0 * 2.0 * double((noise >> 16) % 100) / 100.0 - 2.0;
        if (t > t0 && t < t0 + len)
            a += 70.0 * std::sin(M_PI * (t - t0) / len) * (0.6 + 0.4 * std::sin(6.0 * t)) *
                 std::sin(2.0 * M_PI * 180.0 * t);
        if (bits == 8) {
            s.push_back(uint8_t(std::lround(std::clamp(130.0 + a, 0.0, 255.0))));
        } else {
            const auto v =
                uint16_t(int16_t(std::lround(std::clamp(256.0 * (2.0 + a), -32768.0, 32767.0))));
            s.push_back(uint8_t(v));
            s.push_back(uint8_t(v >> 8));
        }
    }
    return s;
}

// The dialog's channel list after a recording of `seconds` at a format:
// channel 0 a wave channel of that record time filled buffer by buffer until
// it reports full.
struct Recording {
    SOFTCHANNELS list;
    ADCHANINFO info;
    SOFTCHAN_WAVE* wave;
    Recording(long seconds, const std::vector<uint8_t>& samples, long rate = kRate, int bits = 8)
        : info(RecordingChannelInfo(bits)) {
        const int chan = list.GetFreeChan(-1);
        const float dt = float(1.0L / rate);
        if (bits == 16)
            wave = new SOFTCHAN_WAVE16(chan, seconds * rate, dt, &info);
        else
            wave = new SOFTCHAN_WAVE8(chan, seconds * rate, dt, &info);
        list.AddChan(wave);
        const size_t buffer = size_t(BufferBytes(rate, bits));
        for (size_t pos = 0; pos < samples.size(); pos += buffer) {
            const size_t n = std::min(samples.size() - pos, buffer);
            if (wave->InsertValues(int(n), samples.data() + pos)) break;
        }
    }
    // The 8-bit channel (null at 16 bits).
    SOFTCHAN_WAVE8* Wave8() const {
        return wave->BytesPerSample() == 1 ? static_cast<SOFTCHAN_WAVE8*>(wave) : nullptr;
    }
};

// Offscreen drawing and a private runtime folder, unless the caller set them.
inline void SetQtEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/vok-bench-runtime-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        chmod(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir.c_str());
    }
}

// The main of a benchmark program that opens windows: the GUI application
// (offscreen unless the caller chose a platform), then the benchmarks.
inline int RunWithWindows(int argc, char** argv) {
    SetQtEnvironment();
    CWinApp app("vokdll-bench");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
} // namespace bench
