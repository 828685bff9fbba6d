// A recording as the "Record Item" dialog makes it, for the analysis tests: a
// wave channel of the given record time filled with `seconds` of signal in
// 0.2-s buffers until it reports full.
#pragma once
#include "channels/SoftChanWave8.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace rectest {
constexpr long kRate = 11025;
constexpr int kBuffer = 2205;

struct Recording {
    SOFTCHANNELS list;
    SOFTCHAN_WAVE8* wave;
    Recording(long recordSeconds, double seconds, const std::function<uint8_t(long)>& sample) {
        ADCHANINFO info = RecordingChannelInfo();
        wave = new SOFTCHAN_WAVE8(list.GetFreeChan(-1), recordSeconds * kRate, float(1.0L / kRate),
                                  &info);
        list.AddChan(wave);
        const long total = long(seconds * kRate);
        std::vector<uint8_t> buf(kBuffer);
        for (long pos = 0; pos + kBuffer <= total; pos += kBuffer) {
            for (int k = 0; k < kBuffer; ++k)
                buf[size_t(k)] = sample(pos + k);
            if (wave->InsertValues(kBuffer, buf.data())) break;
        }
    }
};
} // namespace rectest
