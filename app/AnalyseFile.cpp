#include "AnalyseFile.h"

#include "capture/CaptureTypes.h"
#include "capture/WavReader.h"
#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include "record/RecordTimes.h"
#include "record/SoftChannels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {
// The wave format problem of r, empty when it is one the dialog records in:
// mono PCM, 8 or 16 bits, at a rate of the capture engine's table.
std::string FormatProblem(const WAVReader& r) {
    tagWAVERATE rate;
    tagSAMPLESIZE size;
    if (!r.IsPcm()) return "not PCM (format code " + std::to_string(r.wFormatTag) + ")";
    if (r.nChannels != 1) return "not mono (" + std::to_string(r.nChannels) + " channels)";
    if (!SizeChoice(r.wBitsPerSample, size))
        return "not 8- or 16-bit (" + std::to_string(r.wBitsPerSample) + " bits per sample)";
    if (!RateChoice(r.nSamplesPerSec, rate))
        return "not 8000, 11025, 22050, 44100 or 48000 Hz (" + std::to_string(r.nSamplesPerSec) +
               " Hz)";
    return {};
}

// Counts either side of the midpoint at a sample size: 128 for 8 bits, 32768 for 16.
double FullScale(int bytes) {
    return bytes == 2 ? 32768.0 : 128.0;
}

double Dbfs(double counts, int bytes) {
    return counts > 0.0 ? 20.0 * std::log10(counts / FullScale(bytes)) : NAN;
}

// Peak and clipped samples of 8-bit (silence 128) or 16-bit (silence 0)
// samples: plain loops, which the compiler turns into vector code.
template <typename T> void MeasureSamples(const T* s, size_t n, ANALYSE_RESULT& r) {
    constexpr T kLow = std::numeric_limits<T>::min(), kHigh = std::numeric_limits<T>::max();
    constexpr int kSilence = sizeof(T) == 1 ? 128 : 0;
    T lo = T(kSilence), hi = T(kSilence);
    long ends = 0;
    for (size_t i = 0; i < n; ++i) {
        lo = std::min(lo, s[i]);
        hi = std::max(hi, s[i]);
        ends += (s[i] == kLow) + (s[i] == kHigh);
    }
    r.peakDbfs = Dbfs(std::max(kSilence - int(lo), int(hi) - kSilence), int(sizeof(T)));
    r.clipped = ends;
}

// Peak and clipped samples of the file's whole samples as read.
void MeasureFile(const std::vector<uint8_t>& data, int bytes, ANALYSE_RESULT& r) {
    if (bytes == 1) return MeasureSamples(data.data(), data.size(), r);
    std::vector<int16_t> s(data.size() / 2);
    if (!s.empty()) std::memcpy(s.data(), data.data(), s.size() * 2); // little-endian host
    MeasureSamples(s.data(), s.size(), r);
}

// RMS of samples a ... b of w without its DC level, in dB against full scale:
// sums of the samples and their squares in integers, the DC level taken out
// after (sum (x - d)^2 = sum x^2 - 2 d sum x + n d^2).
double RmsDbfs(SOFTCHAN_WAVE& w, long a, long b) {
    int64_t sum = 0, squares = 0;
    auto* w8 = w.BytesPerSample() == 1 ? static_cast<SOFTCHAN_WAVE8*>(&w) : nullptr;
    const int16_t* s16 = w8 ? nullptr : static_cast<SOFTCHAN_WAVE16&>(w).Samples();
    for (long i = a; i <= b; ++i) {
        const int64_t x = (w8 ? w8->RawAt(i) : s16[i]) - w.info.nZero;
        sum += x;
        squares += x * x;
    }
    const double n = double(b - a + 1), d = double(w.info.fOffset / w.info.fResolution);
    const double mean = std::max(0.0, (double(squares) - 2.0 * d * double(sum)) / n + d * d);
    return Dbfs(std::sqrt(mean), w.BytesPerSample());
}

constexpr unsigned kMaxRate = 48000;

// 0.2 s of sound, one capture buffer as the capture engine sizes it.
uint32_t BufferBytes(unsigned rate, int bytes) {
    return uint32_t(bytes) * ((rate * 2u) / 10u);
}

// The bytes a recording of seconds holds, and two buffers more.
uint32_t MaxDataBytes(long seconds, unsigned rate, int bytes) {
    return uint32_t(seconds) * rate * uint32_t(bytes) + 2 * BufferBytes(rate, bytes);
}

// The wave channel the dialog builds for a recording of seconds at the file's
// format, added to channels; null when its samples could not be allocated.
SOFTCHAN_WAVE* NewWaveChan(SOFTCHANNELS& channels, const ADCHANINFO& info, long seconds,
                           unsigned rate, int bytes) {
    const int chan = channels.GetFreeChan(-1);
    const long n = seconds * long(rate);
    const float dt = float(1.0L / rate);
    SOFTCHAN_WAVE* w = bytes == 2
                           ? static_cast<SOFTCHAN_WAVE*>(new SOFTCHAN_WAVE16(chan, n, dt, &info))
                           : new SOFTCHAN_WAVE8(chan, n, dt, &info);
    channels.AddChan(w);
    return w->HasSamples() ? w : nullptr;
}
} // namespace

ANALYSE_RESULT AnalyseFile(const std::string& path, const ANALYSE_ARGS& args) {
    ANALYSE_RESULT r;
    // No more than the longest possible recording plus one buffer is used: read
    // up to that at the largest format, cut to it at the file's own below.
    const long maxSeconds = args.seconds > 0 ? args.seconds : kRecordTimes[kRecordTimeCount - 1];
    WAVReader wav;
    if (!wav.Load(path, MaxDataBytes(maxSeconds, kMaxRate, 2))) {
        r.error = wav.Error();
        return r;
    }
    r.error = FormatProblem(wav);
    if (!r.error.empty()) return r;
    const unsigned rate = wav.nSamplesPerSec;
    const int bytes = wav.wBitsPerSample / 8;
    r.rate = long(rate);
    r.bits = wav.wBitsPerSample;
    wav.data.resize(std::min(wav.data.size(), size_t(MaxDataBytes(maxSeconds, rate, bytes))));
    const uint32_t bufferBytes = BufferBytes(rate, bytes);
    r.duration = double(wav.nDataBytes / uint32_t(bytes)) / rate;
    r.seconds = args.seconds > 0 ? args.seconds : kRecordTimes[RecordTimeIndexFor(r.duration)];
    MeasureFile(wav.data, bytes, r);

    const ADCHANINFO info = RecordingChannelInfo(wav.wBitsPerSample);
    SOFTCHANNELS channels;
    SOFTCHAN_WAVE* wave = NewWaveChan(channels, info, r.seconds, rate, bytes);
    if (!wave) {
        r.error = "no memory for a recording of that length";
        return r;
    }
    const int waveChan = wave->nChan;

    // Buffer by buffer until the channel reports full, as the recorder appends;
    // the last, shorter buffer is what a stop returns of a half-filled one.
    const size_t total = wav.data.size();
    for (size_t pos = 0; pos < total; pos += bufferBytes) {
        const size_t n = std::min(total - pos, size_t(bufferBytes));
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
