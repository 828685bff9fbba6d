#include "platform/WaveIn.h"
#include "platform/AudioSystem.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <portaudio.h>
#include <thread>
#include <vector>

namespace {

// Frames read from the device per call: short enough that a stop waits at
// most a few tens of milliseconds for the reading thread.
constexpr unsigned long kChunkFrames = 512;
// The device buffers at least this long while no buffer is queued.
constexpr double kMinLatency = 0.2;

// One open capture device. The reading thread and the callers share it under
// `lock`; the headers in `queue` belong to the device until they are done.
struct WaveInDevice {
    std::mutex lock;
    std::condition_variable cv;
    PaStream* stream = nullptr;
    HWAVEIN handle = nullptr;
    CWnd* pWnd = nullptr;
    WAVEFORMATEX fmt{};
    unsigned frameBytes = 1;
    std::deque<WAVEHDR*> queue;
    bool running = false;    // buffers are being filled
    bool started = false;    // the PortAudio stream runs
    bool closing = false;    // the thread is to end
    bool inRead = false;     // the thread is inside the device
    bool exited = false;     // the thread has ended
    bool abandoned = false;  // close left the thread behind: it closes the stream
    bool stuck = false;      // a wait for the thread ran out while it was inside
    bool failed = false;     // a read failed: the device is gone until reopened
    uint64_t generation = 0; // raised by stop and reset: a read begun before is dropped
    uint64_t position = 0;   // frames captured since the last reset
    std::thread reader;

    void Run();
    // Marks the header done and announces it; called with the lock held.
    void Done(WAVEHDR* h) {
        h->dwFlags = (h->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
        if (pWnd && !closing)
            pWnd->PostMessage(MM_WIM_DATA, reinterpret_cast<uintptr_t>(handle),
                              reinterpret_cast<intptr_t>(h));
    }
    // Waits (lock held) until the thread is outside the device; false when it
    // stays inside past the bound.
    bool WaitOutside(std::unique_lock<std::mutex>& lk) {
        if (stuck && inRead) return false; // waited once already: not again
        stuck = !cv.wait_for(lk, std::chrono::milliseconds(AudioSystem::kDeviceWaitMs),
                             [this] { return !inRead; });
        return !stuck;
    }
    // Stops the PortAudio stream once the thread is outside it (lock held).
    void Halt(std::unique_lock<std::mutex>& lk) {
        running = false;
        ++generation;
        if (started && WaitOutside(lk)) {
            Pa_AbortStream(stream);
            started = false;
        }
    }
};

AudioSystem::HandleTable<HWAVEIN, WaveInDevice>& Table() {
    static auto* table = new AudioSystem::HandleTable<HWAVEIN, WaveInDevice>;
    return *table;
}

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
        inRead = true;
        lk.unlock();
        PaError err = Pa_ReadStream(stream, chunk.data(), n);
        lk.lock();
        inRead = false;
        stuck = false;
        cv.notify_all();
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
    exited = true;
    cv.notify_all();
    if (abandoned) {
        lk.unlock();
        Pa_CloseStream(stream);
        AudioSystem::StreamClosed();
    }
}

bool HeaderOk(const WAVEHDR* h, unsigned size) {
    return h && size >= sizeof(WAVEHDR) && h->lpData;
}

} // namespace

unsigned int waveInGetNumDevs() {
    return unsigned(AudioSystem::Devices(true).size());
}

MMRESULT waveInGetDevCaps(unsigned int id, WAVEINCAPS* caps, unsigned int size) {
    if (!caps || size == 0) return MMSYSERR_INVALPARAM;
    int dev = AudioSystem::DeviceFor(id, true);
    if (dev < 0)
        return AudioSystem::Devices(true).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    WAVEINCAPS c{};
    std::strncpy(c.szPname, AudioSystem::DeviceName(dev).c_str(), sizeof(c.szPname) - 1);
    c.wChannels = uint16_t(std::min(2, AudioSystem::MaxChannels(dev, true)));
    std::memcpy(caps, &c, std::min<size_t>(size, sizeof(c)));
    return MMSYSERR_NOERROR;
}

MMRESULT waveInOpen(HWAVEIN* phwi, unsigned int id, const WAVEFORMATEX* pwfx, CWnd* pCallbackWnd,
                    DWORD_PTR, DWORD flags) {
    if (!phwi) return MMSYSERR_INVALPARAM;
    *phwi = nullptr;
    DWORD kind = flags & 0x70000;
    if (kind != CALLBACK_NULL && kind != CALLBACK_WINDOW) return MMSYSERR_INVALFLAG;
    if (flags & ~DWORD(0x70000 | WAVE_FORMAT_DIRECT)) return MMSYSERR_INVALFLAG;
    if (MMRESULT r = AudioSystem::CheckFormat(pwfx)) return r;
    if (!AudioSystem::Init()) return MMSYSERR_NODRIVER;
    int dev = AudioSystem::DeviceFor(id, true);
    if (dev < 0)
        return AudioSystem::Devices(true).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;

    PaStreamParameters in{};
    in.device = dev;
    in.channelCount = pwfx->nChannels;
    in.sampleFormat = AudioSystem::SampleFormat(pwfx);
    in.suggestedLatency = std::max(kMinLatency, AudioSystem::HighLatency(dev, true));
    PaStream* stream = nullptr;
    PaError err =
        Pa_OpenStream(&stream, &in, nullptr, pwfx->nSamplesPerSec, paFramesPerBufferUnspecified,
                      paClipOff | paDitherOff, nullptr, nullptr);
    if (err != paNoError) return AudioSystem::ResultOf(err);
    AudioSystem::StreamOpened();

    auto dev_ = std::make_shared<WaveInDevice>();
    dev_->stream = stream;
    dev_->fmt = *pwfx;
    dev_->frameBytes = pwfx->nBlockAlign;
    dev_->pWnd = kind == CALLBACK_WINDOW ? pCallbackWnd : nullptr;
    dev_->handle = Table().Add(dev_);
    dev_->reader = std::thread([d = dev_] { d->Run(); });
    *phwi = dev_->handle;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN hwi) {
    auto d = Table().Remove(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> lk(d->lock);
    d->running = false;
    d->closing = true;
    for (WAVEHDR* h : d->queue) // handed back without a message
        h->dwFlags = (h->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
    d->queue.clear();
    d->cv.notify_all();
    // A thread already known to be stuck is not waited for again.
    bool ended = d->stuck && d->inRead
                     ? d->exited
                     : d->cv.wait_for(lk, std::chrono::milliseconds(AudioSystem::kDeviceWaitMs),
                                      [&] { return d->exited; });
    if (!ended) { // stuck inside the device: the thread closes the stream if it ever returns
        d->abandoned = true;
        d->reader.detach();
        AudioSystem::NoteAbandonedStream();
        return MMSYSERR_NOERROR;
    }
    lk.unlock();
    d->reader.join();
    Pa_CloseStream(d->stream);
    AudioSystem::StreamClosed();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInUnprepareHeader(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    if (std::find(d->queue.begin(), d->queue.end(), pwh) != d->queue.end())
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~DWORD(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN hwi, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    if (d->failed) return MMSYSERR_NODRIVER;
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (std::find(d->queue.begin(), d->queue.end(), pwh) != d->queue.end())
        return WAVERR_STILLPLAYING;
    pwh->dwBytesRecorded = 0;
    pwh->dwFlags = (pwh->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
    d->queue.push_back(pwh);
    d->cv.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInStart(HWAVEIN hwi) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    if (d->failed) return MMSYSERR_NODRIVER;
    if (d->running) return MMSYSERR_NOERROR;
    if (d->inRead) return MMSYSERR_ERROR; // an earlier read is still stuck in the device
    if (!d->started) {
        PaError err = Pa_StartStream(d->stream);
        if (err != paNoError) return AudioSystem::ResultOf(err);
        d->started = true;
    }
    d->running = true;
    d->cv.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInStop(HWAVEIN hwi) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    if (!d->running) return MMSYSERR_NOERROR;
    d->Halt(lk);
    if (!d->queue.empty() && d->queue.front()->dwBytesRecorded > 0) {
        WAVEHDR* h = d->queue.front();
        d->queue.pop_front();
        d->Done(h);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT waveInReset(HWAVEIN hwi) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    d->Halt(lk);
    while (!d->queue.empty()) {
        WAVEHDR* h = d->queue.front();
        d->queue.pop_front();
        d->Done(h);
    }
    d->position = 0;
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetPosition(HWAVEIN hwi, MMTIME* pmmt, unsigned int size) {
    auto d = Table().Find(hwi);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pmmt || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    if (d->failed) return MMSYSERR_NODRIVER;
    uint64_t pos = d->position;
    switch (pmmt->wType) {
    case TIME_BYTES:
        pmmt->u.cb = DWORD(pos * d->fmt.nBlockAlign);
        break;
    case TIME_MS:
        pmmt->u.ms = DWORD(pos * 1000 / d->fmt.nSamplesPerSec);
        break;
    default:
        pmmt->wType = TIME_SAMPLES;
        pmmt->u.sample = DWORD(pos);
        break;
    }
    return MMSYSERR_NOERROR;
}
