#include "capture/RecorderButtons.h"
#include "channels/SoftChanWave8.h"

int RecorderButtons::Create(UINT msg, UINT reserved, tagWAVERATE rate, tagSAMPLESIZE size) {
    nRate = rate;
    nSampleSize = size;
    return WaveInButtons::Create(msg, reserved);
}

int RecorderButtons::ProcessData(WAVEHDR* pHdr) {
    if (!pSoftChan || !pHdr) return 1;
    int full = pSoftChan->InsertValues(int(pHdr->dwBytesRecorded),
                                       reinterpret_cast<const uint8_t*>(pHdr->lpData));
    pOwnerWnd.PostMessage(nMsg, kNotifyWParam, full);
    return 1;
}
