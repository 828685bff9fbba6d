// Per-buffer cost of the level meter while recording: measuring one capture
// buffer (0.2 s: 2204 8-bit samples at 11025 Hz, 9600 16-bit samples at
// 48000 Hz), and the whole meter path the dialog runs per buffer on the GUI
// thread: measuring it and repainting the meter window. The share of a core
// is the time per buffer over the buffer's 0.2 s.
#include "BenchSupport.h"
#include "graph/LevelMeterWnd.h"
#include "record/LevelMeter.h"

#include <benchmark/benchmark.h>

namespace {
constexpr size_t k8BitSamples = 2204, k16BitSamples = 9600;

void BM_LevelFeed(benchmark::State& state) {
    const int bits = int(state.range(0));
    const size_t n = bits == 8 ? k8BitSamples : k16BitSamples;
    const std::vector<uint8_t> signal = bench::MakeSignal(2);
    std::vector<uint8_t> buffer(n * size_t(bits / 8));
    for (size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = signal[i % signal.size()];
    LEVEL_METER meter;
    meter.Start(bits == 8 ? 11025 : 48000, bits);
    for (auto _ : state) {
        meter.Feed(buffer.data(), n);
        benchmark::DoNotOptimize(meter.Last());
    }
}
BENCHMARK(BM_LevelFeed)->Arg(8)->Arg(16);

void BM_MeterPath(benchmark::State& state) {
    const std::vector<uint8_t> signal = bench::MakeSignal(2);
    // Deletes itself when destroyed.
    auto* wnd = new CLevelMeterWnd;
    if (!wnd->Create({0, 0, 80, 70}, static_cast<CDialog*>(nullptr), 1)) return;
    LEVEL_METER meter;
    meter.Start(11025, 8);
    size_t pos = 0;
    for (auto _ : state) {
        meter.Feed(signal.data() + pos, k8BitSamples);
        wnd->SetLevel(meter.Last().fPeakDb, meter.Last().fRmsDb, meter.HoldDb());
        wnd->UpdateWindow();
        pos = (pos + k8BitSamples) % (signal.size() - k8BitSamples);
    }
    wnd->DestroyWindow();
}
BENCHMARK(BM_MeterPath);
} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWindows(argc, argv);
}
