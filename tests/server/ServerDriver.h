// Driving the record dialog against the test sound server: a recording of
// the spoken word, played into the microphone feed while the dialog records.
#pragma once
#include "SoundServer.h"
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

// The samples of the marked part, as played and saved, centred on 0.
inline std::vector<double> MarkedSamples(DlgRecord& d) {
    long first = 0, last = -1;
    std::vector<double> v;
    if (!d.GetMarkedSamples(first, last)) return v;
    for (long k = first; k <= last; ++k)
        v.push_back(double(d.GetWaveChan()->GetRawVal(k)) - 128.0);
    return v;
}

// The capture keeps the whole byte pairs of each 0.2 s buffer, 2204 of its 2205
// samples at the default format, so the recording loses one sample per buffer
// against the source's time base. Puts a sample back (its predecessor again)
// at each such place in samples taken from channel sample first on.
inline std::vector<double> WithDroppedSamplesBack(const std::vector<double>& v, long first) {
    constexpr long kKept = 2204;
    std::vector<double> out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (i > 0 && (first + long(i)) % kKept == 0) out.push_back(v[i - 1]);
        out.push_back(v[i]);
    }
    return out;
}

} // namespace servertest
