#include "platform/WaveIn.h"
#include "platform/AudioSystem.h"
#include "platform/WaveHandles.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <cstring>
#include <portaudio.h>
#include <vector>

namespace {

// Frames read from the device per call: short enough that a stop waits at
// most a few tens of milliseconds for the reading thread.
constexpr unsigned long kChunkFrames = 512;
// The device buffers at least this long while no buffer is queued.
constexpr double kMinLatency = 0.2;

// One open capture device: the worker fills the queued headers in order and
// announces each filled one to the callback window.
class WaveInDevice : public AudioDevice {
  public:
    static constexpr bool kInput = true;
    WaveInDevice() : AudioDevice(kInput) {}
    MMRESULT Open(unsigned int id, const WAVEFORMATEX* pwfx, CWnd* wnd, DWORD flags) {
        pWnd = (flags & 0x70000) == CALLBACK_WINDOW ? wnd : nullptr;
        return OpenStream(id, pwfx, flags, CALLBACK_WINDOW, kMinLatency);
    }
    MMRESULT Start();
    MMRESULT Stop();
    MMRESULT Reset();

    HWAVEIN handle = nullptr;

  private:
    void Run() override;
    // Marks the header done and announces it; called with the lock held.
    void Done(WAVEHDR* h) {
        MarkDone(h);
        if (pWnd && !closing)
            pWnd->PostMessage(MM_WIM_DATA, reinterpret_cast<uintptr_t>(handle),
                              reinterpret_cast<intptr_t>(h));
    }
    // Stops the PortAudio stream once the worker is outside it (lock held).
    void Halt(std::unique_lock<std::mutex>& lk) {
        running = false;
        ++generation;
        if (started && WaitOutside(lk)) {
            Pa_AbortStream(stream);
            started = false;
        }
    }

    CWnd* pWnd = nullptr;
    bool running = false; // buffers are being filled
};

void WaveInDevice::Run() {
    std::vector<char> chunk(kChunkFrames * frameBytes);
    std::unique_lock<std::mutex> lk(lock);
    for (;;) {
        cv.wait(lk, [this] { return closing || (running && !queue.empty()); });
        if (closing) break;
        WAVEHDR* h = queue.front();
        unsigned long room = (h->dwBufferLength - h->dwBytesRecorded) / frameBytes;
        if (room == 0) { // shorter than one frame: nothing fits
            queue.pop_front();
            Done(h);
            continue;
        }
        unsigned long n = std::min(room, kChunkFrames);
        uint64_t gen = generation;
        EnterDevice(lk);
        PaError err = Pa_ReadStream(stream, chunk.data(), n);
        LeaveDevice(lk);
        if (closing) break;
        if (gen != generation || !running) continue; // stopped meanwhile: dropped
        if (err != paNoError && err != paInputOverflowed) {
            // The device failed (unplugged, driver error): it delivers nothing
            // more. The buffer being filled comes back with what it holds, so
            // the caller gets everything captured and learns of the end when
            // it tries to queue the buffer again.
            running = false;
            failed = true;
            queue.pop_front();
            Done(h);
            continue;
        }
        std::memcpy(h->lpData + h->dwBytesRecorded, chunk.data(), n * frameBytes);
        h->dwBytesRecorded += DWORD(n * frameBytes);
        position += n;
        if ((h->dwBufferLength - h->dwBytesRecorded) < frameBytes) {
            queue.pop_front();
            Done(h);
        }
    }
    Exit(lk);
}

MMRESULT WaveInDevice::Start() {
    std::lock_guard<std::mutex> lk(lock);
    if (closing) return MMSYSERR_INVALHANDLE;
    if (failed) return MMSYSERR_NODRIVER;
    if (running) return MMSYSERR_NOERROR;
    if (InDevice()) return MMSYSERR_ERROR; // an earlier read is still stuck in the device
    if (!started) {
        PaError err = Pa_StartStream(stream);
        if (err != paNoError) return AudioSystem::ResultOf(err);
        started = true;
    }
    running = true;
    cv.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Stop() {
    std::unique_lock<std::mutex> lk(lock);
    if (closing) return MMSYSERR_INVALHANDLE;
    if (!running) return MMSYSERR_NOERROR;
    Halt(lk);
    if (!queue.empty() && queue.front()->dwBytesRecorded > 0) {
        WAVEHDR* h = queue.front();
        queue.pop_front();
        Done(h);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT WaveInDevice::Reset() {
    std::unique_lock<std::mutex> lk(lock);
    if (closing) return MMSYSERR_INVALHANDLE;
    Halt(lk);
    while (!queue.empty()) {
        WAVEHDR* h = queue.front();
        queue.pop_front();
        Done(h);
    }
    position = 0;
    return MMSYSERR_NOERROR;
}

} // namespace

using Handles = WaveHandles<HWAVEIN, WaveInDevice>;

VOK_WAVE_SHARED_FUNCTIONS(In, HWAVEIN, WAVEINCAPS, Handles)

MMRESULT waveInOpen(HWAVEIN* phwi, unsigned int id, const WAVEFORMATEX* pwfx, CWnd* pCallbackWnd,
                    DWORD_PTR, DWORD flags) {
    return Handles::Open(phwi, id, pwfx, pCallbackWnd, flags);
}

MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size) {
    return Handles::With(hwi, [&](WaveInDevice& d) { return d.Enqueue(pwh, size); });
}

MMRESULT waveInStart(HWAVEIN hwi) {
    return Handles::With(hwi, [](WaveInDevice& d) { return d.Start(); });
}

MMRESULT waveInStop(HWAVEIN hwi) {
    return Handles::With(hwi, [](WaveInDevice& d) { return d.Stop(); });
}
