// Playback of the marked part into the file playback device, stopping it,
// a failed start, and ending the dialog while a playback runs.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "RecordTestEnv.h"
#include "channels/SoftChanWave8.h"
#include "graph/GraphWnd.h"
#include "record/DlgRecord.h"
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

using namespace rectest;
namespace fs = std::filesystem;

namespace {
// Waits until the worker has handed the end back and the cursor timer stopped.
void waitForIdle(DlgRecord& d) {
    ASSERT_TRUE(PumpUntil([&] { return !d.m_bPlaying && !d.HasTimer(DlgRecord::TIMER_CURSOR); }));
}

std::vector<uint8_t> channelBytes(DlgRecord& d, long first, long last) {
    std::vector<uint8_t> v;
    for (long k = first; k <= last; ++k)
        v.push_back(uint8_t(d.GetWaveChan()->GetRawVal(k)));
    return v;
}

const char* kNames[] = {"p01.wav", "p02.wav"};
} // namespace

// The samples between the markers, in whatever order the markers stand, are
// played; markers outside the recording are clamped to it.
TEST(DlgRecordPlay, PlaysTheMarkedSamples) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    DlgRecord d(NewFolder("play").c_str(), kNames, 2);
    runWith(d, [&] {
        recordToTheEnd(d);
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        struct Case {
            float start, end;
            long first, last;
        } cases[] = {
            {1.0f, 0.5f, 5512, 11025}, // reversed markers
            {0.7f, 0.7f, 7717, 7717},  // one sample
            {-1.0f, 100.0f, 0, 22049}, // clamped to the recording
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
            EXPECT_EQ(ReadBytes(OutFile()), channelBytes(d, c.first, c.last)) << c.start;
        }
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// Stop cuts the playback short: what was played is the start of the marked
// part, and the dialog is idle again with Play enabled.
TEST(DlgRecordPlay, StopCutsThePlaybackShort) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(12.0, 0.6, 1.2));
    DlgRecord d(NewFolder("playstop").c_str(), kNames, 2);
    runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        recordToTheEnd(d);
        d.m_pGraphWnd->SetStartEndTimes(0.0f, 10.0f);
        fs::remove(OutFile());
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        click(d, DlgRecord::IDC_BUTTON_STOP);
        waitForIdle(d);
        EXPECT_EQ(states(d), kIdleWithRecording);
        const std::vector<uint8_t> played = ReadBytes(OutFile());
        ASSERT_LE(played.size(), 110250u);
        EXPECT_EQ(played, channelBytes(d, 0, long(played.size()) - 1));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// A playback device that cannot be opened: " Error Playing Sound", and the
// dialog is idle again at once; the next playback works.
TEST(DlgRecordPlay, FailedStartReturnsToIdle) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    DlgRecord d(NewFolder("playfail").c_str(), kNames, 2);
    runWith(d, [&] {
        recordToTheEnd(d);
        {
            EnvGuard noDevice("VOK_AUDIO_DEVICE", "no-such-device-anywhere");
            click(d, DlgRecord::IDC_BUTTON_PLAY);
        }
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.last(), " Error Playing Sound");
        EXPECT_EQ(d.m_bPlaying, 0);
        EXPECT_EQ(d.m_hWaveOut.load(), nullptr);
        EXPECT_FALSE(d.m_pPlayThread.joinable());
        EXPECT_EQ(states(d), kIdleWithRecording);
        waitForIdle(d);

        d.m_pGraphWnd->SetStartEndTimes(0.5f, 1.0f);
        fs::remove(OutFile());
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        waitForIdle(d);
        EXPECT_EQ(ReadBytes(OutFile()).size(), 5514u);
        EXPECT_EQ(boxes.texts.size(), 1u);
        d.EndDialog(IDCANCEL);
    });
}

// Cancel, Next and OK while playing first end the playback, so no device is
// left reading from the channels.
TEST(DlgRecordPlay, CancelNextAndOkWhilePlaying) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = BurstInput(12.0, 0.6, 1.2);
    WriteBytes(InFile(), input);
    const std::string folder = NewFolder("playend");
    {
        DlgRecord d(folder.c_str(), kNames, 2);
        int rc = runWith(d, [&] {
            recordToTheEnd(d);
            click(d, DlgRecord::IDC_BUTTON_PLAY);
            QTest::keyClick(d.GetSafeHwnd(), Qt::Key_Escape);
        });
        EXPECT_EQ(rc, IDCANCEL);
        EXPECT_FALSE(d.m_pPlayThread.joinable());
        EXPECT_EQ(d.m_hWaveOut.load(), nullptr);
        EXPECT_TRUE(fs::is_empty(folder));
    }
    {
        WriteBytes(InFile(), input);
        DlgRecord d(folder.c_str(), kNames, 2);
        runWith(d, [&] {
            recordToTheEnd(d);
            click(d, DlgRecord::IDC_BUTTON_PLAY);
            click(d, DlgRecord::IDC_BUTTON_NEXT);
            EXPECT_EQ(d.m_bPlaying, 0);
            EXPECT_FALSE(d.m_pPlayThread.joinable());
            EXPECT_EQ(d.m_channels.GetSize(), 0);
            EXPECT_EQ(d.m_strFile, "p02.wav");
            EXPECT_EQ(states(d), (std::vector<bool>{true, false, false, false}));
            PumpFor(100);
            d.EndDialog(IDCANCEL);
        });
        EXPECT_TRUE(fs::exists(folder + "/p01.wav")); // Autosave before moving on
    }
    {
        WriteBytes(InFile(), input);
        DlgRecord d(folder.c_str(), kNames + 1, 1);
        int rc = runWith(d, [&] {
            fs::remove(folder + "/p02.wav");
            recordToTheEnd(d);
            click(d, DlgRecord::IDC_BUTTON_PLAY);
            click(d, IDOK);
            EXPECT_EQ(DlgRecord::m_bShuttingDown, 1);
            EXPECT_EQ(d.m_bSaved, 1);
            EXPECT_EQ(states(d), kBusy); // frozen until the dialog ends
        });
        EXPECT_EQ(rc, IDOK);
        EXPECT_TRUE(fs::exists(folder + "/p02.wav"));
    }
    PumpFor(50);
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}
