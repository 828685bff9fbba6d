// Per-buffer cost of a recording: appending one 2205-byte capture buffer
// (0.2 s at 11025 bytes/s) to a 300-s wave channel, and the whole path a
// buffer takes once the device has delivered it: the copy made before the
// buffer goes back to the device, the recorder appending it and posting the
// progress message, and that message reaching the owner window. bench/run
// turns the time per buffer into a share of one core at 11025 bytes/s.
#include "BenchSupport.h"
#include "capture/RecorderButtons.h"
#include "platform/Wnd.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {
constexpr long kSeconds = 300;

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * bench::kBufferBytes);
}

void BM_InsertValues(benchmark::State& state) {
    const std::vector<uint8_t> samples = bench::MakeSignal(kSeconds);
    bench::Recording rec(kSeconds, {});
    size_t pos = 0;
    for (auto _ : state) {
        if (rec.wave->InsertValues(bench::kBufferBytes, samples.data() + pos)) {
            rec.wave->InsertValues16(0, 0, nullptr); // empty again: next buffer at the start
            pos = 0;
        } else {
            pos = (pos + bench::kBufferBytes) % (samples.size() - bench::kBufferBytes);
        }
    }
    SetBytes(state);
}
BENCHMARK(BM_InsertValues);

// The recorder with its buffer handler reachable, as the device calls it.
struct Recorder : RecorderButtons {
    using RecorderButtons::ProcessData;
};

// What the dialog does with the progress message: stops on a full channel.
struct Owner : CWnd {
    long nFull = 0;
    intptr_t OnMessage(unsigned, uintptr_t, intptr_t lParam) override {
        if (lParam == 1) ++nFull;
        return lParam;
    }
};

void BM_BufferPath(benchmark::State& state) {
    const std::vector<uint8_t> samples = bench::MakeSignal(kSeconds);
    bench::Recording rec(kSeconds, {});
    Owner owner;
    owner.CreateHidden();
    Recorder recorder;
    recorder.nMsg = 0x0401; // a private message number; no device is opened
    recorder.pOwnerWnd = CNotifyWnd(&owner);
    recorder.SetSoftChan(rec.wave);
    std::vector<char> copy(bench::kBufferBytes);
    WAVEHDR hdr{};
    size_t pos = 0;
    for (auto _ : state) {
        std::memcpy(copy.data(), samples.data() + pos, bench::kBufferBytes);
        hdr.lpData = copy.data();
        hdr.dwBufferLength = hdr.dwBytesRecorded = bench::kBufferBytes;
        recorder.ProcessData(&hdr);
        QCoreApplication::sendPostedEvents();
        if (owner.nFull) { // the next recording
            rec.wave->InsertValues16(0, 0, nullptr);
            owner.nFull = 0;
        }
        pos = (pos + bench::kBufferBytes) % (samples.size() - bench::kBufferBytes);
    }
    SetBytes(state);
}
BENCHMARK(BM_BufferPath);
} // namespace

int main(int argc, char** argv) {
    bench::SetQtEnvironment();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
