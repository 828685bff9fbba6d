// RecorderButtons: the capture engine bound to a wave channel. Each filled
// buffer is appended to the channel, then the owner is posted nMsg with
// wParam 100 and lParam 1 when the channel is now full, else 0. Stopping on a
// full channel is the owner's decision. A buffer arriving after the channel is
// full fills only what is left of it and never wraps over the recording's
// start; when the device has gone (DeviceLost) lParam is 1 as well, so the
// owner stops and keeps what was captured.
#pragma once
#include "capture/WaveInButtons.h"
#include "platform/Export.h"

class SOFTCHAN_WAVE8;

class VOK_API RecorderButtons : public WaveInButtons {
  public:
    RecorderButtons() = default;

    using WaveInButtons::Create;
    // Sets the format choices, then WaveInButtons::Create(msg, reserved).
    int Create(UINT msg, UINT reserved, tagWAVERATE rate, tagSAMPLESIZE size);
    // The channel that receives the samples (not owned); set before Start.
    int SetSoftChan(SOFTCHAN_WAVE8* pChan) {
        pSoftChan = pChan;
        return 1;
    }

    static constexpr WPARAM kNotifyWParam = 100;

  protected:
    // Without a channel a buffer is dropped and nothing is posted.
    int ProcessData(WAVEHDR* pHdr) override;

  public:
    SOFTCHAN_WAVE8* pSoftChan = nullptr;
};
