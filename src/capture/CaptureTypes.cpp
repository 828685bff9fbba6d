#include "capture/CaptureTypes.h"

unsigned int RateOf(tagWAVERATE rate) {
    static const unsigned int rates[] = {8000, 11025, 22050, 44100};
    int i = int(rate);
    return i >= 0 && i < 4 ? rates[i] : 11025;
}

unsigned int BitsOf(tagSAMPLESIZE size) {
    return size == SAMPLE_8BIT ? 8 : 16;
}

WAVEFORMATEX MakeWaveFormat(tagWAVERATE rate, tagSAMPLESIZE size) {
    WAVEFORMATEX f{};
    unsigned int r = RateOf(rate), bits = BitsOf(size);
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = r;
    f.wBitsPerSample = uint16_t(bits);
    f.nBlockAlign = uint16_t(bits / 8);
    f.nAvgBytesPerSec = (bits * r) / 8;
    f.cbSize = 0;
    return f;
}
