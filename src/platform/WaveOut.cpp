#include "platform/WaveOut.h"
#include "platform/AudioSystem.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <portaudio.h>
#include <thread>
#include <vector>

namespace {

// Frames handed to the device per call: a reset waits at most about this long
// (plus the device's own latency while it drains) for the playing thread.
constexpr unsigned long kChunkFrames = 512;

// One open playback device. The playing thread and the callers share it under
// `lock`; the headers in `queue` belong to the device until they are done.
struct WaveOutDevice {
    std::mutex lock;
    std::condition_variable cv;
    PaStream* stream = nullptr;
    HWAVEOUT handle = nullptr;
    WAVEOUTPROC proc = nullptr;
    DWORD_PTR instance = 0;
    WAVEFORMATEX fmt{};
    unsigned frameBytes = 1;
    std::deque<WAVEHDR*> queue;
    DWORD offset = 0;        // bytes of the first queued header already written
    bool started = false;    // the PortAudio stream runs
    bool closing = false;    // the thread is to end
    bool inDevice = false;   // the thread is inside the device
    bool exited = false;     // the thread has ended
    bool abandoned = false;  // close left the thread behind: it closes the stream
    uint64_t generation = 0; // raised by reset: work begun before it is dropped
    uint64_t written = 0;    // frames handed to the device since the last reset
    uint64_t position = 0;   // frames played since the last reset
    long bufferFrames = 0;   // the device's buffer, measured when the stream starts
    std::thread player;

    void Run();
    bool WaitPlayed(std::unique_lock<std::mutex>& lk, uint64_t gen);
    // Frames written but not yet played, from the space free in the device.
    void SetPosition(long avail) {
        long queued = avail >= 0 ? std::max(0L, bufferFrames - avail) : 0;
        position = written - std::min<uint64_t>(written, uint64_t(queued));
    }
    // Takes every queued header out, marked done (lock held).
    std::vector<WAVEHDR*> TakeAll() {
        std::vector<WAVEHDR*> out(queue.begin(), queue.end());
        for (WAVEHDR* h : out)
            MarkDone(h);
        queue.clear();
        offset = 0;
        return out;
    }
    static void MarkDone(WAVEHDR* h) {
        h->dwFlags = (h->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
    }
    // Reports headers already marked done; called without the lock.
    void Report(const std::vector<WAVEHDR*>& done) {
        if (!proc) return;
        for (WAVEHDR* h : done)
            proc(handle, WOM_DONE, instance, reinterpret_cast<DWORD_PTR>(h), 0);
    }
};

AudioSystem::HandleTable<HWAVEOUT, WaveOutDevice>& Table() {
    static auto* table = new AudioSystem::HandleTable<HWAVEOUT, WaveOutDevice>;
    return *table;
}

void WaveOutDevice::Run() {
    std::vector<char> chunk(kChunkFrames * frameBytes);
    std::unique_lock<std::mutex> lk(lock);
    for (;;) {
        cv.wait(lk, [this] { return closing || !queue.empty(); });
        if (closing) break;
        WAVEHDR* h = queue.front();
        uint64_t gen = generation;

        if (h->dwBufferLength - offset >= frameBytes) { // more of this buffer to write
            unsigned long n =
                std::min<unsigned long>((h->dwBufferLength - offset) / frameBytes, kChunkFrames);
            std::memcpy(chunk.data(), h->lpData + offset, n * frameBytes);
            bool needStart = !started;
            inDevice = true;
            lk.unlock();
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
            lk.lock();
            inDevice = false;
            cv.notify_all();
            if (startedNow) {
                started = true;
                bufferFrames = std::max(0L, avail0);
            }
            if (closing) break;
            if (gen != generation) continue; // reset meanwhile: the buffer went back
            if (err != paNoError) {          // the device failed: hand everything back
                auto done = TakeAll();
                lk.unlock();
                Report(done);
                lk.lock();
                continue;
            }
            offset += DWORD(n * frameBytes);
            written += n;
            SetPosition(avail);
            continue;
        }

        // This buffer is written completely. With another one queued behind it
        // the device goes on without a gap; otherwise it is drained first,
        // waiting outside the device while it plays what it holds (a device
        // with a long buffer, such as a sound server's, holds seconds), so a
        // reset meanwhile stops it at once.
        if (queue.size() == 1 && started) {
            if (!WaitPlayed(lk, gen)) {
                if (closing) break;
                continue;
            }
            inDevice = true;
            lk.unlock();
            Pa_StopStream(stream); // returns once everything written has been played
            lk.lock();
            inDevice = false;
            cv.notify_all();
            if (closing) break;
            if (gen != generation) continue;
            started = false;
        }
        position = written;
        if (queue.empty() || queue.front() != h) continue;
        queue.pop_front();
        offset = 0;
        MarkDone(h);
        lk.unlock();
        Report({h});
        lk.lock();
    }
    exited = true;
    cv.notify_all();
    if (abandoned) {
        lk.unlock();
        Pa_CloseStream(stream);
        AudioSystem::StreamClosed();
    }
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
        inDevice = true;
        lk.unlock();
        const long avail = Pa_GetStreamWriteAvailable(stream);
        lk.lock();
        inDevice = false;
        cv.notify_all();
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

bool HeaderOk(const WAVEHDR* h, unsigned size) {
    return h && size >= sizeof(WAVEHDR) && (h->lpData || h->dwBufferLength == 0);
}

} // namespace

unsigned int waveOutGetNumDevs() {
    return unsigned(AudioSystem::Devices(false).size());
}

MMRESULT waveOutGetDevCaps(unsigned int id, WAVEOUTCAPS* caps, unsigned int size) {
    if (!caps || size == 0) return MMSYSERR_INVALPARAM;
    int dev = AudioSystem::DeviceFor(id, false);
    if (dev < 0)
        return AudioSystem::Devices(false).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    WAVEOUTCAPS c{};
    std::strncpy(c.szPname, AudioSystem::DeviceName(dev).c_str(), sizeof(c.szPname) - 1);
    c.wChannels = uint16_t(std::min(2, AudioSystem::MaxChannels(dev, false)));
    std::memcpy(caps, &c, std::min<size_t>(size, sizeof(c)));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned int id, const WAVEFORMATEX* pwfx,
                     WAVEOUTPROC callback, DWORD_PTR instance, DWORD flags) {
    if (!phwo) return MMSYSERR_INVALPARAM;
    *phwo = nullptr;
    DWORD kind = flags & 0x70000;
    if (kind != CALLBACK_NULL && kind != CALLBACK_FUNCTION) return MMSYSERR_INVALFLAG;
    if (flags & ~DWORD(0x70000 | WAVE_FORMAT_DIRECT)) return MMSYSERR_INVALFLAG;
    if (MMRESULT r = AudioSystem::CheckFormat(pwfx)) return r;
    if (!AudioSystem::Init()) return MMSYSERR_NODRIVER;
    int dev = AudioSystem::DeviceFor(id, false);
    if (dev < 0)
        return AudioSystem::Devices(false).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;

    PaStreamParameters out{};
    out.device = dev;
    out.channelCount = pwfx->nChannels;
    out.sampleFormat = AudioSystem::SampleFormat(pwfx);
    out.suggestedLatency = AudioSystem::HighLatency(dev, false);
    PaStream* stream = nullptr;
    PaError err =
        Pa_OpenStream(&stream, nullptr, &out, pwfx->nSamplesPerSec, paFramesPerBufferUnspecified,
                      paClipOff | paDitherOff, nullptr, nullptr);
    if (err != paNoError) return AudioSystem::ResultOf(err);
    AudioSystem::StreamOpened();

    auto d = std::make_shared<WaveOutDevice>();
    d->stream = stream;
    d->fmt = *pwfx;
    d->frameBytes = pwfx->nBlockAlign;
    d->proc = kind == CALLBACK_FUNCTION ? callback : nullptr;
    d->instance = instance;
    d->handle = Table().Add(d);
    d->player = std::thread([d] { d->Run(); });
    *phwo = d->handle;
    if (d->proc) d->proc(d->handle, WOM_OPEN, instance, 0, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo) {
    auto d = Table().Remove(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> lk(d->lock);
    ++d->generation;
    auto done = d->TakeAll();
    d->closing = true;
    d->cv.notify_all();
    bool ended = d->cv.wait_for(lk, std::chrono::milliseconds(AudioSystem::kDeviceWaitMs),
                                [&] { return d->exited; });
    if (!ended) { // stuck inside the device: the thread closes the stream if it ever returns
        d->abandoned = true;
        d->player.detach();
        AudioSystem::NoteAbandonedStream();
    }
    lk.unlock();
    d->Report(done);
    if (ended) {
        d->player.join();
        Pa_CloseStream(d->stream);
        AudioSystem::StreamClosed();
    }
    if (d->proc) d->proc(hwo, WOM_CLOSE, d->instance, 0, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    if (std::find(d->queue.begin(), d->queue.end(), pwh) != d->queue.end())
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~DWORD(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, unsigned int size) {
    auto d = Table().Find(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!HeaderOk(pwh, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (std::find(d->queue.begin(), d->queue.end(), pwh) != d->queue.end())
        return WAVERR_STILLPLAYING;
    pwh->dwFlags = (pwh->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
    d->queue.push_back(pwh);
    d->cv.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo) {
    auto d = Table().Find(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    std::unique_lock<std::mutex> lk(d->lock);
    if (d->closing) return MMSYSERR_INVALHANDLE;
    ++d->generation;
    auto done = d->TakeAll();
    d->written = d->position = 0;
    // Once the thread is outside the device the stream can be stopped; a thread
    // stuck inside is left there and the stream keeps its state.
    if (d->cv.wait_for(lk, std::chrono::milliseconds(AudioSystem::kDeviceWaitMs),
                       [&] { return !d->inDevice; }) &&
        d->started) {
        Pa_AbortStream(d->stream);
        d->started = false;
    }
    lk.unlock();
    d->Report(done);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT hwo, MMTIME* pmmt, unsigned int size) {
    auto d = Table().Find(hwo);
    if (!d) return MMSYSERR_INVALHANDLE;
    if (!pmmt || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(d->lock);
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
