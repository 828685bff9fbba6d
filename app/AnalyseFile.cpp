#include "AnalyseFile.h"

#include "capture/WavReader.h"
#include "channels/SoftChanWave8.h"
#include "record/RecordTimes.h"
#include "record/SoftChannels.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr uint32_t kRate = 11025;
constexpr int kBufferBytes = 2205;   // 0.2 s of 8-bit mono at 11025 Hz, one capture buffer
constexpr double kFullScale = 128.0; // an 8-bit sample spans 128 counts either side of 128

// The wave format problem of r, empty when it is the dialog's record format.
std::string FormatProblem(const WAVReader& r) {
    if (!r.IsPcm()) return "not PCM (format code " + std::to_string(r.wFormatTag) + ")";
    if (r.nChannels != 1) return "not mono (" + std::to_string(r.nChannels) + " channels)";
    if (r.wBitsPerSample != 8)
        return "not 8-bit (" + std::to_string(r.wBitsPerSample) + " bits per sample)";
    if (r.nSamplesPerSec != kRate)
        return "not 11025 Hz (" + std::to_string(r.nSamplesPerSec) + " Hz)";
    return {};
}

double Dbfs(double counts) {
    return counts > 0.0 ? 20.0 * std::log10(counts / kFullScale) : NAN;
}

// Peak and clipped samples of the file's samples as read (plain loops over
// bytes and integers, which the compiler turns into vector code).
void MeasureFile(const std::vector<uint8_t>& data, ANALYSE_RESULT& r) {
    uint8_t lo = 128, hi = 128;
    long ends = 0;
    for (uint8_t s : data) {
        lo = std::min(lo, s);
        hi = std::max(hi, s);
        ends += (s == 0) + (s == 255);
    }
    r.peakDbfs = Dbfs(std::max(128 - int(lo), int(hi) - 128));
    r.clipped = ends;
}

// RMS of samples a ... b of w without its DC level, in dB against full scale:
// sums of the samples and their squares in integers, the DC level taken out
// after (sum (x - d)^2 = sum x^2 - 2 d sum x + n d^2).
double RmsDbfs(const SOFTCHAN_WAVE8& w, long a, long b) {
    int64_t sum = 0, squares = 0;
    for (long i = a; i <= b; ++i) {
        const int64_t x = w.RawAt(i) - w.info.nZero;
        sum += x;
        squares += x * x;
    }
    const double n = double(b - a + 1), d = double(w.info.fOffset / w.info.fResolution);
    const double mean = std::max(0.0, (double(squares) - 2.0 * d * double(sum)) / n + d * d);
    return Dbfs(std::sqrt(mean));
}
} // namespace

ANALYSE_RESULT AnalyseFile(const std::string& path, const ANALYSE_ARGS& args) {
    ANALYSE_RESULT r;
    // No more than the longest possible recording plus one buffer is ever read.
    const long maxSeconds = args.seconds > 0 ? args.seconds : kRecordTimes[kRecordTimeCount - 1];
    WAVReader wav;
    if (!wav.Load(path, uint32_t(maxSeconds) * kRate + 2 * kBufferBytes)) {
        r.error = wav.Error();
        return r;
    }
    r.error = FormatProblem(wav);
    if (!r.error.empty()) return r;
    r.seconds = args.seconds > 0 ? args.seconds
                                 : kRecordTimes[RecordTimeIndexFor(double(wav.nDataBytes) / kRate)];
    r.duration = double(wav.nDataBytes) / kRate;
    MeasureFile(wav.data, r);

    // The channel the dialog builds for a recording of that many seconds.
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHANNELS channels;
    const int waveChan = channels.GetFreeChan(-1);
    auto* wave = new SOFTCHAN_WAVE8(waveChan, r.seconds * long(kRate), float(1.0L / kRate), &info);
    channels.AddChan(wave);
    if (!wave->HasSamples()) {
        r.error = "no memory for a recording of that length";
        return r;
    }

    // Buffer by buffer until the channel reports full, as the recorder appends;
    // the last, shorter buffer is what a stop returns of a half-filled one.
    const size_t total = wav.data.size();
    for (size_t pos = 0; pos < total; pos += kBufferBytes) {
        const size_t n = std::min(total - pos, size_t(kBufferBytes));
        if (wave->InsertValues(int(n), wav.data.data() + pos)) break;
    }
    if (!AnalyseRecording(channels, waveChan, r.analysis, args.locator)) {
        r.error = "analysis failed";
        return r;
    }

    // The samples a save writes for these markers.
    CRngFlt range = r.analysis.range;
    range.Order();
    const long n = wave->RtnNel();
    r.startSample = std::clamp(wave->IndexOfTime(range.Lo), 0L, n - 1);
    r.endSample = std::clamp(wave->IndexOfTime(range.Hi), 0L, n - 1);
    if (r.analysis.bLocated) r.rmsDbfs = RmsDbfs(*wave, r.startSample, r.endSample);
    return r;
}
