#include "capture/CaptureTypes.h"

namespace {
const unsigned int kRates[] = {8000, 11025, 22050, 44100, 48000};
constexpr int kRateCount = int(sizeof kRates / sizeof kRates[0]);
} // namespace

unsigned int RateOf(tagWAVERATE rate) {
    int i = int(rate);
    return i >= 0 && i < kRateCount ? kRates[i] : 11025;
}

unsigned int BitsOf(tagSAMPLESIZE size) {
    return size == SAMPLE_8BIT ? 8 : 16;
}

bool RateChoice(unsigned int samplesPerSec, tagWAVERATE& rate) {
    for (int i = 0; i < kRateCount; ++i)
        if (kRates[i] == samplesPerSec) {
            rate = tagWAVERATE(i);
            return true;
        }
    return false;
}

bool SizeChoice(unsigned int bits, tagSAMPLESIZE& size) {
    if (bits != 8 && bits != 16) return false;
    size = bits == 8 ? SAMPLE_8BIT : SAMPLE_16BIT;
    return true;
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
