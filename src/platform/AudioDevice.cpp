#include "platform/AudioDevice.h"
#include "platform/AudioSystem.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <portaudio.h>

namespace {
constexpr auto kWait = std::chrono::milliseconds(AudioSystem::kDeviceWaitMs);
} // namespace

MMRESULT AudioDevice::OpenStream(unsigned int id, const WAVEFORMATEX* pwfx, DWORD flags,
                                 DWORD callbackKind, double minLatency) {
    DWORD kind = flags & 0x70000;
    if (kind != CALLBACK_NULL && kind != callbackKind) return MMSYSERR_INVALFLAG;
    if (flags & ~DWORD(0x70000 | WAVE_FORMAT_DIRECT)) return MMSYSERR_INVALFLAG;
    if (MMRESULT r = AudioSystem::CheckFormat(pwfx)) return r;
    if (!AudioSystem::Init()) return MMSYSERR_NODRIVER;
    int dev = AudioSystem::DeviceFor(id, m_bInput);
    if (dev < 0)
        return AudioSystem::Devices(m_bInput).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;

    PaStreamParameters p{};
    p.device = dev;
    p.channelCount = pwfx->nChannels;
    p.sampleFormat = AudioSystem::SampleFormat(pwfx);
    p.suggestedLatency = std::max(minLatency, AudioSystem::HighLatency(dev, m_bInput));
    PaError err = Pa_OpenStream(&stream, m_bInput ? &p : nullptr, m_bInput ? nullptr : &p,
                                pwfx->nSamplesPerSec, paFramesPerBufferUnspecified,
                                paClipOff | paDitherOff, nullptr, nullptr);
    if (err != paNoError) return AudioSystem::ResultOf(err);
    AudioSystem::StreamOpened();
    fmt = *pwfx;
    frameBytes = pwfx->nBlockAlign;
    return MMSYSERR_NOERROR;
}

void AudioDevice::StartWorker(const std::shared_ptr<AudioDevice>& self) {
    m_worker = std::thread([self] { self->Run(); });
}

void AudioDevice::Exit(std::unique_lock<std::mutex>& lk) {
    m_bExited = true;
    cv.notify_all();
    const bool abandoned = m_bAbandoned;
    lk.unlock();
    if (abandoned) {
        Pa_CloseStream(stream);
        AudioSystem::StreamClosed();
    }
}

void AudioDevice::EnterDevice(std::unique_lock<std::mutex>& lk) {
    m_bInDevice = true;
    lk.unlock();
}

void AudioDevice::LeaveDevice(std::unique_lock<std::mutex>& lk) {
    lk.lock();
    m_bInDevice = false;
    m_bStuck = false;
    cv.notify_all();
}

bool AudioDevice::WaitOutside(std::unique_lock<std::mutex>& lk) {
    if (m_bStuck && m_bInDevice) return false; // waited once already: not again
    m_bStuck = !cv.wait_for(lk, kWait, [this] { return !m_bInDevice; });
    return !m_bStuck;
}

bool AudioDevice::Queued(const WAVEHDR* h) const {
    return std::find(queue.begin(), queue.end(), h) != queue.end();
}

void AudioDevice::MarkDone(WAVEHDR* h) {
    h->dwFlags = (h->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE;
}

std::vector<WAVEHDR*> AudioDevice::TakeAll() {
    std::vector<WAVEHDR*> out(queue.begin(), queue.end());
    for (WAVEHDR* h : out)
        MarkDone(h);
    queue.clear();
    return out;
}

// A capture header needs its buffer; a playback header may be empty.
bool AudioDevice::HeaderOk(const WAVEHDR* h, unsigned int size) const {
    return h && size >= sizeof(WAVEHDR) && (h->lpData || (!m_bInput && h->dwBufferLength == 0));
}

MMRESULT AudioDevice::Prepare(WAVEHDR* h, unsigned int size) {
    if (!HeaderOk(h, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(lock);
    h->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT AudioDevice::Unprepare(WAVEHDR* h, unsigned int size) {
    if (!HeaderOk(h, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(lock);
    if (Queued(h)) return WAVERR_STILLPLAYING;
    h->dwFlags &= ~DWORD(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT AudioDevice::Enqueue(WAVEHDR* h, unsigned int size) {
    if (!HeaderOk(h, size)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(lock);
    if (closing) return MMSYSERR_INVALHANDLE;
    if (failed) return MMSYSERR_NODRIVER;
    if (!(h->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (Queued(h)) return WAVERR_STILLPLAYING;
    if (m_bInput) h->dwBytesRecorded = 0;
    h->dwFlags = (h->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
    queue.push_back(h);
    cv.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT AudioDevice::Position(MMTIME* t, unsigned int size) {
    if (!t || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lk(lock);
    if (failed) return MMSYSERR_NODRIVER;
    switch (t->wType) {
    case TIME_BYTES:
        t->u.cb = DWORD(position * fmt.nBlockAlign);
        break;
    case TIME_MS:
        t->u.ms = DWORD(position * 1000 / fmt.nSamplesPerSec);
        break;
    default:
        t->wType = TIME_SAMPLES;
        t->u.sample = DWORD(position);
        break;
    }
    return MMSYSERR_NOERROR;
}

std::vector<WAVEHDR*> AudioDevice::Close() {
    std::unique_lock<std::mutex> lk(lock);
    ++generation;
    std::vector<WAVEHDR*> done = TakeAll();
    closing = true;
    cv.notify_all();
    // A worker already known to be stuck is not waited for again.
    const bool ended =
        m_bStuck && m_bInDevice ? m_bExited : cv.wait_for(lk, kWait, [this] { return m_bExited; });
    if (!ended) { // stuck inside the device: the worker closes the stream if it ever returns
        m_bAbandoned = true;
        m_worker.detach();
        AudioSystem::NoteAbandonedStream();
        return done;
    }
    lk.unlock();
    m_worker.join();
    Pa_CloseStream(stream);
    AudioSystem::StreamClosed();
    return done;
}

template <typename CAPS>
MMRESULT AudioDeviceCaps(unsigned int id, bool input, CAPS* caps, unsigned int size) {
    if (!caps || size == 0) return MMSYSERR_INVALPARAM;
    int dev = AudioSystem::DeviceFor(id, input);
    if (dev < 0)
        return AudioSystem::Devices(input).empty() ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    CAPS c{};
    std::strncpy(c.szPname, AudioSystem::DeviceName(dev).c_str(), sizeof(c.szPname) - 1);
    c.wChannels = uint16_t(std::min(2, AudioSystem::MaxChannels(dev, input)));
    std::memcpy(caps, &c, std::min<size_t>(size, sizeof(c)));
    return MMSYSERR_NOERROR;
}

template MMRESULT AudioDeviceCaps(unsigned int, bool, WAVEINCAPS*, unsigned int);
template MMRESULT AudioDeviceCaps(unsigned int, bool, WAVEOUTCAPS*, unsigned int);
