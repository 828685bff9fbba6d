#include "capture/WaveInAudio.h"
#include "capture/WaveInAudioWnd.h"
#include "capture/WaveInButtons.h"
#include "platform/WaveIn.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

IMPLEMENT_DYNCREATE(WaveInAudio, CObject)

namespace {
void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

WaveInAudio::~WaveInAudio() {
    if (waveState != WAVE_CLOSED) Close();
    if (CWaveInAudioWnd* w = pWnd) {
        pWnd = nullptr;
        w->m_pAudio = nullptr;
        w->DestroyWindow(); // deletes the window object
    }
}

int WaveInAudio::Create(WaveInButtons* owner, tagWAVERATE rate, tagSAMPLESIZE size) {
    pButtons = owner;
    nRate = rate;
    nSampleSize = size;
    if (waveInGetNumDevs() == 0) return 0;
    WAVEINCAPS caps;
    std::memset(&caps, 0, sizeof(caps));
    if (waveInGetDevCaps(0, &caps, sizeof(caps)) != MMSYSERR_NOERROR) return 0;
    if (!CreateWnd()) return 0;
    return Open();
}

int WaveInAudio::CreateWnd() {
    // A window of an earlier creation of this object goes first; its device
    // is closed with it.
    if (CWaveInAudioWnd* old = pWnd) {
        if (waveState != WAVE_CLOSED) Close();
        pWnd = nullptr;
        old->m_pAudio = nullptr;
        old->DestroyWindow();
    }
    auto* w = new CWaveInAudioWnd(this);
    if (!w->CreateWnd()) {
        w->m_pAudio = nullptr;
        delete w;
        return 0;
    }
    pWnd = w;
    return 1;
}

int WaveInAudio::Open() {
    if (waveState != WAVE_CLOSED) Close();
    SleepMs(200);
    wfx = MakeWaveFormat(nRate, nSampleSize);

    const unsigned count = waveInGetNumDevs();
    const DWORD plain = CALLBACK_WINDOW, direct = CALLBACK_WINDOW | WAVE_FORMAT_DIRECT;
    bool opened = false;
    for (DWORD flags : {plain, direct}) {
        opened = waveInOpen(&hWaveIn, WAVE_MAPPER, &wfx, pWnd, DWORD_PTR(this), flags) ==
                 MMSYSERR_NOERROR;
        for (unsigned id = 0; !opened && id < count; ++id)
            opened =
                waveInOpen(&hWaveIn, id, &wfx, pWnd, DWORD_PTR(this), flags) == MMSYSERR_NOERROR;
        if (opened) break;
    }
    if (!opened) {
        hWaveIn = nullptr;
        return 0;
    }
    waveState = WAVE_OPEN;
    return CreateBuffers();
}

unsigned int WaveInAudio::BufferBytes() const {
    return unsigned(wfx.nBlockAlign) * ((wfx.nSamplesPerSec * 2u) / 10u);
}

int WaveInAudio::CreateBuffers() {
    if (waveState != WAVE_OPEN) return 0;
    if (!buffers.empty()) FreeBuffers();
    const int size = int(BufferBytes());
    for (int i = 0; i < 4; ++i) {
        auto buf = std::make_unique<WAVEBUFFER>(size);
        if (!buf->IsValid()) {
            FreeBuffers();
            return 0;
        }
        waveInPrepareHeader(hWaveIn, &buf->hdr, sizeof(WAVEHDR));
        buffers.push_back(std::move(buf));
    }
    m_copy.assign(size_t(size), 0);
    return 1;
}

void WaveInAudio::FreeBuffers() {
    for (auto& buf : buffers)
        if (buf->hdr.dwBufferLength > 0) waveInUnprepareHeader(hWaveIn, &buf->hdr, sizeof(WAVEHDR));
    buffers.clear();
}

int WaveInAudio::Start() {
    if (buffers.size() != 4) return 0;
    nPair = 1 - nPair; // each start uses the other pair
    nNextBuf = 0;
    nDelivered = 0;
    bLost = 0;
    WAVEBUFFER* first = buffers[size_t(2 * nPair)].get();
    WAVEBUFFER* second = buffers[size_t(2 * nPair + 1)].get();
    first->nSeq = 0;
    second->nSeq = 1;
    if (waveInAddBuffer(hWaveIn, &first->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return 0;
    if (waveInAddBuffer(hWaveIn, &second->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return 0;
    if (waveInStart(hWaveIn) != MMSYSERR_NOERROR) return 0;
    waveState = WAVE_RECORDING;

    // The device counts as started once it has delivered its first samples. A
    // device that delivers nothing within the bound, or fails meanwhile, is
    // stopped again.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartWaitMs);
    for (;;) {
        MMTIME pos;
        pos.wType = TIME_SAMPLES;
        pos.u.sample = 0;
        MMRESULT r = waveInGetPosition(hWaveIn, &pos, sizeof(pos));
        if (r != MMSYSERR_NOERROR) break;
        if (pos.u.sample != 0) return 1;
        if (std::chrono::steady_clock::now() >= deadline) break;
        SleepMs(10);
    }
    Stop();
    return 0;
}

// For each buffer-done message: only while recording, only from the open
// device and only for one of this object's buffers. Before the first buffer of
// the new pair has come back, any other buffer is a leftover of an earlier run
// and is ignored. The buffer goes back to the device before its data is used.
void WaveInAudio::BufferDone(HWAVEIN hwi, WAVEHDR* pHdr) {
    if (waveState != WAVE_RECORDING) return;
    if (hwi != hWaveIn || buffers.size() != 4) return;
    WAVEBUFFER* delivered = FindBuffer(pHdr);
    if (!delivered) return;
    WAVEBUFFER* expected = buffers[size_t(2 * nPair + nNextBuf)].get();
    if (delivered != expected && expected->nSeq == 0) return;

    delivered->nSeq = nDelivered + 2;
    DWORD n = std::min<DWORD>(pHdr->dwBytesRecorded, DWORD(m_copy.size()));
    std::memcpy(m_copy.data(), pHdr->lpData, n);
    m_copyHdr = *pHdr;
    m_copyHdr.lpData = m_copy.data();
    m_copyHdr.dwBufferLength = DWORD(m_copy.size());
    m_copyHdr.dwBytesRecorded = n;
    // A buffer the device no longer takes means the device has gone: what it
    // captured is still handed on, and the owner learns that no more comes.
    if (waveInAddBuffer(hwi, pHdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) bLost = 1;

    nNextBuf += 1;
    if (nNextBuf >= int(buffers.size() / 2)) nNextBuf = 0;
    if (pButtons) pButtons->ProcessData(&m_copyHdr);
    nDelivered += 1;
}

WAVEBUFFER* WaveInAudio::FindBuffer(const WAVEHDR* pHdr) const {
    for (const auto& buf : buffers)
        if (&buf->hdr == pHdr) return buf.get();
    return nullptr;
}

int WaveInAudio::Stop() {
    if (!hWaveIn || waveState != WAVE_RECORDING) return 1;
    if (waveInStop(hWaveIn) != MMSYSERR_NOERROR) return 0;
    waveInReset(hWaveIn);
    waveState = WAVE_OPEN;
    return 1;
}

int WaveInAudio::Reset() {
    if (!hWaveIn || waveState == WAVE_RECORDING) return 1;
    return waveInReset(hWaveIn) == MMSYSERR_NOERROR ? 1 : 0;
}

int WaveInAudio::Close() {
    if (waveState == WAVE_RECORDING) {
        Stop();
        SleepMs(100);
    }
    if (waveState != WAVE_OPEN) return 1;
    // Buffers still queued (after a failed start) come back before they are freed.
    waveInReset(hWaveIn);
    FreeBuffers();
    waveInClose(hWaveIn);
    hWaveIn = nullptr;
    waveState = WAVE_CLOSED;
    return 1;
}

void WaveInAudio::WindowGone() {
    pWnd = nullptr;
    // Nothing may be posted to the window any more: the device goes with it.
    if (waveState != WAVE_CLOSED) Close();
}
