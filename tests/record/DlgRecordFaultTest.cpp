// The record dialog given bad item names and a capture device that goes away:
// names that are empty, leave the folder, name a folder or are too long for the
// file system are refused with nothing written anywhere; a device that fails
// while recording ends the recording with every sample captured before the
// failure, says so, and the dialog records again once the device is back.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "capture/PaFault.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <portaudio.h>
#include <set>

// The test program's own PortAudio read and write, through which the faults
// are injected (pass-through unless a test arms them).
#include "capture/PaFault.cpp"

using namespace rectest;
namespace fs = std::filesystem;

namespace {
// The names in dir (not below it).
std::set<std::string> entries(const std::string& dir) {
    std::set<std::string> s;
    for (const auto& e : fs::directory_iterator(dir))
        s.insert(e.path().filename().string());
    return s;
}

// Everything under root (recursively), as paths relative to it.
std::set<std::string> tree(const std::string& root) {
    std::set<std::string> s;
    for (const auto& e : fs::recursive_directory_iterator(root))
        s.insert(e.path().lexically_relative(root).string());
    return s;
}

constexpr long kBuf = 2205; // bytes (samples) per capture buffer
} // namespace

// Each bad name is tried with a recording in hand: refused with code 20 and
// nothing written, in the folder, beside it or above it (also through a
// symbolic link in the folder that leads out of it). Names inside the folder,
// one in a sub-folder and one of the longest length a file name may have, are
// saved.
TEST(DlgRecordFault, BadItemNamesWriteNothingOutsideTheFolder) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    const std::string outer = NewFolder("badnames");
    const std::string folder = outer + "/inner";
    fs::create_directories(folder + "/sub");
    fs::create_directory_symlink(outer, folder + "/escape");
    std::string deep; // 2000 short components: 4000 characters
    for (int i = 0; i < 2000; ++i)
        deep += "d/";
    const std::string longest = std::string(251, 'n') + ".wav"; // 255 bytes
    const std::vector<std::string> bad = {"..",
                                          ".",
                                          "",
                                          "/",
                                          "missing/x.wav",
                                          "x/",
                                          "sub",
                                          "../inner/again.wav",
                                          std::string(4000, 'n'),
                                          deep + "x.wav",
                                          "sub/../../../up.wav",
                                          "escape/victim.wav",
                                          "escape/inner/sub/twice.wav"};
    const std::vector<std::string> good = {"sub/in-sub.wav", longest};
    std::vector<const char*> names;
    for (const auto& n : bad)
        names.push_back(n.c_str());
    for (const auto& n : good)
        names.push_back(n.c_str());
    const std::set<std::string> aroundBefore = entries(TempDir());

    DlgRecord d(folder.c_str(), names.data(), int(names.size()));
    runWith(d, [&] {
        recordToTheEnd(d);
        for (size_t i = 0; i < bad.size(); ++i) {
            select(d, int(i));
            ASSERT_EQ(d.m_strFile, bad[i]) << i;
            const size_t before = boxes.texts.size();
            click(d, DlgRecord::IDC_BUTTON_SAVE);
            EXPECT_EQ(boxes.texts.size(), before + 1) << i;
            EXPECT_EQ(boxes.last(), "Error Saving to Dictionary - 20") << i;
            EXPECT_EQ(d.m_bSaved, 0) << i;
        }
        for (size_t i = 0; i < good.size(); ++i) {
            select(d, int(bad.size() + i));
            click(d, DlgRecord::IDC_BUTTON_SAVE);
            EXPECT_EQ(d.m_bSaved, 1) << good[i].size() << " " << boxes.last();
            d.m_bSaved = 0;
        }
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(boxes.texts.size(), bad.size()) << boxes.last();
    // The folder holds the two saved files (no temporary file is left), and
    // nothing appeared beside or above it.
    EXPECT_EQ(tree(outer), (std::set<std::string>{"inner", "inner/sub", "inner/sub/in-sub.wav",
                                                  "inner/escape", "inner/" + longest}));
    EXPECT_EQ(entries(TempDir()), aroundBefore);
    EXPECT_FALSE(WavData(folder + "/" + longest).empty());
}

// "Next" with "Autosave" whose save fails (the folder gone: code 10; a folder
// in the way of the item's file: code 20) stops after the message: the take,
// its markers and the item stay, and once the fault is put right it is saved
// and "Next" moves on. Leftovers of a save killed in an earlier run are gone
// as soon as the dialog is open.
TEST(DlgRecordFault, FailedAutosaveOnNextKeepsTheTake) {
    struct Case {
        const char* fault;
        int code;
    };
    for (const Case c : {Case{"folder removed", 10}, Case{"folder in the way", 20}}) {
        SCOPED_TRACE(c.fault);
        MessageCapture boxes;
        const std::vector<uint8_t> input = BurstInput(3.0, 0.6, 1.2);
        WriteBytes(InFile(), input);
        const std::string folder = NewFolder("autosave");
        const std::string leftover = folder + "/.vok-999999999-1.tmp"; // no such process
        WriteBytes(leftover, {1, 2, 3});
        const char* names[] = {"a01.wav", "a02.wav"};
        DlgRecord d(folder.c_str(), names, 2);
        runWith(d, [&] {
            EXPECT_FALSE(fs::exists(leftover));
            recordToTheEnd(d);
            const CRngFlt marks = d.GetMarkedTimes();
            long s = 0, e = 0;
            ASSERT_TRUE(d.GetMarkedSamples(s, e));
            const std::vector<uint8_t> take = recorded(d, 0, d.GetWaveChan()->RtnNel() - 1);
            if (c.code == 10)
                fs::remove_all(folder);
            else
                fs::create_directories(folder + "/a01.wav/x");
            ASSERT_EQ(d.m_bAutosave, 1);
            click(d, DlgRecord::IDC_BUTTON_NEXT);
            EXPECT_EQ(boxes.texts, std::vector<std::string>{"Error Saving to Dictionary - " +
                                                            std::to_string(c.code)});
            EXPECT_EQ(d.m_listFile.GetCurSel(), 0);
            EXPECT_EQ(d.m_strFile, "a01.wav");
            ASSERT_NE(d.GetWaveChan(), nullptr);
            EXPECT_EQ(recorded(d, 0, d.GetWaveChan()->RtnNel() - 1), take);
            EXPECT_EQ(d.GetMarkedTimes().Lo, marks.Lo);
            EXPECT_EQ(d.GetMarkedTimes().Hi, marks.Hi);
            EXPECT_EQ(states(d), kIdleWithRecording);

            if (c.code == 10)
                fs::create_directories(folder);
            else
                fs::remove_all(folder + "/a01.wav");
            click(d, DlgRecord::IDC_BUTTON_NEXT);
            EXPECT_EQ(boxes.texts.size(), 1u) << boxes.last();
            EXPECT_EQ(d.m_listFile.GetCurSel(), 1);
            EXPECT_EQ(d.GetWaveChan(), nullptr);
            EXPECT_EQ(WavData(folder + "/a01.wav"),
                      std::vector<uint8_t>(take.begin() + s, take.begin() + e + 1));
            d.EndDialog(IDCANCEL);
        });
    }
}

// The capture device fails 1.6 s into a 10 s recording (part-way through its
// eighth buffer): the recording ends by itself, the message says why, the
// channel holds exactly the samples captured before the failure and nothing
// after them, the recording is analysed and can be saved. With the device back
// the next recording runs to its end.
TEST(DlgRecordFault, DeviceLostMidRecordingKeepsWhatWasCapturedAndSaysSo) {
    MessageCapture boxes;
    pafault::Guard guard;
    const std::vector<uint8_t> input = BurstInput(12.0, 0.6, 1.2);
    WriteBytes(InFile(), input);
    const std::string folder = NewFolder("lost");
    const char* names[] = {"a01.wav", "a02.wav"};
    DlgRecord d(folder.c_str(), names, 2);
    runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        pafault::FailReadsAfter(7 * kBuf + 1024, paUnanticipatedHostError);
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_EQ(d.m_bRecording, 1);
        ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }));
        PumpFor(100); // a second full report may follow; it changes nothing
        EXPECT_GT(pafault::ReadCalls(), 0u);
        EXPECT_EQ(pafault::FramesRead(), uint64_t(7 * kBuf + 1024));
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.last(), "Audio Device Lost - Recording Stopped");
        EXPECT_EQ(d.m_recorder.GetWaveState(), WAVE_CLOSED);
        EXPECT_EQ(d.m_iVolumeChan, 2);

        SOFTCHAN_WAVE* w = d.GetWaveChan();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->RtnNel(), 110250);
        const long kept = 7 * kBuf + 1024;
        EXPECT_EQ(w->GetLastSavedSample(), kept - 1);
        EXPECT_EQ(recorded(d, 0, kept - 1), expected(input, 0, kept - 1));
        EXPECT_EQ(recorded(d, kept, w->RtnNel() - 1),
                  std::vector<uint8_t>(size_t(w->RtnNel() - kept), 128)); // nothing invented

        // The burst at 0.6 ... 1.2 s was captured and is marked and saved.
        const CRngFlt marks = d.GetMarkedTimes();
        EXPECT_NEAR(marks.Lo, 0.5, 0.02);
        EXPECT_NEAR(marks.Hi, 1.3, 0.02);
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        long s = 0, e = 0;
        ASSERT_TRUE(d.GetMarkedSamples(s, e));
        EXPECT_EQ(long(WavData(folder + "/a01.wav").size()), e - s + 1);

        // The device is back: the next item records for the whole 2 s.
        pafault::Clear();
        WriteBytes(InFile(), input);
        click(d, DlgRecord::IDC_BUTTON_NEXT);
        d.m_listTime.SetCurSel(0);
        recordToTheEnd(d);
        EXPECT_EQ(d.GetWaveChan()->GetLastSavedSample(), 2 * 11025 - 1);
        EXPECT_EQ(boxes.texts.size(), 1u) << boxes.last();
        d.EndDialog(IDCANCEL);
    });
}

// A device that cannot be opened, and one that fails before its first sample:
// the start is refused with "Error Opening Audio" or "Error Starting
// Recording", the dialog is idle, and with the device back Record works again.
TEST(DlgRecordFault, DeviceFailingAtTheStartIsReportedAndRecordWorksAfterwards) {
    MessageCapture boxes;
    pafault::Guard guard;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    const std::string folder = NewFolder("failstart");
    const char* names[] = {"a01.wav"};
    DlgRecord d(folder.c_str(), names, 1);
    runWith(d, [&] {
        {
            EnvGuard noDevice("VOK_AUDIO_DEVICE", "no-such-device-anywhere");
            click(d, DlgRecord::IDC_BUTTON_START);
        }
        EXPECT_EQ(boxes.texts, std::vector<std::string>{"Error Opening Audio"});
        EXPECT_EQ(d.m_bRecording, 0);
        EXPECT_EQ(d.m_iWaveChan, 0); // the new empty channel is in place

        pafault::FailReadsAfter(0, paUnanticipatedHostError);
        click(d, DlgRecord::IDC_BUTTON_START);
        EXPECT_EQ(boxes.last(), "Error Starting Recording");
        EXPECT_EQ(d.m_bRecording, 0);
        EXPECT_TRUE(enabled(d, DlgRecord::IDC_BUTTON_START));

        pafault::Clear();
        boxes.texts.clear();
        recordToTheEnd(d);
        EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
        EXPECT_EQ(d.GetWaveChan()->GetLastSavedSample(), 2 * 11025 - 1);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(fs::is_empty(folder));
}
