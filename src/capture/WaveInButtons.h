// WaveInButtons: a button set over a wave-in device. Use: Create once (which
// opens the device), then for each recording DeviceOpen, Start with the owner
// window, buffers arrive in ProcessData, Cancel, DeviceClose.
#pragma once
#include "capture/Buttons.h"
#include "capture/WaveInAudio.h"
#include "platform/Export.h"

class VOK_API WaveInButtons : public CButtons {
  public:
    WaveInButtons() = default;
    WaveInButtons(const WaveInButtons&) = delete;
    WaveInButtons& operator=(const WaveInButtons&) = delete;
    // Not virtual (held by value): the device is destroyed (closed), then CButtons.
    ~WaveInButtons() = default;

    // Recording starts only from WAVE_OPEN: 0 otherwise (IsActive() stays 1),
    // and 0 when the device does not start.
    int Start(CNotifyWnd owner) override;
    // Stops a running recording (its result is the result) and returns the
    // buffers to the device's care.
    int Cancel() override;
    // Stores msg and creates the device with the format choices; on failure
    // shows "Error: Unable to Access waveInAudio" and returns 0.
    virtual int Create(UINT msg, UINT reserved);
    virtual int Reset() { return 1; }

    int DeviceOpen() { return device.Open(); }
    int DeviceClose() { return device.Close(); }
    WAVEFORMATEX& GetWaveFormatEx() { return device.wfx; }
    WAVESTATE GetWaveState() const { return device.waveState; }
    // 1 when the device failed during the current recording: it delivers no
    // more buffers until it is opened again.
    int DeviceLost() const { return device.bLost; }

    // Seconds to samples at the device's rate, rounded half away from zero.
    int Time2Sample(float seconds) const;
    // Samples to seconds; a rate of 0 or 1 counts as 1.
    float Sample2Time(int sample) const;

  protected:
    friend class WaveInAudio;
    // One filled buffer, already back at the device; derived classes consume it.
    virtual int ProcessData(WAVEHDR* pHdr);

  public:
    WaveInAudio device;
    tagWAVERATE nRate = RATE_11025;
    tagSAMPLESIZE nSampleSize = SAMPLE_16BIT;
};
