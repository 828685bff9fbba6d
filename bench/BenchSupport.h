// Shared pieces of the benchmark programs: a deterministic recording-like
// signal, the channel list the "Record Item" dialog builds for it, and the Qt
// environment for the drawing benchmarks.
#pragma once
#include "channels/SoftChanWave8.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace bench {
constexpr long kRate = 11025;
constexpr int kBufferBytes = 2205; // one 0.2-s capture buffer

// `seconds` of 8-bit samples: room noise of about +-2 counts around a DC level
// of 130, and one spoken-like word (two syllables of a 180 Hz voice, 1.3 s, or
// 40 % of a shorter recording) starting at 40 % of the recording. seed varies
// the noise.
inline std::vector<uint8_t> MakeSignal(long seconds, uint32_t seed = 12345) {
    const long n = seconds * kRate;
    const double t0 = 0.4 * double(seconds), len = std::min(1.3, 0.4 * double(seconds));
    std::vector<uint8_t> s(static_cast<size_t>(n));
    uint32_t noise = seed;
    for (long i = 0; i < n; ++i) {
        const double t = double(i) / double(kRate);
        noise = noise * 1103515245u + 12345u;
        double a = 2.0 * 2.0 * double((noise >> 16) % 100) / 100.0 - 2.0;
        if (t > t0 && t < t0 + len)
            a += 70.0 * std::sin(M_PI * (t - t0) / len) * (0.6 + 0.4 * std::sin(6.0 * t)) *
                 std::sin(2.0 * M_PI * 180.0 * t);
        s[size_t(i)] = uint8_t(std::lround(std::clamp(130.0 + a, 0.0, 255.0)));
    }
    return s;
}

// The dialog's channel list after a recording of `seconds`: channel 0 a wave
// channel of that record time filled buffer by buffer until it reports full.
struct Recording {
    SOFTCHANNELS list;
    SOFTCHAN_WAVE8* wave;
    Recording(long seconds, const std::vector<uint8_t>& samples) {
        const ADCHANINFO info = RecordingChannelInfo();
        wave =
            new SOFTCHAN_WAVE8(list.GetFreeChan(-1), seconds * kRate, float(1.0L / kRate), &info);
        list.AddChan(wave);
        for (size_t pos = 0; pos < samples.size(); pos += kBufferBytes) {
            const size_t n = std::min(samples.size() - pos, size_t(kBufferBytes));
            if (wave->InsertValues(int(n), samples.data() + pos)) break;
        }
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
} // namespace bench
