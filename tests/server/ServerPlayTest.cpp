// Playback through the sound server: the marked part reaches the server's
// speakers, in real time, and Stop cuts it short at once.
#include "MessageCapture.h"
#include "ServerDriver.h"
#include "graph/GraphWnd.h"
#include <QElapsedTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace servertest;
using SoundServerPlay = ServerTest;

namespace {
bool Idle(DlgRecord& d) {
    return !d.m_bPlaying && !d.HasTimer(DlgRecord::TIMER_CURSOR);
}

// Milliseconds from clicking id until the dialog is idle again.
qint64 MsUntilIdle(DlgRecord& d, int id) {
    QElapsedTimer t;
    t.start();
    click(d, id);
    EXPECT_TRUE(PumpUntil([&] { return Idle(d); }, 15000));
    return t.elapsed();
}

size_t FileSize(const std::string& path) {
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    return ec ? 0 : size_t(n);
}

double Energy(const std::vector<double>& v, long from, long to) {
    double e = 0;
    for (long i = std::max(0L, from); i < std::min(long(v.size()), to); ++i)
        e += v[size_t(i)] * v[size_t(i)];
    return e;
}

// Records the word in the format, marks from its start to its middle, plays
// that and records the speakers' monitor at the same rate: the heard sound is
// the marked part, to its last sample.
void ExpectMarkedPartHeard(int rate, int bits) {
    MessageCapture boxes;
    const char* names[] = {"p01.wav"};
    DlgRecord d(TempDir().c_str(), names, 1);
    d.SetOptions(FormatOptions(rate, bits));
    runWith(d, [&] {
        RecordWord(d, 0);
        const CRngFlt word = d.GetMarkedTimes();
        d.m_pGraphWnd->SetStartEndTimes(word.Lo, (word.Lo + word.Hi) / 2);
        const std::vector<double> marked = MarkedSamples(d);
        ASSERT_GT(marked.size(), size_t(rate / 5));

        const std::string heardFile = TempDir() + "/heard.raw";
        Process recorder(RecordSpeakers(rate), heardFile);
        // The monitor recording runs once the server has its stream.
        ASSERT_TRUE(PumpUntil([] { return !Pactl("list short source-outputs").empty(); }, 5000));
        MsUntilIdle(d, DlgRecord::IDC_BUTTON_PLAY);
        // Everything played, and a little more, is in the file.
        const size_t want = 2 * (marked.size() + size_t(rate / 5));
        EXPECT_TRUE(PumpUntil([&] { return FileSize(heardFile) >= want; }, 5000));
        EXPECT_TRUE(recorder.Interrupt());
        const std::vector<double> heard = RawSamples16(heardFile);
        long lag = 0;
        EXPECT_GE(BestCorrelation(marked, heard, &lag), 0.9);
        // The last 40 ms, where the part was played to (the path's gain is 1).
        const long n = long(marked.size()), tail = rate / 25;
        double mean = 0;
        for (double x : marked)
            mean += x / double(n);
        std::vector<double> end(marked.end() - tail, marked.end());
        for (double& x : end)
            x -= mean;
        EXPECT_GE(Energy(heard, lag + n - tail, lag + n), 0.5 * Energy(end, 0, tail));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
}
} // namespace

// "Play" sends the marked part to the default sink: what the speakers' monitor
// hears is the marked part, to its last sample, at the default format and at
// 16-bit 48000 Hz. The part ends inside the word, so a device that lost what
// it still held at the end would be heard.
TEST_F(SoundServerPlay, MarkedPartReachesTheSpeakers) {
    ExpectMarkedPartHeard(kCompareRate, 8);
}

TEST_F(SoundServerPlay, MarkedPartReachesTheSpeakersAtSixteenBits48kHz) {
    ExpectMarkedPartHeard(48000, 16);
}

// A playback of the whole 2 s recording lasts as long as the sound (it runs in
// real time); Stop half a second into a second one ends it within a tenth of
// that, i.e. 200 ms.
TEST_F(SoundServerPlay, StopEndsARealTimePlaybackAtOnce) {
    MessageCapture boxes;
    const char* names[] = {"s01.wav"};
    DlgRecord d(TempDir().c_str(), names, 1);
    runWith(d, [&] {
        RecordWord(d, 0);
        d.m_pGraphWnd->SetStartEndTimes(0.0f, 2.0f);
        const qint64 full = MsUntilIdle(d, DlgRecord::IDC_BUTTON_PLAY);
        EXPECT_GE(double(full) / 2000.0, 0.95) << "played faster than real time: " << full;

        click(d, DlgRecord::IDC_BUTTON_PLAY);
        ASSERT_TRUE(d.m_bPlaying);
        PumpUntil([] { return false; }, 500);
        ASSERT_TRUE(d.m_bPlaying);
        const qint64 stop = MsUntilIdle(d, DlgRecord::IDC_BUTTON_STOP);
        EXPECT_LE(double(stop) / double(full), 0.1) << stop << " ms of " << full;
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
}
