// Playback of the marked part into the file playback device, stopping it,
// a failed start, and ending the dialog while a playback runs.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "graph/GraphWnd.h"
#include <filesystem>
#include <gtest/gtest.h>

using namespace rectest;
namespace fs = std::filesystem;

namespace {
// Waits until the worker has handed the end back and the cursor timer stopped.
void waitForIdle(DlgRecord& d) {
    ASSERT_TRUE(PumpUntil([&] { return !d.m_bPlaying && !d.HasTimer(DlgRecord::TIMER_CURSOR); }));
}

const char* kNames[] = {"p01.wav", "p02.wav"};
} // namespace

// The samples between the markers, in whatever order the markers stand, are
// played, byte for byte as the capture input had them; markers outside the
// recording are clamped to it (the whole recording: every input byte). Stop cuts a
// playback short: what was played is the start of the marked part. A playback
// device that cannot be opened gives " Error Playing Sound" and the dialog is
// idle again at once. After each, the dialog is idle with Play enabled.
TEST(DlgRecordPlay, PlaysTheMarkedSamplesStopsAndSurvivesAFailedStart) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = BurstInput(12.0, 0.6, 1.2);
    WriteBytes(InFile(), input);
    DlgRecord d(NewFolder("play").c_str(), kNames, 2);
    runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        recordToTheEnd(d);
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        struct Case {
            float start, end;
            long first, last;
        } cases[] = {
            {1.0f, 0.5f, 5512, 11025},  // reversed markers
            {0.7f, 0.7f, 7717, 7717},   // one sample
            {-1.0f, 100.0f, 0, 110249}, // clamped to the recording
        };
        for (const Case& c : cases) {
            d.m_pGraphWnd->SetStartEndTimes(c.start, c.end);
            fs::remove(OutFile());
            click(d, DlgRecord::IDC_BUTTON_PLAY);
            EXPECT_EQ(states(d), kBusy);
            waitForIdle(d);
            EXPECT_EQ(states(d), kIdleWithRecording);
            EXPECT_EQ(d.m_hWaveOut.load(), nullptr);
            EXPECT_FALSE(d.m_pPlayThread.joinable());
            EXPECT_LT(d.m_fLastCursor, 0.0f);
            EXPECT_EQ(ReadBytes(OutFile()), expected(input, c.first, c.last)) << c.start;
        }

        d.m_pGraphWnd->SetStartEndTimes(0.0f, 10.0f);
        fs::remove(OutFile());
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        click(d, DlgRecord::IDC_BUTTON_STOP);
        waitForIdle(d);
        EXPECT_EQ(states(d), kIdleWithRecording);
        const std::vector<uint8_t> played = ReadBytes(OutFile());
        ASSERT_LE(played.size(), 110250u);
        EXPECT_EQ(played, recorded(d, 0, long(played.size()) - 1));
        EXPECT_TRUE(boxes.texts.empty()) << boxes.last();

        {
            EnvGuard noDevice("VOK_AUDIO_DEVICE", "no-such-device-anywhere");
            click(d, DlgRecord::IDC_BUTTON_PLAY);
        }
        EXPECT_EQ(boxes.texts, std::vector<std::string>{" Error Playing Sound"});
        EXPECT_EQ(d.m_bPlaying, 0);
        EXPECT_EQ(d.m_hWaveOut.load(), nullptr);
        EXPECT_FALSE(d.m_pPlayThread.joinable());
        EXPECT_EQ(states(d), kIdleWithRecording);
        waitForIdle(d);
        // The next playback works.
        d.m_pGraphWnd->SetStartEndTimes(0.5f, 1.0f);
        fs::remove(OutFile());
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        waitForIdle(d);
        EXPECT_EQ(ReadBytes(OutFile()), recorded(d, 5512, 11025));
        EXPECT_EQ(boxes.texts.size(), 1u);
        d.EndDialog(IDCANCEL);
    });
}

// Cancel while playing first ends the playback, so no device is left reading
// from the channels, and saves nothing. (Next and OK while playing: see
// DlgRecordCapture.)
TEST(DlgRecordPlay, CancelWhilePlayingEndsThePlaybackAndSavesNothing) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(12.0, 0.6, 1.2));
    const std::string folder = NewFolder("playend");
    DlgRecord d(folder.c_str(), kNames, 2);
    int rc = runWith(d, [&] {
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        QTest::keyClick(d.GetSafeHwnd(), Qt::Key_Escape);
    });
    EXPECT_EQ(rc, IDCANCEL);
    EXPECT_FALSE(d.m_pPlayThread.joinable());
    EXPECT_EQ(d.m_hWaveOut.load(), nullptr);
    PumpFor(50);
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}
