// The dialog's session aids, each switched on by its option and driven with
// real clicks and key presses on the real dialog over the file devices: done
// marks and "n of m recorded", resume, the level meter with "Clipped" and
// "Very quiet", the keyboard shortcuts and marker steps, and the help text.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "graph/GraphTestSupport.h"
#include "graph/GraphWnd.h"
#include "graph/LevelMeterWnd.h"
#include "support/AppPaths.h"
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace rectest;

namespace {
const char* kNames[] = {"a01", "a02", "a03"};

RECORD_OPTIONS With(int RECORD_OPTIONS::*field) {
    RECORD_OPTIONS o;
    o.*field = 1;
    return o;
}

std::vector<bool> marks(DlgRecord& d) {
    std::vector<bool> v;
    for (int i = 0; i < d.m_listFile.GetCount(); ++i)
        v.push_back(d.m_listFile.GetItemMark(i));
    return v;
}

std::string text(DlgRecord& d, int id) {
    CControl* c = d.GetDlgItem(id);
    return c ? c->GetWindowText() : "(none)";
}

// n seconds of a tone at half the rate, of the given amplitude around 128
// (8-bit): any part of it, however the buffers cut it, has peak and RMS a.
std::vector<uint8_t> Tone(double seconds, int amplitude) {
    std::vector<uint8_t> v(size_t(seconds * 11025));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = uint8_t(128 + (i % 2 ? amplitude : -amplitude));
    return v;
}

// A key press as the user makes it: into the active dialog, at the focused
// control or w.
void key(DlgRecord& d, QWidget* w, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* dlg = d.GetSafeHwnd();
    if (!dlg->isActiveWindow()) {
        dlg->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg));
    }
    QTest::keyClick(w ? w : dlg, k, m);
}
} // namespace

TEST(DlgRecordSession, MarksAndCountFollowTheFilesInTheFolder) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.5, 1.0));
    const std::string folder = NewFolder("progress");
    WriteBytes(folder + "/a02", {1, 2, 3});
    {
        DlgRecord off(folder.c_str(), kNames, 3);
        runWith(off, [&] {
            EXPECT_EQ(marks(off), (std::vector<bool>{false, false, false}));
            EXPECT_EQ(off.GetDlgItem(DlgRecord::IDC_STATIC_PROGRESS), nullptr);
            off.EndDialog(IDCANCEL);
        });
    }
    DlgRecord d(folder.c_str(), kNames, 3);
    d.SetOptions(With(&RECORD_OPTIONS::bProgress));
    runWith(d, [&] {
        EXPECT_EQ(marks(d), (std::vector<bool>{false, true, false}));
        EXPECT_EQ(text(d, DlgRecord::IDC_STATIC_PROGRESS), "1 of 3 recorded");
        EXPECT_EQ(d.m_listFile.GetText(1), "a02"); // the entry's text is the name
        recordToTheEnd(d);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(marks(d), (std::vector<bool>{true, true, false}));
        EXPECT_EQ(text(d, DlgRecord::IDC_STATIC_PROGRESS), "2 of 3 recorded");
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

TEST(DlgRecordSession, ResumeSelectsTheFirstItemWithoutAFile) {
    const std::string folder = NewFolder("resume");
    WriteBytes(folder + "/a01", {1});
    WriteBytes(folder + "/a03", {1});
    struct Case {
        int resume;
        int sel;
        const char* file;
    };
    for (const Case& c : {Case{0, 0, "a01"}, Case{1, 1, "a02"}}) {
        DlgRecord d(folder.c_str(), kNames, 3);
        RECORD_OPTIONS o;
        o.bResume = c.resume;
        d.SetOptions(o);
        runWith(d, [&] {
            EXPECT_EQ(d.m_listFile.GetCurSel(), c.sel) << c.resume;
            EXPECT_EQ(d.m_strFile, c.file) << c.resume;
            d.EndDialog(IDCANCEL);
        });
    }
}

// The meter shows the last buffer's peak and RMS; after the take "Clipped"
// (a sample at 0 or 255) or "Very quiet" (peak below -40 dBFS) until the next
// recording starts. Saving still works.
TEST(DlgRecordSession, MeterAndTakeWarnings) {
    MessageCapture boxes;
    std::vector<uint8_t> clipped = Tone(3.0, 64);
    clipped[5000] = 255;
    std::vector<uint8_t> low = Tone(3.0, 1);
    std::vector<uint8_t> bottom = Tone(3.0, 64);
    bottom[7000] = 0;
    struct Case {
        std::vector<uint8_t> input;
        const char* warning;
        double peak, rms;
    };
    const std::string folder = NewFolder("meter");
    for (const Case& c :
         {Case{Tone(3.0, 64), "", -6.02, -6.02}, Case{clipped, "Clipped", -6.02, -6.02},
          Case{bottom, "Clipped", -6.02, -6.02}, Case{low, "Very quiet", -42.1, -42.1}}) {
        WriteBytes(InFile(), c.input);
        DlgRecord d(folder.c_str(), kNames, 1);
        d.SetOptions(With(&RECORD_OPTIONS::bLevelMeter));
        runWith(d, [&] {
            ASSERT_NE(d.m_pLevelWnd, nullptr);
            EXPECT_EQ(d.m_pLevelWnd->GetDisplayText(), "");
            recordToTheEnd(d);
            EXPECT_NEAR(d.m_levelMeter.Last().fPeakDb, c.peak, 0.05) << c.warning;
            EXPECT_NEAR(d.m_levelMeter.Last().fRmsDb, c.rms, 0.1) << c.warning;
            if (c.peak > -7) {
                EXPECT_EQ(d.m_pLevelWnd->GetDisplayText(), "Peak -6.0 dB, RMS -6.0 dB");
            }
            EXPECT_EQ(text(d, DlgRecord::IDC_STATIC_TAKE), c.warning);
            click(d, DlgRecord::IDC_BUTTON_SAVE);
            EXPECT_FALSE(WavData(folder + "/a01").empty());
            // The next recording starts without the warning.
            WriteBytes(InFile(), Tone(3.0, 64));
            click(d, DlgRecord::IDC_BUTTON_START);
            EXPECT_EQ(text(d, DlgRecord::IDC_STATIC_TAKE), "");
            ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
            d.EndDialog(IDCANCEL);
        });
    }
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
    DlgRecord off(folder.c_str(), kNames, 1);
    runWith(off, [&] {
        EXPECT_EQ(off.m_pLevelWnd, nullptr);
        EXPECT_EQ(off.GetDlgItem(DlgRecord::IDC_STATIC_TAKE), nullptr);
        off.EndDialog(IDCANCEL);
    });
}

TEST(DlgRecordSession, ShortcutsWorkTheButtonsAndEnterStaysRecord) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = BurstInput(12.0, 0.5, 1.0);
    const std::string folder = NewFolder("keys");
    DlgRecord d(folder.c_str(), kNames, 3);
    d.SetOptions(With(&RECORD_OPTIONS::bKeyboard));
    runWith(d, [&] {
        WriteBytes(InFile(), input);
        d.m_listTime.SetCurSel(2); // 10 sec
        key(d, nullptr, Qt::Key_R, Qt::ControlModifier);
        ASSERT_EQ(d.m_bRecording, 1);
        key(d, nullptr, Qt::Key_T, Qt::ControlModifier);
        EXPECT_EQ(d.m_bRecording, 0);
        EXPECT_GE(d.m_iVolumeChan, 0);
        key(d, nullptr, Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(d.m_bPlaying.load(), 1);
        ASSERT_TRUE(PumpUntil([&] { return !d.m_bPlaying; }));
        key(d, nullptr, Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(WavData(folder + "/a01").empty());
        d.m_bAutosave = 0;
        d.UpdateData(false);
        key(d, nullptr, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(d.m_listFile.GetCurSel(), 1);
        EXPECT_EQ(d.m_iWaveChan, -1);
        // Enter in the list still presses the default button, "Record".
        WriteBytes(InFile(), input);
        key(d, d.m_listFile.GetWidget(), Qt::Key_Return);
        EXPECT_EQ(d.m_bRecording, 1);
        EXPECT_EQ(d.m_listFile.GetCurSel(), 1);
        ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
        EXPECT_EQ(d.GetButton(DlgRecord::IDC_BUTTON_START)->GetToolTip(), "Ctrl+R");
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// With the graph focused the arrows move the start marker, with Shift the end
// marker, by 10 ms, with Ctrl by 100 ms; neither leaves the recording.
TEST(DlgRecordSession, ArrowKeysMoveTheMarkersByExactSteps) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.5, 1.0));
    DlgRecord d(NewFolder("arrows").c_str(), kNames, 1);
    d.SetOptions(With(&RECORD_OPTIONS::bKeyboard));
    runWith(d, [&] {
        recordToTheEnd(d);
        QWidget* graph = d.m_pGraphWnd->GetSafeHwnd();
        QTest::mouseClick(graph, Qt::MiddleButton); // focus without moving a marker
        d.m_pGraphWnd->SetFocus();
        const CRngFlt before = d.GetMarkedTimes();
        struct Step {
            Qt::KeyboardModifiers mods;
            Qt::Key key;
            float lo, hi; // change from before
        };
        for (const Step& s :
             {Step{Qt::NoModifier, Qt::Key_Right, 0.01f, 0},
              Step{Qt::ControlModifier, Qt::Key_Right, 0.11f, 0},
              Step{Qt::NoModifier, Qt::Key_Left, 0.10f, 0},
              Step{Qt::ShiftModifier, Qt::Key_Left, 0.10f, -0.01f},
              Step{Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_Right, 0.10f, 0.09f}}) {
            key(d, graph, s.key, s.mods);
            const CRngFlt now = d.m_pGraphWnd->GetSaveTimes();
            EXPECT_NEAR(now.Lo - before.Lo, s.lo, 1e-5);
            EXPECT_NEAR(now.Hi - before.Hi, s.hi, 1e-5);
        }
        // Held at the ends of the recording.
        for (int i = 0; i < 40; ++i) {
            key(d, graph, Qt::Key_Left, Qt::ControlModifier);
            key(d, graph, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        }
        EXPECT_FLOAT_EQ(d.m_pGraphWnd->GetSaveTimes().Lo, 0.0f);
        EXPECT_FLOAT_EQ(d.m_pGraphWnd->GetSaveTimes().Hi,
                        d.GetWaveChan()->TimeOfIndex(2 * 11025 - 1));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

TEST(DlgRecordSession, HelpButtonShowsTheHelpWhenSwitchedOn) {
    for (int on : {0, 1}) {
        MessageCapture boxes;
        DlgRecord d(TempDir().c_str(), kNames, 1);
        RECORD_OPTIONS o;
        o.bHelp = on;
        o.bKeyboard = on;
        d.SetOptions(o);
        runWith(d, [&] {
            click(d, DlgRecord::IDC_BUTTON_HELP);
            d.EndDialog(IDCANCEL);
        });
        ASSERT_EQ(boxes.texts.size(), size_t(on));
        if (on) {
            EXPECT_NE(boxes.last().find("Play: plays the part between the markers"),
                      std::string::npos);
            EXPECT_NE(boxes.last().find("Ctrl+T: Stop"), std::string::npos);
            // The version and copyright the library was built with close it.
            const std::string end =
                "\nvokdll " + GetVersionString(true) + "\n" + GetVersionString(false) + "\n";
            EXPECT_TRUE(boxes.last().ends_with(end)) << boxes.last();
            EXPECT_EQ(GetVersionString(false).rfind("Copyright ", 0), 0u);
        }
    }
}

// The dialog mid-list with every aid on: ticks, "n of m recorded", the meter.
// With VOK_WRITE_DOCS=1 the picture is written to docs/record-session.png.
TEST(DlgRecordSession, ScreenshotMidList) {
    MessageCapture boxes;
    std::vector<uint8_t> input = BurstInput(3.0, 0.5, 0.9);
    for (size_t i = size_t(1.2 * 11025); i < input.size(); ++i)
        input[i] = uint8_t(128 + (i % 2 ? 20 : -20));
    WriteBytes(InFile(), input);
    const char* names[] = {"a01.wav", "a02.wav", "a03.wav", "a04.wav", "a05.wav"};
    const std::string folder = NewFolder("session-shot");
    WriteBytes(folder + "/a01.wav", {1});
    WriteBytes(folder + "/a02.wav", {1});
    DlgRecord d(folder.c_str(), names, 5);
    RECORD_OPTIONS o;
    o.bProgress = o.bResume = o.bLevelMeter = o.bKeyboard = o.bHelp = 1;
    d.SetOptions(o);
    QImage shot;
    runWith(d, [&] {
        EXPECT_EQ(d.m_listFile.GetCurSel(), 2);
        recordToTheEnd(d);
        PumpFor(200);
        EXPECT_EQ(text(d, DlgRecord::IDC_STATIC_PROGRESS), "2 of 5 recorded");
        EXPECT_EQ(d.m_pLevelWnd->GetDisplayText(), "Peak -16.1 dB, RMS -16.1 dB");
        shot = d.GetSafeHwnd()->grab().toImage();
        d.EndDialog(IDCANCEL);
    });
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
    // The meter's green bar and the list's green ticks are drawn.
    EXPECT_GT(CountColor(shot, RGB(0, 170, 0)), 50);
    WriteDocPicture(shot, "record-session.png");
}
