// Per-buffer cost of a recording: appending one 2205-byte capture buffer
// (0.2 s at 11025 bytes/s) to a 300-s wave channel, and the whole path a
// buffer takes once the device has delivered it: the copy made before the
// buffer goes back to the device, the recorder appending it and posting the
// progress message, and that message reaching the owner window; both also at
// 16-bit 48000 Hz (19200-byte buffers, 96000 bytes/s). bench/run turns the
// time per buffer, 0.2 s of sound at either format, into a share of one core.
#include "BenchSupport.h"
#include "capture/RecorderButtons.h"
#include "platform/Wnd.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace {
constexpr long kSeconds = 300;

void SetBytes(benchmark::State& state, int bufferBytes) {
    state.SetBytesProcessed(int64_t(state.iterations()) * bufferBytes);
}

// A full channel made empty for the next recording: the 8-bit one in place,
// a 16-bit one anew (outside the timing).
void Empty(benchmark::State& state, std::unique_ptr<bench::Recording>& rec, long rate, int bits) {
    if (SOFTCHAN_WAVE8* w = rec->Wave8()) {
        w->InsertValues16(0, 0, nullptr);
        return;
    }
    state.PauseTiming();
    rec.reset();
    rec = std::make_unique<bench::Recording>(kSeconds, std::vector<uint8_t>{}, rate, bits);
    state.ResumeTiming();
}

void InsertValuesAt(benchmark::State& state, long rate, int bits) {
    const int buffer = bench::BufferBytes(rate, bits);
    const std::vector<uint8_t> samples = bench::MakeSignal(kSeconds, 12345, rate, bits);
    auto rec = std::make_unique<bench::Recording>(kSeconds, std::vector<uint8_t>{}, rate, bits);
    size_t pos = 0;
    for (auto _ : state) {
        if (rec->wave->InsertValues(buffer, samples.data() + pos)) {
            Empty(state, rec, rate, bits); // next buffer at the start
            pos = 0;
        } else {
            pos = (pos + size_t(buffer)) % (samples.size() - size_t(buffer));
        }
    }
    SetBytes(state, buffer);
}

void BM_InsertValues(benchmark::State& state) {
    InsertValuesAt(state, bench::kRate, 8);
}
BENCHMARK(BM_InsertValues);

void BM_InsertValues48k16(benchmark::State& state) {
    InsertValuesAt(state, 48000, 16);
}
BENCHMARK(BM_InsertValues48k16);

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

void BufferPathAt(benchmark::State& state, long rate, int bits) {
    const int buffer = bench::BufferBytes(rate, bits);
    const std::vector<uint8_t> samples = bench::MakeSignal(kSeconds, 12345, rate, bits);
    auto rec = std::make_unique<bench::Recording>(kSeconds, std::vector<uint8_t>{}, rate, bits);
    Owner owner;
    owner.CreateHidden();
    Recorder recorder;
    recorder.nMsg = 0x0401; // a private message number; no device is opened
    recorder.pOwnerWnd = CNotifyWnd(&owner);
    recorder.SetSoftChan(rec->wave);
    std::vector<char> copy(static_cast<size_t>(buffer));
    WAVEHDR hdr{};
    size_t pos = 0;
    for (auto _ : state) {
        std::memcpy(copy.data(), samples.data() + pos, size_t(buffer));
        hdr.lpData = copy.data();
        hdr.dwBufferLength = hdr.dwBytesRecorded = DWORD(buffer);
        recorder.ProcessData(&hdr);
        QCoreApplication::sendPostedEvents();
        if (owner.nFull) { // the next recording
            Empty(state, rec, rate, bits);
            recorder.SetSoftChan(rec->wave);
            owner.nFull = 0;
        }
        pos = (pos + size_t(buffer)) % (samples.size() - size_t(buffer));
    }
    SetBytes(state, buffer);
}

void BM_BufferPath(benchmark::State& state) {
    BufferPathAt(state, bench::kRate, 8);
}
BENCHMARK(BM_BufferPath);

void BM_BufferPath48k16(benchmark::State& state) {
    BufferPathAt(state, 48000, 16);
}
BENCHMARK(BM_BufferPath48k16);
} // namespace

int main(int argc, char** argv) {
    return bench::RunWithWindows(argc, argv);
}
