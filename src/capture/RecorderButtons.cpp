#include "capture/RecorderButtons.h"
#include "channels/SoftChanWave.h"

#include <algorithm>

int RecorderButtons::Create(unsigned msg, unsigned reserved, tagWAVERATE rate, tagSAMPLESIZE size) {
    nRate = rate;
    nSampleSize = size;
    return WaveInButtons::Create(msg, reserved);
}

int RecorderButtons::ProcessData(WAVEHDR* pHdr) {
    if (!pSoftChan || !pHdr) return 1;
    // A buffer that arrives after the channel has reported full (before the
    // owner has handled that report and stopped) only fills the samples still
    // free; the rest of it is dropped instead of wrapping over the start of
    // the recording.
    const long room = std::max(0L, pSoftChan->RtnNel() - 1 - pSoftChan->GetLastSavedSample());
    const int nBytes =
        int(std::min<long>(long(pHdr->dwBytesRecorded), room * pSoftChan->BytesPerSample()));
    int full = pSoftChan->InsertValues(nBytes, reinterpret_cast<const uint8_t*>(pHdr->lpData));
    // A device that has gone delivers nothing more: the owner stops as on a
    // full channel and keeps what was captured.
    if (DeviceLost()) full = 1;
    pOwnerWnd.PostMessage(nMsg, kNotifyWParam, full);
    return 1;
}
