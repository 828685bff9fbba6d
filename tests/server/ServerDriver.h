// Driving the record dialog against the test sound server: a recording of
// the spoken word, played into the microphone feed while the dialog records.
#pragma once
#include "SoundServer.h"
#include "channels/SoftChanWave.h"
#include "record/DlgDriver.h"

namespace servertest {

using rectest::click;
using rectest::runWith;
using testloop::PumpUntil;

// Records with the record time of list entry timeSel while the word is played
// into the microphone feed, until the recording ends by itself.
inline void RecordWord(DlgRecord& d, int timeSel) {
    d.m_listTime.SetCurSel(timeSel);
    click(d, DlgRecord::IDC_BUTTON_START);
    ASSERT_EQ(d.m_bRecording, 1);
    Process player(PlayIntoMic(Word().feed), TempDir() + "/player.out");
    ASSERT_TRUE(player.Started());
    ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
    ASSERT_TRUE(player.Wait(5000));
    EXPECT_EQ(player.Status(), 0);
}

// The samples of the marked part, as played and saved, centred on 0 in
// counts of 8 bits (16-bit samples divided by 256).
inline std::vector<double> MarkedSamples(DlgRecord& d) {
    long first = 0, last = -1;
    std::vector<double> v;
    if (!d.GetMarkedSamples(first, last)) return v;
    SOFTCHAN_WAVE* w = d.GetWaveChan();
    const bool wide = w->BytesPerSample() == 2;
    for (long k = first; k <= last; ++k)
        v.push_back(wide ? double(w->GetRawVal(k)) / 256.0 : double(w->GetRawVal(k)) - 128.0);
    return v;
}

// The options of a recording at rate and bits.
inline RECORD_OPTIONS FormatOptions(int rate, int bits) {
    RECORD_OPTIONS o;
    o.nRate = rate;
    o.nBits = bits;
    return o;
}

} // namespace servertest
