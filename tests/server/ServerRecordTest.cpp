// Recording through the sound server: a spoken word played into the server's
// microphone feed reaches the dialog through the ALSA default device, is
// located and saved; a source that disappears mid-recording ends it.
#include "MessageCapture.h"
#include "ServerDriver.h"
#include "capture/WavReader.h"
#include <filesystem>
#include <gtest/gtest.h>

using namespace servertest;
using SoundServerRecord = ServerTest;

namespace {
// The server resamples, so a recording matches its source closely, not bytewise.
constexpr double kSameSound = 0.9;

std::string NewFolder(const std::string& name) {
    const std::string p = TempDir() + "/" + name;
    std::filesystem::create_directories(p);
    return p;
}

// The saved word in the format recorded in, and how closely it matches the
// spoken word.
void ExpectSavedWord(const std::string& path, unsigned rate = 11025, unsigned bits = 8) {
    WAVReader w;
    ASSERT_TRUE(w.Load(path)) << w.Error();
    EXPECT_EQ(w.nSamplesPerSec, rate);
    EXPECT_EQ(w.wBitsPerSample, bits);
    EXPECT_EQ(w.nChannels, 1u);
    const std::vector<double> saved = WavSamples(path);
    ASSERT_FALSE(Word().word.empty());
    EXPECT_GE(BestCorrelation(saved, Word().word), kSameSound)
        << saved.size() << " samples saved, the word has " << Word().word.size();
}

// Records the word in the format, checks it is located, saves it into a folder
// of its own and compares the file with the spoken word.
void RecordAndSaveWord(const std::string& name, int rate, int bits) {
    MessageCapture boxes;
    const std::string folder = NewFolder(name);
    const char* names[] = {"w01.wav"};
    DlgRecord d(folder.c_str(), names, 1);
    d.SetOptions(FormatOptions(rate, bits));
    long first = 0, last = 0;
    runWith(d, [&] {
        RecordWord(d, 0);
        const CRngFlt marks = d.GetMarkedTimes();
        EXPECT_LT(marks.Hi - marks.Lo, 1.5f) << "the word is located, not the whole recording";
        ASSERT_TRUE(d.GetMarkedSamples(first, last));
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
    ExpectSavedWord(folder + "/w01.wav", unsigned(rate), unsigned(bits));
}
} // namespace

// A 2 s recording through the default device at the default format, and one
// at 16-bit 48000 Hz: the word is located, and the saved marked part is the
// spoken word.
TEST_F(SoundServerRecord, SpokenWordIsRecordedLocatedAndSaved) {
    RecordAndSaveWord("word", 11025, 8);
}

TEST_F(SoundServerRecord, SpokenWordIsRecordedLocatedAndSavedAtSixteenBits48kHz) {
    RecordAndSaveWord("word48", 48000, 16);
}

// The server's microphone goes away 1.6 s into a 10 s recording: the recording
// ends at once with what was captured (the word), says why, and the word is
// located and saved.
TEST_F(SoundServerRecord, SourceRemovedMidRecordingEndsItWithWhatWasCaptured) {
    MessageCapture boxes;
    const std::string folder = NewFolder("lost");
    const char* names[] = {"l01.wav"};
    DlgRecord d(folder.c_str(), names, 1);
    long first = 0, last = 0;
    runWith(d, [&] {
        d.m_listTime.SetCurSel(2); // 10 sec
        click(d, DlgRecord::IDC_BUTTON_START);
        ASSERT_EQ(d.m_bRecording, 1);
        Process player(PlayIntoMic(Word().feed), TempDir() + "/player.out");
        ASSERT_TRUE(
            PumpUntil([&] { return d.GetWaveChan()->GetLastSavedSample() >= 1.6 * 11025; }));
        // Streams of a removed device move to the default one when there is
        // one left: the speakers' monitor goes first, then the microphone.
        const std::string modules = Pactl("list short modules");
        for (const char* sink : {"sink_name=vok_speaker", "sink_name=vok_mic"}) {
            const size_t at = modules.rfind('\n', modules.find(sink)) + 1;
            Pactl("unload-module " + modules.substr(at, modules.find('\t', at) - at));
        }
        ASSERT_TRUE(PumpUntil([&] { return !d.m_bRecording; }, 10000)) << "the recording hangs";
        EXPECT_EQ(boxes.texts, std::vector<std::string>{"Audio Device Lost - Recording Stopped"});
        EXPECT_LT(d.GetWaveChan()->GetLastSavedSample(), 5 * 11025);
        ASSERT_TRUE(d.GetMarkedSamples(first, last));
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        EXPECT_EQ(d.m_bSaved, 1);
        d.EndDialog(IDOK);
    });
    ExpectSavedWord(folder + "/l01.wav");
}
