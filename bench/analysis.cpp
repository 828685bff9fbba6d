// The analysis the "Record Item" dialog runs after a recording (DC level, level
// channel, "Volume" curve, speech location) for record times of 2, 30 and
// 300 s. Each iteration gets a fresh channel list; only AnalyseRecording is
// timed. `bench_analysis --write-wav FILE SECONDS` writes the same signal as
// an 8-bit mono 11025 Hz WAV file instead.
#include "BenchSupport.h"
#include "capture/WavWriter.h"
#include "record/RecordingAnalysis.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
void BM_AnalyseRecording(benchmark::State& state) {
    const long seconds = long(state.range(0));
    const std::vector<uint8_t> samples = bench::MakeSignal(seconds);
    RECORDING_ANALYSIS result;
    for (auto _ : state) {
        state.PauseTiming();
        auto rec = std::make_unique<bench::Recording>(seconds, samples);
        state.ResumeTiming();
        AnalyseRecording(rec->list, 0, result);
        state.PauseTiming();
        rec.reset();
        state.ResumeTiming();
    }
    state.counters["located"] = result.bLocated;
    state.counters["start_s"] = result.range.Lo;
    state.counters["end_s"] = result.range.Hi;
}
BENCHMARK(BM_AnalyseRecording)->Arg(2)->Arg(30)->Arg(300)->Unit(benchmark::kMillisecond);

int WriteWav(const char* path, long seconds) {
    const std::vector<uint8_t> samples = bench::MakeSignal(seconds);
    WAVEFORMATEX fmt{};
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = 1;
    fmt.nSamplesPerSec = bench::kRate;
    fmt.nAvgBytesPerSec = bench::kRate;
    fmt.nBlockAlign = 1;
    fmt.wBitsPerSample = 8;
    WAVWriter w;
    if (w.Save(path, &fmt, samples.data(), int(samples.size()))) return 0;
    std::fprintf(stderr, "bench_analysis: cannot write %s\n", path);
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-wav") == 0)
        return WriteWav(argv[2], std::atol(argv[3]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
