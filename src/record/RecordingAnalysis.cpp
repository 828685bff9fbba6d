#include "record/RecordingAnalysis.h"

#include "channels/SoftChanLE.h"
#include "channels/SoftChanWave.h"
#include "channels/SoftChanXMS.h"
#include "record/LocateSpeech.h"
#include "record/LocateSpeechRefined.h"
#include "record/SoftChannels.h"
#include "support/NumUtil.h"

#include <algorithm>

namespace {
constexpr double kDcSpan = 0.1;      // seconds at the end of the recording
constexpr float kMinDcDt = 0.00001f; // divisor floor for the span
constexpr float kLevelWindow = 0.01f;
constexpr float kPointDt = 0.01f; // seconds per "Volume" point
} // namespace

ADCHANINFO RecordingChannelInfo(int bits) {
    ADCHANINFO info;
    info.fGain = bits == 16 ? 1000.0f / 32768.0f : 7.8125f;
    info.fResolution = 1.0f;
    info.nZero = bits == 16 ? 0 : 128;
    info.strName = "Volume";
    return info;
}

float RemoveDcLevel(SOFTCHAN_WAVE& w) {
    const float d = w.fDt > kMinDcDt ? w.fDt : kMinDcDt;
    const long k = Round(kDcSpan / d);
    long last = w.GetLastSavedSample();
    // Capture stops at the first full report, before any wrap; a channel filled
    // further still has its last saved index past the samples: read up to its end.
    if (last > w.RtnNel() - 1) last = w.RtnNel() - 1;
    long a = last - k;
    if (a < 0) a = 0;
    float sum = 0.0f;
    long count = 1;
    if (a <= last) {
        for (long i = a; i <= last; ++i)
            sum += w.GetVal(i);
        count = last - a + 1;
    }
    const float mean = sum / float(count);
    w.info.fOffset = w.info.RawToVolts(w.info.ValueToRaw(mean));
    return w.info.fOffset;
}

namespace {
// Seconds of w written by the capture (all of it when filled further).
float RecordedSeconds(SOFTCHAN_WAVE& w) {
    const long last = std::min(long(w.GetLastSavedSample()), w.RtnNel() - 1);
    return float(double(last + 1) * double(w.fDt));
}
} // namespace

long VolumePointCount(long nel, float dt) {
    const long double p = static_cast<long double>(nel) * static_cast<long double>(dt) * 100.0L;
    if (!(p > 0.0L)) return 0;
    if (p >= 2147483647.0L) return 2147483647L;
    return long(p);
}

int AnalyseRecording(SOFTCHANNELS& channels, int iWaveChan, RECORDING_ANALYSIS& result,
                     int locator) {
    result = RECORDING_ANALYSIS();
    SOFTCHAN* ch = channels.GetChan(iWaveChan);
    if (!ch || !ch->IsKindOf(RUNTIME_CLASS(SOFTCHAN_WAVE))) return 0;
    auto& w = static_cast<SOFTCHAN_WAVE&>(*ch);

    result.fOffset = RemoveDcLevel(w);

    const int levelChan = channels.GetFreeChan(-1);
    if (levelChan < 0) return 0;
    auto* level = new SOFTCHAN_LE(levelChan, iWaveChan, kLevelWindow, 1.0f, 1.0f);
    channels.AddChan(level);
    result.iLevelChan = levelChan;

    const int volumeChan = channels.GetFreeChan(-1);
    if (volumeChan < 0) return 0;
    result.nPoints = VolumePointCount(w.RtnNel(), w.fDt);
    auto* volume =
        new SOFTCHAN_XMS(volumeChan, result.nPoints, kPointDt, "Volume", "", "Sec", "Time");
    channels.AddChan(volume);
    result.iVolumeChan = volumeChan;

    // A curve whose points could not be allocated stays empty rather than written past.
    const long stored = volume->arr.GetSize();
    for (long i = 0; i < result.nPoints && i < stored; ++i)
        volume->arr[int32_t(i)] = level->GetValAtTime(float(i) * kPointDt);

    result.range = CRngFlt(0.0f, 0.0f);
    result.bLocated = locator == LOCATOR_REFINED
                          ? LocateSpeechRefined(*volume, result.range, RecordedSeconds(w))
                          : LocateSpeech(*volume, result.range);
    return 1;
}
