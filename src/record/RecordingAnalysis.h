// What the "Record Item" dialog does with a recording once the capture has
// stopped: remove its DC level, derive the level channel, sample that every
// 10 ms into the "Volume" curve and locate the speech in the curve. The dialog
// and the command-line analysis both call AnalyseRecording, so that they agree
// to the last bit.
#pragma once
#include "channels/SoftChan.h"
#include "platform/Export.h"
#include "record/RecordOptions.h"
#include "support/Range.h"

class SOFTCHANNELS;
class SOFTCHAN_WAVE;

struct RECORDING_ANALYSIS {
    // DC level stored in the wave channel's info.fOffset, in volts of that info
    // (with the dialog's channel info a whole number of counts).
    float fOffset = 0.0f;
    // Points of the "Volume" curve (one per 0.01 s of the wave channel's capacity).
    long nPoints = 0;
    // Channel numbers given to the level channel and the "Volume" curve; -1 when
    // the channel could not be made.
    int iLevelChan = -1;
    int iVolumeChan = -1;
    // Start (Lo) and end (Hi) of the speech in seconds; when nothing was located,
    // 0.25 s and the end of the curve.
    CRngFlt range;
    // 1 when speech was located, 0 when range holds the defaults.
    int bLocated = 0;
};

// The channel info a recording's wave channel is built from, named "Volume",
// full scale reading as +-1000 at either sample size: 8-bit counts around 128,
// one count reading as 7.8125 (-1000 ... +992.1875); 16-bit counts around 0,
// one count reading as 1000 / 32768 (-1000 ... +999.97).
VOK_API ADCHANINFO RecordingChannelInfo(int bits = 8);

// DC level over the last 0.1 s written to w (up to its last saved sample), as
// the offset to subtract: RawToVolts(ValueToRaw(mean)) of w's info. 0 when
// nothing has been written. Stores it in w.info.fOffset and returns it.
VOK_API float RemoveDcLevel(SOFTCHAN_WAVE& w);

// Points of the "Volume" curve for a wave channel of nel samples of dt seconds:
// trunc(nel * dt * 100) in extended precision (199 for 2 s at 11025 Hz).
VOK_API long VolumePointCount(long nel, float dt);

// Runs the whole analysis on channel iWaveChan of channels, which must be a
// wave channel (SOFTCHAN_WAVE8 or SOFTCHAN_WAVE16) added to the list:
//   1. RemoveDcLevel on it;
//   2. adds a SOFTCHAN_LE (window 0.01 s, ratio 1, scale 1) reading it, under
//      the lowest free number;
//   3. adds the "Volume" SOFTCHAN_XMS (nPoints points of 0.01 s, units "",
//      x units "Sec", x label "Time") under the next lowest free number and
//      fills point i with the level at i * 0.01 s;
//   4. locates the speech in the curve: LocateSpeech, or LocateSpeechRefined
//      when locator is LOCATOR_REFINED.
// After a DeleteAll the channels are 0 (wave), 1 (level) and 2 ("Volume").
// Returns 1 when the curve was made (result.bLocated tells whether speech was
// found); 0 when iWaveChan is not a wave channel of the list or no channel
// number is free; result then holds what was done (defaults otherwise).
// Runs on the dialog's thread; the channels must not be written meanwhile.
VOK_API int AnalyseRecording(SOFTCHANNELS& channels, int iWaveChan, RECORDING_ANALYSIS& result,
                             int locator = LOCATOR_SPEC);
