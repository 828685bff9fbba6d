// The analysis the "Record Item" dialog runs after a recording (DC level, level
// channel, "Volume" curve, speech location) for record times of 2, 30 and
// 300 s at 8-bit 11025 Hz with the standard locator (second argument 0) and
// the refined one (1), and of 30 and 300 s at 16-bit 48000 Hz (14.4 M
// samples) with the standard one. Each iteration gets a fresh channel list;
// only AnalyseRecording is timed. BM_LocateSpeech times the locators alone on
// the "Volume" curve of a 300-s analysis. `bench_analysis --write-wav FILE
// SECONDS` writes the same signal as an 8-bit mono 11025 Hz WAV file instead;
// `--write-corpus DIR COUNT SECONDS [RATE BITS]` writes COUNT such files (or
// at that rate and sample size), DIR/item-0000.wav on, each with noise of its
// own.
#include "BenchSupport.h"
#include "capture/WavWriter.h"
#include "record/LocateSpeech.h"
#include "record/LocateSpeechRefined.h"
#include "record/RecordingAnalysis.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
void AnalyseAt(benchmark::State& state, long rate, int bits) {
    const long seconds = long(state.range(0));
    const int locator = int(state.range(1));
    const std::vector<uint8_t> samples = bench::MakeSignal(seconds, 12345, rate, bits);
    RECORDING_ANALYSIS result;
    for (auto _ : state) {
        state.PauseTiming();
        auto rec = std::make_unique<bench::Recording>(seconds, samples, rate, bits);
        state.ResumeTiming();
        AnalyseRecording(rec->list, 0, result, locator);
        state.PauseTiming();
        rec.reset();
        state.ResumeTiming();
    }
    state.counters["located"] = result.bLocated;
    state.counters["start_s"] = result.range.Lo;
    state.counters["end_s"] = result.range.Hi;
}

void BM_AnalyseRecording(benchmark::State& state) {
    AnalyseAt(state, bench::kRate, 8);
}
BENCHMARK(BM_AnalyseRecording)
    ->ArgsProduct({{2, 30, 300}, {LOCATOR_SPEC, LOCATOR_REFINED}})
    ->Unit(benchmark::kMillisecond);

// One locator on the "Volume" curve of a 300-s recording, made once; the
// refined one is told, as the analysis tells it, that all 300 s were recorded.
void BM_LocateSpeech(benchmark::State& state) {
    const long seconds = 300;
    const int locator = int(state.range(0));
    bench::Recording rec(seconds, bench::MakeSignal(seconds));
    RECORDING_ANALYSIS analysis;
    AnalyseRecording(rec.list, 0, analysis);
    SOFTCHAN& curve = *rec.list.GetChan(analysis.iVolumeChan);
    CRngFlt range;
    int located = 0;
    for (auto _ : state) {
        located = locator == LOCATOR_REFINED ? LocateSpeechRefined(curve, range, float(seconds))
                                             : LocateSpeech(curve, range);
        benchmark::DoNotOptimize(range);
    }
    state.counters["located"] = located;
    state.counters["start_s"] = range.Lo;
    state.counters["end_s"] = range.Hi;
}
BENCHMARK(BM_LocateSpeech)->Arg(LOCATOR_SPEC)->Arg(LOCATOR_REFINED)->Unit(benchmark::kMillisecond);

void BM_AnalyseRecording48k16(benchmark::State& state) {
    AnalyseAt(state, 48000, 16);
}
BENCHMARK(BM_AnalyseRecording48k16)
    ->ArgsProduct({{30, 300}, {LOCATOR_SPEC}})
    ->Unit(benchmark::kMillisecond);

int WriteWav(const std::string& path, long seconds, uint32_t seed = 12345, long rate = bench::kRate,
             int bits = 8) {
    const std::vector<uint8_t> samples = bench::MakeSignal(seconds, seed, rate, bits);
    WAVEFORMATEX fmt{};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = 1;
    fmt.nSamplesPerSec = uint32_t(rate);
    fmt.nAvgBytesPerSec = uint32_t(rate * bits / 8);
    fmt.nBlockAlign = uint16_t(bits / 8);
    fmt.wBitsPerSample = uint16_t(bits);
    WAVWriter w;
    if (w.Save(path.c_str(), &fmt, samples.data(), int(samples.size()))) return 0;
    std::fprintf(stderr, "bench_analysis: cannot write %s\n", path.c_str());
    return 1;
}

int WriteCorpus(const std::string& dir, long count, long seconds, long rate, int bits) {
    for (long k = 0; k < count; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "/item-%04ld.wav", k);
        if (WriteWav(dir + name, seconds, uint32_t(12345 + k), rate, bits)) return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-wav") == 0)
        return WriteWav(argv[2], std::atol(argv[3]));
    if ((argc == 5 || argc == 7) && std::strcmp(argv[1], "--write-corpus") == 0)
        return WriteCorpus(argv[2], std::atol(argv[3]), std::atol(argv[4]),
                           argc == 7 ? std::atol(argv[5]) : bench::kRate,
                           argc == 7 ? std::atoi(argv[6]) : 8);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
