#include "capture/WaveInButtons.h"
#include "platform/MessageBox.h"
#include "support/NumUtil.h"

int WaveInButtons::Create(unsigned msg, unsigned reserved) {
    CButtons::Create(msg, reserved);
    if (!device.Create(this, nRate, nSampleSize)) {
        AfxMessageBox("Error: Unable to Access waveInAudio", MB_OK);
        return 0;
    }
    return 1;
}

void WaveInButtons::SetFormat(tagWAVERATE rate, tagSAMPLESIZE size) {
    nRate = device.nRate = rate;
    nSampleSize = device.nSampleSize = size;
    if (device.waveState == WAVE_CLOSED) device.wfx = MakeWaveFormat(rate, size);
}

int WaveInButtons::Start(CNotifyWnd owner) {
    bActive = 1;
    pOwnerWnd = owner;
    if (device.waveState != WAVE_OPEN) return 0;
    return device.Start();
}

int WaveInButtons::Cancel() {
    bActive = 0;
    int result = 1;
    if (device.waveState == WAVE_RECORDING) result = device.Stop();
    device.Reset();
    return result;
}

int WaveInButtons::ProcessData(WAVEHDR*) {
    return 1;
}

int WaveInButtons::Time2Sample(float seconds) const {
    return Round(double(device.wfx.nSamplesPerSec) * double(seconds));
}

float WaveInButtons::Sample2Time(int sample) const {
    unsigned int rate = device.wfx.nSamplesPerSec;
    if (rate <= 1) rate = 1;
    return float(sample) / float(rate);
}
