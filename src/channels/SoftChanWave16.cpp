#include "channels/SoftChanWave16.h"

IMPLEMENT_DYNCREATE(SOFTCHAN_WAVE16, SOFTCHAN_WAVE)

int SOFTCHAN_WAVE16::GetRawVal(long i) {
    if (i < 0 || i >= RtnNel()) return 32767;
    return m_pSamples ? Samples()[i] : 0;
}
