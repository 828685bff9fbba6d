// CWaveInAudioWnd: the hidden window that receives the wave-in device's
// buffer-done messages and passes them to its WaveInAudio. Like every window it
// lives on the GUI thread, so the engine is created there and its buffers are
// handled there, in the GUI thread's event loop. It deletes itself once its
// window is destroyed.
#pragma once
#include "platform/Wnd.h"

class WaveInAudio;

class CWaveInAudioWnd : public CWnd {
  public:
    explicit CWaveInAudioWnd(WaveInAudio* pAudio) : m_pAudio(pAudio) {}

    // Creates the hidden window, titled "WaveInAudioWnd"; false on failure.
    bool CreateWnd();
    intptr_t WindowProc(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

    WaveInAudio* m_pAudio; // cleared when the device object goes first

  protected:
    void PostNcDestroy() override;
};
