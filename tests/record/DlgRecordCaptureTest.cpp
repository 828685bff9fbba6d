// The record dialog over the file sound devices: a recording from a raw file
// of known samples, its analysis and markers, saving the marked part, Next,
// OK and Cancel while recording, and refusals of unsafe item names.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "channels/SoftChanXMS.h"
#include "graph/GraphWnd.h"
#include "record/DlgSaving.h"
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace rectest;
namespace fs = std::filesystem;

namespace {
// A dialog that stops the recording from its first capture notification.
struct StopEarly : DlgRecord {
    using DlgRecord::DlgRecord;
    int notifications = 0;
    intptr_t WindowProc(unsigned msg, uintptr_t w, intptr_t l) override {
        intptr_t r = DlgRecord::WindowProc(msg, w, l);
        if (msg == WM_WAVEIN && ++notifications == 1) OnButtonStop();
        return r;
    }
};

const char* kNames[] = {"a01.wav", "a02.wav", "a03.wav"};
} // namespace

// Each test writes its capture input and ends without a message box shown,
// unless it clears the ones it expects.
class DlgRecordCapture : public ::testing::Test {
  protected:
    // seconds of input with a burst from 0.6 s to 1.2 s, as the capture input.
    const std::vector<uint8_t>& Input(double seconds) {
        input = BurstInput(seconds, 0.6, 1.2);
        WriteBytes(InFile(), input);
        return input;
    }
    void TearDown() override { EXPECT_TRUE(boxes.texts.empty()) << boxes.last(); }

    MessageCapture boxes;
    std::vector<uint8_t> input;
};

// 3 s of input with a burst from 0.6 s to 1.2 s, recorded for 2 s: the
// recording fills its channel and stops; channels 0, 1, 2; the markers stand
// 0.1 s outside the burst; Save writes exactly the marked samples.
TEST_F(DlgRecordCapture, RecordsAnalysesMarksAndSavesTheMarkedSamples) {
    Input(3.0);
    const std::string folder = NewFolder("save");
    DlgRecord d(folder.c_str(), kNames, 3);
    const int popupsBefore = DlgSaving::LiveCount();
    runWith(d, [&] {
        EXPECT_EQ(d.m_listTime.GetCurSel(), 0); // 2 sec
        recordToTheEnd(d);
        EXPECT_EQ(d.m_iWaveChan, 0);
        EXPECT_EQ(d.m_iVolumeChan, 2);
        EXPECT_EQ(d.m_channels.GetSize(), 3);
        SOFTCHAN_WAVE* w = d.GetWaveChan();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->RtnNel(), 22050);
        EXPECT_FLOAT_EQ(w->info.fOffset, 0.0f); // the last 0.1 s is silence
        SOFTCHAN* vol = d.m_channels.GetChan(2);
        ASSERT_NE(vol, nullptr);
        EXPECT_TRUE(vol->IsKindOf(RUNTIME_CLASS(SOFTCHAN_XMS)));
        EXPECT_EQ(vol->RtnNel(), 19900); // 199 points of 0.01 s
        EXPECT_EQ(states(d), kIdleWithRecording);

        // Every byte of the input up to the last sample written, in order.
        const long last = w->GetLastSavedSample();
        EXPECT_EQ(last, 2 * 11025 - 1);
        EXPECT_EQ(recorded(d, 0, last), expected(input, 0, last));

        const CRngFlt marks = d.GetMarkedTimes();
        EXPECT_NEAR(marks.Lo, 0.5, 0.02);
        EXPECT_NEAR(marks.Hi, 1.3, 0.02);
        long s = 0, e = 0;
        ASSERT_TRUE(d.GetMarkedSamples(s, e));
        EXPECT_LE(std::abs(double(s) - marks.Lo * 11025.0), 1.0);
        EXPECT_LE(std::abs(double(e) - marks.Hi * 11025.0), 1.0);

        EXPECT_EQ(d.m_bSaved, 0);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        EXPECT_EQ(DlgSaving::LiveCount(), popupsBefore + 1);
        EXPECT_EQ(WavData(folder + "/a01.wav"), expected(input, s, e));
        // The popup closes itself.
        EXPECT_TRUE(PumpUntil([&] { return DlgSaving::LiveCount() == popupsBefore; }));

        // Markers over the whole recording: the file holds every input byte.
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        d.m_pGraphWnd->SetStartEndTimes(0.0f, 2.0f);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(WavData(folder + "/a01.wav"), expected(input, 0, 2 * 11025 - 1));

        // Markers moved to 1.0 s and 0.5 s: samples 5512 ... 11025 are written.
        d.m_pGraphWnd->SetStartEndTimes(1.0f, 0.5f);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(WavData(folder + "/a01.wav"), expected(input, 5512, 11025));
        click(d, IDOK); // already saved: OK writes nothing new
    });
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// Stopped after its first buffers, a 300 s recording is measured from the DC
// level of what was recorded: constant 130 reads as 0, the unrecorded rest of
// the channel as -2 * 7.8125. Late or repeated full notifications do not
// analyse it again.
TEST_F(DlgRecordCapture, StopMeasuresTheDcLevelAndIgnoresLateNotifications) {
    WriteBytes(InFile(), std::vector<uint8_t>(size_t(20 * 11025), 130));
    StopEarly d(NewFolder("stop").c_str(), kNames, 1);
    runWith(d, [&] {
        d.m_listTime.SetCurSel(6); // 300 sec
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
        EXPECT_EQ(d.m_iTimeSel, 6);
        EXPECT_EQ(d.m_recorder.GetWaveState(), WAVE_CLOSED);
        EXPECT_EQ(states(d), kIdleWithRecording);
        SOFTCHAN_WAVE* w = d.GetWaveChan();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->RtnNel(), 300L * 11025);
        ASSERT_GE(w->GetLastSavedSample(), 0);
        ASSERT_LT(w->GetLastSavedSample(), 20 * 11025 - 2205);
        EXPECT_FLOAT_EQ(w->info.fOffset, 2.0f);
        EXPECT_FLOAT_EQ(w->GetVal(0), 0.0f);
        EXPECT_FLOAT_EQ(w->GetVal(w->RtnNel() - 1), -15.625f);
        SOFTCHAN* vol = d.m_channels.GetChan(d.m_iVolumeChan);
        ASSERT_NE(vol, nullptr);
        // The level steps up where the recording ends (0 before, 15.625
        // after): the "speech" runs from there to the end of the curve.
        const double recordedEnd = (w->GetLastSavedSample() + 1) / 11025.0;
        const CRngFlt marks = d.GetMarkedTimes();
        if (recordedEnd > 0.26)
            EXPECT_NEAR(marks.Lo, recordedEnd - 0.1, 0.02);
        else
            EXPECT_FLOAT_EQ(marks.Lo, 0.15f); // above the threshold from the start
        EXPECT_FLOAT_EQ(marks.Hi, vol->fDt * float(vol->RtnNel() - 1));

        // Notifications after the stop change nothing.
        d.PostMessage(DlgRecord::WM_WAVEIN, 100, 1);
        d.PostMessage(DlgRecord::WM_WAVEIN, 100, 0);
        PumpFor(50);
        EXPECT_EQ(d.m_channels.GetSize(), 3);
        EXPECT_FLOAT_EQ(w->info.fOffset, 2.0f);
        EXPECT_EQ(d.OnWaveIn(100, 0), 0);
        EXPECT_EQ(d.m_channels.GetSize(), 3);
        d.EndDialog(IDCANCEL);
    });
}

// OK while recording stops and analyses the recording, saves it, freezes the
// buttons and ends with IDOK a second later. A second dialog in the same
// process then works normally, and OK while it plays ends the playback, saves
// and ends the same way.
TEST_F(DlgRecordCapture, OkWhileRecordingOrPlayingSavesAndEndsLater) {
    Input(12.0);
    const std::string folder = NewFolder("ok");
    DlgRecord d(folder.c_str(), kNames, 3);
    int rc = runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_EQ(d.m_bRecording, 1);
        click(d, IDOK);
        EXPECT_EQ(DlgRecord::m_bShuttingDown, 1);
        EXPECT_EQ(d.m_bRecording, 0);
        EXPECT_EQ(d.m_iVolumeChan, 2);
        EXPECT_EQ(d.m_bSaved, 1);
        EXPECT_TRUE(d.HasTimer(DlgRecord::TIMER_SHUTDOWN));
        EXPECT_NE(d.GetSafeHwnd(), nullptr); // not ended yet
        EXPECT_EQ(states(d), kBusy);         // the buttons no longer change
        click(d, DlgRecord::IDC_BUTTON_STOP);
        EXPECT_EQ(d.m_channels.GetSize(), 3);
    });
    EXPECT_EQ(rc, IDOK);
    EXPECT_FALSE(WavData(folder + "/a01.wav").empty());

    WriteBytes(InFile(), input);
    DlgRecord second(folder.c_str(), kNames + 1, 1);
    rc = runWith(second, [&] {
        EXPECT_EQ(DlgRecord::m_bShuttingDown, 0);
        recordToTheEnd(second);
        EXPECT_EQ(states(second), kIdleWithRecording);
        click(second, DlgRecord::IDC_BUTTON_PLAY);
        click(second, IDOK);
        EXPECT_EQ(DlgRecord::m_bShuttingDown, 1);
        EXPECT_EQ(second.m_bSaved, 1);
        EXPECT_EQ(states(second), kBusy);
    });
    EXPECT_EQ(rc, IDOK);
    EXPECT_FALSE(second.m_pPlayThread.joinable());
    EXPECT_EQ(second.m_hWaveOut.load(), nullptr);
    EXPECT_TRUE(fs::exists(folder + "/a02.wav"));
}

// Cancel while recording stops the capture and saves nothing.
TEST_F(DlgRecordCapture, CancelWhileRecordingDiscards) {
    Input(12.0);
    const std::string folder = NewFolder("cancel");
    DlgRecord d(folder.c_str(), kNames, 3);
    int rc = runWith(d, [&] {
        d.m_listTime.SetCurSel(2);
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_EQ(d.m_bRecording, 1);
        QTest::keyClick(d.GetSafeHwnd(), Qt::Key_Escape);
    });
    EXPECT_EQ(rc, IDCANCEL);
    EXPECT_EQ(d.m_bRecording, 0);
    EXPECT_EQ(d.m_bSaved, 0);
    EXPECT_EQ(d.m_recorder.GetWaveState(), WAVE_CLOSED);
    EXPECT_EQ(d.m_recorder.pSoftChan, nullptr);
    PumpFor(100); // buffers still on their way find nothing to write into
    EXPECT_TRUE(fs::is_empty(folder));
}

// A dialog ended while its capture runs stops it when it is destroyed.
TEST_F(DlgRecordCapture, DestroyedWhileRecordingStopsTheCapture) {
    Input(12.0);
    {
        auto d = std::make_unique<DlgRecord>(NewFolder("destroy").c_str(), kNames, 1);
        runWith(*d, [&] {
            d->m_listTime.SetCurSel(6); // 300 sec: still running when the run ends
            click(*d, DlgRecord::IDC_BUTTON_START);
            d->EndDialog(IDOK); // bypasses OK's shutdown
        });
        EXPECT_EQ(d->m_bRecording, 1);
        EXPECT_EQ(d->m_recorder.GetWaveState(), WAVE_RECORDING);
    }
    PumpFor(100);
}

// "Next" saves first with Autosave, then discards the recording and selects
// the next item; while playing or recording it ends that first. Without
// Autosave nothing is saved; OK saves an unsaved recording and ends at once.
TEST_F(DlgRecordCapture, NextSavesWithAutosaveAndStopsAPlaybackOrRecording) {
    Input(12.0);
    const std::string folder = NewFolder("next");
    DlgRecord d(folder.c_str(), kNames, 3);
    int rc = runWith(d, [&] {
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_PLAY);
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        EXPECT_EQ(d.m_bPlaying, 0);
        EXPECT_FALSE(d.m_pPlayThread.joinable());
        EXPECT_TRUE(fs::exists(folder + "/a01.wav"));
        EXPECT_EQ(d.m_channels.GetSize(), 0);
        EXPECT_EQ(d.m_iWaveChan, -1);
        EXPECT_EQ(d.m_iVolumeChan, -1);
        EXPECT_EQ(d.m_bSaved, 0);
        EXPECT_EQ(d.m_strFile, "a02.wav");
        EXPECT_EQ(states(d), kIdleWithout);

        d.m_listTime.SetCurSel(2);
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_EQ(d.m_bRecording, 1);
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        EXPECT_EQ(d.m_bRecording, 0);
        EXPECT_EQ(d.m_recorder.GetWaveState(), WAVE_CLOSED);
        EXPECT_EQ(d.m_recorder.pSoftChan, nullptr);
        EXPECT_TRUE(fs::exists(folder + "/a02.wav"));
        EXPECT_EQ(d.m_strFile, "a03.wav");
        EXPECT_EQ(states(d), kIdleWithout);
        PumpFor(100);

        click(d, DlgRecord::IDC_CHECK_AUTOSAVE);
        WriteBytes(InFile(), input);
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        EXPECT_FALSE(fs::exists(folder + "/a03.wav"));
        EXPECT_EQ(d.m_strFile, "a03.wav"); // the last item stays
        recordToTheEnd(d);
        click(d, IDOK); // idle and unsaved: saves and ends at once
    });
    EXPECT_EQ(rc, IDOK);
    EXPECT_TRUE(fs::exists(folder + "/a03.wav"));
}

// Names that would leave the folder, or name nothing, are refused with code
// 20 and nothing is written; a missing folder gives code 10.
TEST_F(DlgRecordCapture, UnsafeItemNamesAndMissingFolderAreRefused) {
    Input(3.0);
    const std::string outer = NewFolder("unsafe");
    const std::string folder = outer + "/inner";
    fs::create_directories(folder);
    const std::string absolute = outer + "/absolute.wav";
    const char* names[] = {"../escape.wav", absolute.c_str(), "", "sub/../../up.wav", "ok.wav"};
    DlgRecord d(folder.c_str(), names, 5);
    runWith(d, [&] {
        recordToTheEnd(d);
        for (int i = 0; i < 4; ++i) {
            select(d, i);
            click(d, DlgRecord::IDC_BUTTON_SAVE);
            EXPECT_EQ(boxes.last(), "Error Saving to Dictionary - 20") << i;
            EXPECT_EQ(d.m_bSaved, 0);
        }
        select(d, 4);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(boxes.texts.size(), 4u);
    EXPECT_FALSE(fs::exists(outer + "/escape.wav"));
    EXPECT_FALSE(fs::exists(absolute));
    EXPECT_FALSE(fs::exists(TempDir() + "/up.wav"));
    EXPECT_TRUE(fs::exists(folder + "/ok.wav"));

    boxes.texts.clear();
    const std::string gone = NewFolder("gone");
    DlgRecord m(gone.c_str(), kNames, 1);
    fs::remove_all(gone);
    runWith(m, [&] {
        recordToTheEnd(m);
        click(m, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(boxes.last(), "Error Saving to Dictionary - 10");
        EXPECT_EQ(m.m_bSaved, 0);
        m.EndDialog(IDCANCEL);
    });
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_EQ(boxes.texts.size(), 1u);
    boxes.texts.clear(); // the boxes this test expects
}
