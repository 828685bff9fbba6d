// `vokrec analyse FILE.wav [--seconds N]`: feeds a WAV file to a wave channel
// buffer by buffer, as a recording would arrive from the sound card, runs the
// analysis the "Record Item" dialog runs after a recording and prints the
// result as one JSON object.
#include "Analyse.h"

#include "capture/WavReader.h"
#include "channels/SoftChanWave8.h"
#include "record/DlgRecord.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {
constexpr uint32_t kRate = 11025;
constexpr int kBufferBytes = 2205; // 0.2 s of 8-bit mono at 11025 Hz, one capture buffer
constexpr long kMaxSeconds = 3600;

const char* kHelp = "usage: vokrec analyse FILE.wav [--seconds N]\n"
                    "Loads an 8-bit mono 11025 Hz PCM WAV file into a recording of N seconds\n"
                    "(default: the shortest record time of the \"Record Item\" dialog that holds\n"
                    "the file; a longer file is cut where that recording would have stopped),\n"
                    "removes its DC level, derives the \"Volume\" curve, locates the speech and\n"
                    "prints one JSON object:\n"
                    "  offset        DC level removed, in counts\n"
                    "  points        points of the \"Volume\" curve (one per 0.01 s)\n"
                    "  start, end    marker times in seconds\n"
                    "  located       true when speech was found (else the default markers)\n"
                    "  start_sample, end_sample   first and last sample a save would write\n"
                    "  seconds       the record time used\n"
                    "Exit status: 0 on success, 2 on a bad file or bad arguments.\n";

int Fail(const std::string& what) {
    std::fprintf(stderr, "vokrec analyse: %s\n", what.c_str());
    return 2;
}

// A JSON number for a float (shortest form that reads back the same); null for
// values that JSON cannot hold.
std::string Num(float v) {
    if (!std::isfinite(v)) return "null";
    if (v == 0.0f) v = 0.0f; // no "-0"
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

bool ParseSeconds(const char* text, long& seconds) {
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, seconds);
    return r.ec == std::errc() && r.ptr == end && seconds >= 1 && seconds <= kMaxSeconds;
}

constexpr int kTimeCount = int(sizeof DlgRecord::iTimes / sizeof DlgRecord::iTimes[0]);

// The shortest record time of the dialog that holds bytes samples; the longest one
// when none does.
long DefaultSeconds(uint32_t bytes) {
    const double seconds = double(bytes) / double(kRate);
    const int count = kTimeCount;
    for (int i = 0; i < count; ++i)
        if (double(DlgRecord::iTimes[i]) >= seconds) return DlgRecord::iTimes[i];
    return DlgRecord::iTimes[count - 1];
}

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
} // namespace

int RunAnalyse(int argc, char** argv) {
    std::string path;
    long seconds = 0;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == "--seconds" || a.rfind("--seconds=", 0) == 0) {
            const char* v = nullptr;
            if (a == "--seconds") {
                if (i + 1 >= argc) return Fail("--seconds needs a value");
                v = argv[++i];
            } else {
                v = argv[i] + std::strlen("--seconds=");
            }
            if (!ParseSeconds(v, seconds))
                return Fail("--seconds needs a whole number of seconds from 1 to " +
                            std::to_string(kMaxSeconds) + ", not '" + v + "'");
        } else if (a.size() > 1 && a[0] == '-') {
            return Fail("unknown option '" + a + "'");
        } else if (path.empty()) {
            path = a;
        } else {
            return Fail("only one FILE.wav may be given");
        }
    }
    if (path.empty()) return Fail("no FILE.wav given (see --help)");

    // No more than the longest possible recording plus one buffer is ever used.
    const long maxSeconds = seconds > 0 ? seconds : DlgRecord::iTimes[kTimeCount - 1];
    WAVReader wav;
    if (!wav.Load(path, uint32_t(maxSeconds) * kRate + 2 * kBufferBytes))
        return Fail(path + ": " + wav.Error());
    const std::string problem = FormatProblem(wav);
    if (!problem.empty()) return Fail(path + ": " + problem);
    if (seconds == 0) seconds = DefaultSeconds(wav.nDataBytes);

    // The channel the dialog builds for a recording of that many seconds.
    ADCHANINFO info = RecordingChannelInfo();
    SOFTCHANNELS channels;
    const int waveChan = channels.GetFreeChan(-1);
    auto* wave = new SOFTCHAN_WAVE8(waveChan, seconds * long(kRate), float(1.0L / kRate), &info);
    channels.AddChan(wave);
    if (!wave->HasSamples()) return Fail(path + ": no memory for a recording of that length");

    // Buffer by buffer until the channel reports full, as the recorder appends;
    // the last, shorter buffer is what a stop returns of a half-filled one.
    const size_t total = wav.data.size();
    for (size_t pos = 0; pos < total; pos += kBufferBytes) {
        const size_t n = total - pos < size_t(kBufferBytes) ? total - pos : size_t(kBufferBytes);
        if (wave->InsertValues(int(n), wav.data.data() + pos)) break;
    }

    RECORDING_ANALYSIS result;
    if (!AnalyseRecording(channels, waveChan, result)) return Fail(path + ": analysis failed");

    // The samples a save writes for these markers.
    CRngFlt r = result.range;
    r.Order();
    const long n = wave->RtnNel();
    long s = wave->IndexOfTime(r.Lo), e = wave->IndexOfTime(r.Hi);
    s = s < 0 ? 0 : (s > n - 1 ? n - 1 : s);
    e = e < 0 ? 0 : (e > n - 1 ? n - 1 : e);

    std::printf("{\"file\":%s,\"seconds\":%ld,\"offset\":%s,\"points\":%ld,\"start\":%s,"
                "\"end\":%s,\"located\":%s,\"start_sample\":%ld,\"end_sample\":%ld}\n",
                Quoted(path).c_str(), seconds, Num(result.fOffset).c_str(), result.nPoints,
                Num(result.range.Lo).c_str(), Num(result.range.Hi).c_str(),
                result.bLocated ? "true" : "false", s, e);
    return 0;
}
