#include "platform/WaveOut.h"
#include "platform/AudioSystem.h"
#include "platform/WaveHandles.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <portaudio.h>
#include <vector>

namespace {

// Frames handed to the device per call: a reset waits at most about this long
// (plus the device's own latency while it drains) for the playing thread.
constexpr unsigned long kChunkFrames = 512;

// One open playback device: the worker writes the queued headers in order and
// reports each played one to the callback function.
class WaveOutDevice : public AudioDevice {
  public:
    static constexpr bool kInput = false;
    WaveOutDevice() : AudioDevice(kInput) {}
    MMRESULT Open(unsigned int id, const WAVEFORMATEX* pwfx, WAVEOUTPROC callback, DWORD_PTR inst,
                  DWORD flags) {
        proc = (flags & 0x70000) == CALLBACK_FUNCTION ? callback : nullptr;
        instance = inst;
        return OpenStream(id, pwfx, flags, CALLBACK_FUNCTION, 0.0);
    }
    MMRESULT Reset();
    void Opened() override { Notify(WOM_OPEN); }
    // The headers still queued are reported done, then the device's closing.
    void Closed(const std::vector<WAVEHDR*>& done) override {
        Report(done);
        Notify(WOM_CLOSE);
    }
    // Reports headers already marked done; called without the lock.
    void Report(const std::vector<WAVEHDR*>& done) {
        for (WAVEHDR* h : done)
            Notify(WOM_DONE, reinterpret_cast<DWORD_PTR>(h));
    }
    // Calls the callback function, if there is one, with msg.
    void Notify(unsigned int msg, DWORD_PTR p1 = 0) {
        if (proc) proc(handle, msg, instance, p1, 0);
    }

    HWAVEOUT handle = nullptr;

  private:
    void Run() override;
    // Writes the next chunk of the first queued header.
    void WriteChunk(std::unique_lock<std::mutex>& lk, WAVEHDR* h, uint64_t gen);
    // The first queued header is written: drains the device when nothing
    // follows it, then reports it played.
    void FinishHeader(std::unique_lock<std::mutex>& lk, WAVEHDR* h, uint64_t gen);
    // Waits, mostly outside the device, until it has played what it holds.
    bool WaitPlayed(std::unique_lock<std::mutex>& lk, uint64_t gen);
    // Frames written but not yet played, from the space free in the device.
    void SetPosition(long avail) {
        long queued = avail >= 0 ? std::max(0L, bufferFrames - avail) : 0;
        position = written - std::min<uint64_t>(written, uint64_t(queued));
    }
    // Takes every queued header out, marked done, and starts the next anew.
    std::vector<WAVEHDR*> TakeAllFromStart() {
        offset = 0;
        return TakeAll();
    }

    WAVEOUTPROC proc = nullptr;
    DWORD_PTR instance = 0;
    DWORD offset = 0;        // bytes of the first queued header already written
    uint64_t written = 0;    // frames handed to the device since the last reset
    long bufferFrames = 0;   // the device's buffer, measured when the stream starts
    std::vector<char> chunk; // the worker's copy of what it writes
};

void WaveOutDevice::Run() {
    chunk.resize(kChunkFrames * frameBytes);
    std::unique_lock<std::mutex> lk(lock);
    for (;;) {
        cv.wait(lk, [this] { return closing || !queue.empty(); });
        if (closing) break;
        WAVEHDR* h = queue.front();
        uint64_t gen = generation;
        if (h->dwBufferLength - offset >= frameBytes) // more of this buffer to write
            WriteChunk(lk, h, gen);
        else
            FinishHeader(lk, h, gen);
        if (closing) break;
    }
    Exit(lk);
}

void WaveOutDevice::WriteChunk(std::unique_lock<std::mutex>& lk, WAVEHDR* h, uint64_t gen) {
    unsigned long n =
        std::min<unsigned long>((h->dwBufferLength - offset) / frameBytes, kChunkFrames);
    std::memcpy(chunk.data(), h->lpData + offset, n * frameBytes);
    bool needStart = !started;
    EnterDevice(lk);
    PaError err = paNoError;
    long avail0 = 0;
    if (needStart) {
        err = Pa_StartStream(stream);
        if (err == paNoError) avail0 = Pa_GetStreamWriteAvailable(stream);
    }
    bool startedNow = needStart && err == paNoError;
    if (err == paNoError) err = Pa_WriteStream(stream, chunk.data(), n);
    if (err == paOutputUnderflowed) err = paNoError;
    long avail = err == paNoError ? Pa_GetStreamWriteAvailable(stream) : 0;
    LeaveDevice(lk);
    if (startedNow) {
        started = true;
        bufferFrames = std::max(0L, avail0);
    }
    if (closing || gen != generation) return; // reset meanwhile: the buffer went back
    if (err != paNoError) {                   // the device failed: hand everything back
        auto done = TakeAllFromStart();
        lk.unlock();
        Report(done);
        lk.lock();
        return;
    }
    offset += DWORD(n * frameBytes);
    written += n;
    SetPosition(avail);
}

void WaveOutDevice::FinishHeader(std::unique_lock<std::mutex>& lk, WAVEHDR* h, uint64_t gen) {
    // With another header queued behind this one the device goes on without a
    // gap; otherwise it is drained first, waiting outside the device while it
    // plays what it holds (a device with a long buffer, such as a sound
    // server's, holds seconds), so a reset meanwhile stops it at once.
    if (queue.size() == 1 && started) {
        if (!WaitPlayed(lk, gen)) return;
        EnterDevice(lk);
        Pa_StopStream(stream); // returns once everything written has been played
        LeaveDevice(lk);
        if (closing || gen != generation) return;
        started = false;
    }
    position = written;
    if (queue.empty() || queue.front() != h) return;
    queue.pop_front();
    offset = 0;
    MarkDone(h);
    lk.unlock();
    Report({h});
    lk.lock();
}

// Waits (lock held, mostly outside the device) until the device has played
// everything written to it, or has played nothing for a while (a device that
// has not started, as with less than its start amount written, is left to
// the drain): true then; false when a close or a reset (the generation moved
// on) came first.
bool WaveOutDevice::WaitPlayed(std::unique_lock<std::mutex>& lk, uint64_t gen) {
    constexpr int kPollMs = 10, kIdlePolls = 5;
    long last = -1;
    for (int idle = 0; idle < kIdlePolls;) {
        if (closing || gen != generation) return false;
        EnterDevice(lk);
        const long avail = Pa_GetStreamWriteAvailable(stream);
        LeaveDevice(lk);
        if (closing || gen != generation) return false;
        SetPosition(avail);
        if (avail < 0 || avail >= bufferFrames) return true;
        idle = avail == last ? idle + 1 : 0;
        last = avail;
        cv.wait_for(lk, std::chrono::milliseconds(kPollMs),
                    [&] { return closing || gen != generation; });
    }
    return !closing && gen == generation;
}

MMRESULT WaveOutDevice::Reset() {
    std::unique_lock<std::mutex> lk(lock);
    if (closing) return MMSYSERR_INVALHANDLE;
    ++generation;
    auto done = TakeAllFromStart();
    written = position = 0;
    // Once the worker is outside the device the stream can be stopped; a
    // worker stuck inside is left there and the stream keeps its state.
    if (WaitOutside(lk) && started) {
        Pa_AbortStream(stream);
        started = false;
    }
    lk.unlock();
    Report(done);
    return MMSYSERR_NOERROR;
}

} // namespace

using Handles = WaveHandles<HWAVEOUT, WaveOutDevice>;

VOK_WAVE_SHARED_FUNCTIONS(Out, HWAVEOUT, WAVEOUTCAPS, Handles)

MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned int id, const WAVEFORMATEX* pwfx,
                     WAVEOUTPROC callback, DWORD_PTR instance, DWORD flags) {
    return Handles::Open(phwo, id, pwfx, callback, instance, flags);
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size) {
    return Handles::With(hwo, [&](WaveOutDevice& d) { return d.Enqueue(pwh, size); });
}
