// Playback of the marked part of the recording: one buffer straight from the
// wave channel's storage, a worker thread that waits for its end, and a 50 ms
// timer that runs a cursor line through the graph.
//
// The worker only waits, closes the device and posts WM_PLAYDONE; the dialog
// returns to idle on its own thread when that message arrives. The device
// handle is exchanged atomically, so exactly one side (the worker, or the GUI
// thread after a failed start) closes it.
#include "channels/SoftChanWave.h"
#include "record/DlgRecord.h"
#include "support/FileUtil.h"

void DlgRecord::OnButtonPlay() {
    if (m_bRecording || m_bPlaying) return;
    SOFTCHAN_WAVE* w = GetWaveChan();
    long s = 0, e = 0;
    if (!w || !GetMarkedSamples(s, e)) return;
    // A worker of an earlier playback has posted its end already; collect it.
    if (m_pPlayThread.joinable()) m_pPlayThread.join();

    m_bPlaying = 1;
    EnableButtons();
    m_fLastCursor = -1.0f;
    SetTimer(TIMER_CURSOR, 50);
    ++m_nPlayback;

    const WAVEFORMATEX fmt = m_recorder.GetWaveFormatEx();
    auto* data = static_cast<char*>(w->mem.GetPtr());
    const long bytes = w->BytesPerSample();
    try {
        m_waveHdr.lpData = data ? data + s * bytes : nullptr;
        m_waveHdr.dwFlags = 0;
        m_waveHdr.dwLoops = 0;
        m_waveHdr.dwBufferLength = DWORD((e - s + 1) * bytes);
        HWAVEOUT h = nullptr;
        if (waveOutOpen(&h, WAVE_MAPPER, &fmt, &DlgRecord::waveOutProc, DWORD_PTR(this),
                        CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
            throw 5;
        m_hWaveOut = h;
        if (!data || waveOutPrepareHeader(h, &m_waveHdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            throw 10;
        m_evPlayDone.ResetEvent();
        m_pPlayThread = std::thread([this] { WorkerInit(this); });
        if (waveOutWrite(h, &m_waveHdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) throw 20;
    } catch (int code) {
        FailPlayback(code);
    }
}

void DlgRecord::FailPlayback(int code) {
    // The device is closed first, so the cursor timer sees the end at once.
    if (HWAVEOUT h = m_hWaveOut.exchange(nullptr)) {
        if (code >= 10) waveOutUnprepareHeader(h, &m_waveHdr, sizeof(WAVEHDR));
        waveOutClose(h);
    }
    // A worker started for this playback finds no device and just ends.
    if (m_pPlayThread.joinable()) {
        m_evPlayDone.SetEvent();
        m_pPlayThread.join();
    }
    m_bPlaying = 0;
    EnableButtons();
    ShowError("", "Error Playing Sound");
}

void DlgRecord::waveOutProc(HWAVEOUT, unsigned int msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
    if (msg == WOM_DONE && instance)
        reinterpret_cast<DlgRecord*>(instance)->m_evPlayDone.SetEvent();
}

unsigned int DlgRecord::WorkerInit(void* pDlg) {
    auto* d = static_cast<DlgRecord*>(pDlg);
    const unsigned playback = d->m_nPlayback; // written before this thread started
    d->m_evPlayDone.Lock();
    if (HWAVEOUT h = d->m_hWaveOut.exchange(nullptr)) {
        // Reset first: a buffer still queued comes back before it is unprepared.
        waveOutReset(h);
        waveOutUnprepareHeader(h, &d->m_waveHdr, sizeof(WAVEHDR));
        waveOutClose(h);
    }
    d->PostMessage(WM_PLAYDONE, playback, 0);
    return 0;
}

void DlgRecord::OnPlayDone(uintptr_t nPlayback) {
    if (nPlayback != m_nPlayback) return; // from a playback already wound up
    if (m_pPlayThread.joinable()) m_pPlayThread.join();
    if (m_bShuttingDown) return;
    m_bPlaying = 0;
    EnableButtons();
}

void DlgRecord::StopPlaybackAndWait() {
    if (!m_pPlayThread.joinable()) return;
    if (HWAVEOUT h = m_hWaveOut.load()) waveOutReset(h);
    // Also wakes a worker whose buffer was returned before it started waiting.
    m_evPlayDone.SetEvent();
    m_pPlayThread.join();
    m_bPlaying = 0;
}

void DlgRecord::OnCursorTimer() {
    HWAVEOUT h = m_hWaveOut.load();
    if (!h) {
        if (m_fLastCursor >= 0.0f) GraphCursor(m_fLastCursor);
        // The line is gone; the graph is not to draw it again on a repaint.
        GraphForgetCursor();
        m_fLastCursor = -1.0f;
        KillTimer(TIMER_CURSOR);
        return;
    }
    MMTIME pos{};
    pos.wType = TIME_SAMPLES;
    // A handle the worker is closing just fails: this tick is skipped.
    if (waveOutGetPosition(h, &pos, sizeof(pos)) != MMSYSERR_NOERROR) return;
    unsigned rate = m_recorder.GetWaveFormatEx().nSamplesPerSec;
    if (rate <= 1) rate = 1;
    const uint32_t ms = uint32_t(pos.u.sample * 1000u) / rate;
    if (int32_t(ms) < 0 || !m_pGraphWnd) return;
    if (m_fLastCursor >= 0.0f) GraphCursor(m_fLastCursor);
    const float t = float(ms) * 0.001f + GetMarkedTimes().Lo;
    GraphCursor(t);
    m_fLastCursor = t;
}
