#include "capture/WaveInAudioWnd.h"
#include "capture/WaveInAudio.h"
#include "platform/Application.h"

BOOL CWaveInAudioWnd::CreateWnd() {
    // Windows need the GUI application; without one there is nothing to deliver to.
    if (!CWinApp::HaveGui()) return FALSE;
    if (!CreateHidden()) return FALSE;
    SetWindowText("WaveInAudioWnd");
    return IsWindow();
}

LRESULT CWaveInAudioWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == MM_WIM_DATA && m_pAudio)
        m_pAudio->BufferDone(reinterpret_cast<HWAVEIN>(wParam), reinterpret_cast<WAVEHDR*>(lParam));
    return CWnd::WindowProc(msg, wParam, lParam);
}

void CWaveInAudioWnd::PostNcDestroy() {
    if (m_pAudio) m_pAudio->WindowGone();
    delete this;
}
