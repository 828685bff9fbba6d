// WaveInAudio: the wave-in device object of the capture engine. It opens the
// device, keeps four capture buffers in two pairs, receives the filled buffers
// through its hidden window on the thread that created it, re-queues each one
// and hands its data to the owner's ProcessData.
#pragma once
#include "capture/CaptureTypes.h"
#include "capture/WaveBuffer.h"
#include "platform/Export.h"
#include "platform/Object.h"
#include <memory>
#include <vector>

class WaveInButtons;
class CWaveInAudioWnd;

class VOK_API WaveInAudio : public CObject {
    DECLARE_DYNCREATE(WaveInAudio)
  public:
    WaveInAudio() = default;
    WaveInAudio(const WaveInAudio&) = delete;
    WaveInAudio& operator=(const WaveInAudio&) = delete;
    // Closes the device when it is not closed and destroys the hidden window.
    ~WaveInAudio() override;

    void Serialize(CArchive&) override {}
    void AssertValid() const {}
    void Dump() const {}

    // Stores the owner and the format choices, checks that a capture device is
    // there, creates the hidden window and opens the device. 1 on success.
    int Create(WaveInButtons* owner, tagWAVERATE rate, tagSAMPLESIZE size);
    // Closes first when open, waits 200 ms, then opens in the order: wave
    // mapper, each device, then both again with WAVE_FORMAT_DIRECT; creates the
    // four buffers. 1 on success; 0 (state WAVE_CLOSED) when every attempt fails.
    int Open();
    // Queues the other pair and starts the device; waits up to 2 s for the
    // first samples. 0 when a buffer cannot be queued, the device does not
    // start, fails before its first sample or no sample comes within the
    // bound (the state is then WAVE_OPEN).
    int Start();
    // Stops and returns the queued buffers (state WAVE_OPEN); 1 when not recording.
    int Stop();
    // Returns queued buffers when open and not recording; 1 when nothing to do.
    int Reset();
    // Stops when recording, frees the buffers and closes; 1.
    int Close();

    // Handler of one buffer-done message from the device (see WaveInAudio.cpp).
    void BufferDone(HWAVEIN hwi, WAVEHDR* pHdr);
    // The hidden window is being destroyed: the device stops posting to it.
    void WindowGone();

    // Bytes per buffer for the current format: 0.2 s of audio.
    unsigned int BufferBytes() const;

    HWAVEIN hWaveIn = nullptr;
    WAVESTATE waveState = WAVE_CLOSED;
    WAVEFORMATEX wfx{};
    int nNextBuf = 0;
    std::vector<std::unique_ptr<WAVEBUFFER>> buffers;
    WaveInButtons* pButtons = nullptr;
    int nPair = 0;
    int nDelivered = 0;
    tagWAVERATE nRate = RATE_8000;
    tagSAMPLESIZE nSampleSize = SAMPLE_8BIT;
    CWaveInAudioWnd* pWnd = nullptr;
    // 1 once a delivered buffer could not be queued again during this
    // recording (the device failed or went away): no further buffer will come.
    int bLost = 0;

    // Upper bound of the wait for the first samples after a start.
    static constexpr int kStartWaitMs = 2000;

  private:
    int CreateWnd();
    int CreateBuffers();
    void FreeBuffers();
    WAVEBUFFER* FindBuffer(const WAVEHDR* pHdr) const;

    // The data of the buffer being handed on, copied before the buffer goes
    // back to the device, so the device never writes what the owner reads.
    WAVEHDR m_copyHdr{};
    std::vector<char> m_copy;
};
