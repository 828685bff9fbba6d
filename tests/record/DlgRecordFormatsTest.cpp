// The record dialog in the formats a host may choose with RECORD_OPTIONS:
// random frames recorded from the file capture device equal their source in
// the channel, in the saved WAV and in what is played; one sound recorded at
// 8-bit 11025 Hz and at 16-bit 48000 Hz is located alike; a format the
// capture engine does not offer is refused.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "capture/WavReader.h"
#include "channels/SoftChanWave16.h"
#include "graph/GraphWnd.h"
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace rectest;
namespace fs = std::filesystem;

namespace {
const char* kNames[] = {"take.wav"};

RECORD_OPTIONS Format(int rate, int bits) {
    RECORD_OPTIONS o;
    o.nRate = rate;
    o.nBits = bits;
    return o;
}

// Every sample of the dialog's wave channel, as its bytes.
std::vector<uint8_t> ChannelBytes(DlgRecord& d) {
    SOFTCHAN_WAVE* w = d.GetWaveChan();
    const uint8_t* p = w->SampleData();
    return std::vector<uint8_t>(p, p + w->RtnNel() * w->BytesPerSample());
}

// A 300 Hz tone swelling from 0.6 s to 1.3 s over a faint hum, 3 s sampled
// at rate in the given sample size (8-bit unsigned, 16-bit signed little-endian).
std::vector<uint8_t> Tone(int rate, int bits) {
    const double pi = 3.14159265358979323846;
    std::vector<uint8_t> v;
    for (long i = 0; i < 3L * rate; ++i) {
        const double t = double(i) / rate;
        const double env = t > 0.6 && t < 1.3 ? std::sin(pi * (t - 0.6) / 0.7) : 0.0;
        const double x = 0.6 * env * std::sin(2 * pi * 300 * t) + 0.02 * std::sin(2 * pi * 50 * t);
        if (bits == 8) {
            v.push_back(uint8_t(128 + std::lround(x * 127)));
        } else {
            const auto s = uint16_t(int16_t(std::lround(x * 32767)));
            v.push_back(uint8_t(s));
            v.push_back(uint8_t(s >> 8));
        }
    }
    return v;
}

struct Analysed {
    CRngFlt marks;
    float peak = 0.0f; // of the "Volume" curve
};

// Records input for 2 s in the format: the markers and the level's peak.
Analysed Analyse(const std::vector<uint8_t>& input, int rate, int bits) {
    WriteBytes(InFile(), input);
    DlgRecord d(NewFolder("located").c_str(), kNames, 1);
    d.SetOptions(Format(rate, bits));
    Analysed a;
    runWith(d, [&] {
        recordToTheEnd(d);
        a.marks = d.GetMarkedTimes();
        SOFTCHAN* volume = d.m_channels.GetChan(d.m_iVolumeChan);
        ASSERT_NE(volume, nullptr);
        for (long i = 0; i < volume->RtnNel(); i += 100)
            a.peak = std::max(a.peak, volume->GetVal(i));
        d.EndDialog(IDCANCEL);
    });
    return a;
}
} // namespace

// 2 s of random frames at each rate in 8 and 16 bits: the channel, the saved file
// (whole recording marked) and the played bytes are the source exactly; the
// file's format is the one recorded.
TEST(DlgRecordFormats, EachFormatIsRecordedSavedAndPlayedByteForByte) {
    MessageCapture boxes;
    for (const int rate : {8000, 11025, 22050, 44100, 48000}) {
        for (const int bits : {8, 16}) {
            SCOPED_TRACE(std::to_string(rate) + " Hz " + std::to_string(bits) + "-bit");
            const long bytes = bits / 8, samples = 2L * rate;
            const std::vector<uint8_t> input = Pattern(size_t(3 * samples * bytes), unsigned(rate));
            const std::vector<uint8_t> source(input.begin(), input.begin() + samples * bytes);
            WriteBytes(InFile(), input);
            const std::string folder = NewFolder("formats");
            DlgRecord d(folder.c_str(), kNames, 1);
            d.SetOptions(Format(rate, bits));
            runWith(d, [&] {
                recordToTheEnd(d); // 2 sec
                SOFTCHAN_WAVE* w = d.GetWaveChan();
                ASSERT_NE(w, nullptr);
                EXPECT_EQ(w->BytesPerSample(), bytes);
                EXPECT_EQ(w->RtnNel(), samples);
                EXPECT_EQ(w->GetLastSavedSample(), samples - 1);
                EXPECT_TRUE(ChannelBytes(d) == source);

                d.m_pGraphWnd->SetStartEndTimes(-1.0f, 100.0f);
                click(d, DlgRecord::IDC_BUTTON_SAVE);
                WAVReader wav;
                ASSERT_EQ(wav.Load(folder + "/take.wav"), 1) << wav.Error();
                EXPECT_EQ((std::vector<unsigned>{wav.wFormatTag, wav.nChannels, wav.nSamplesPerSec,
                                                 wav.nAvgBytesPerSec, wav.nBlockAlign,
                                                 wav.wBitsPerSample}),
                          (std::vector<unsigned>{1, 1, unsigned(rate), unsigned(rate * bytes),
                                                 unsigned(bytes), unsigned(bits)}));
                EXPECT_TRUE(wav.data == source);

                fs::remove(OutFile());
                click(d, DlgRecord::IDC_BUTTON_PLAY);
                ASSERT_TRUE(PumpUntil(
                    [&] { return !d.m_bPlaying && !d.HasTimer(DlgRecord::TIMER_CURSOR); }));
                EXPECT_TRUE(ReadBytes(OutFile()) == source);
                d.EndDialog(IDCANCEL);
            });
        }
    }
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// The level curve reads full scale alike at both sample sizes, so one sound
// recorded at 8-bit 11025 Hz and at 16-bit 48000 Hz has the same level and
// gets the same markers, within 10 ms.
TEST(DlgRecordFormats, OneSoundIsLocatedAlikeAtEightAndSixteenBits) {
    MessageCapture boxes;
    const Analysed low = Analyse(Tone(11025, 8), 11025, 8);
    const Analysed high = Analyse(Tone(48000, 16), 48000, 16);
    EXPECT_NEAR(low.marks.Lo, 0.53, 0.05); // located, not the defaults
    EXPECT_NEAR(low.marks.Hi, 1.37, 0.05);
    EXPECT_NEAR(high.marks.Lo, low.marks.Lo, 0.01);
    EXPECT_NEAR(high.marks.Hi, low.marks.Hi, 0.01);
    // 0.6 of full scale: a mean absolute level of about 0.6 * 2 / pi * 1000.
    EXPECT_NEAR(low.peak, 382.0f, 20.0f);
    EXPECT_NEAR(high.peak, low.peak, 0.02f * low.peak);
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}

// A rate or sample size the capture engine does not offer gives "Error
// Opening Audio"; nothing is recorded and the dialog stays idle.
TEST(DlgRecordFormats, FormatNotOfferedIsRefused) {
    for (const RECORD_OPTIONS& o : {Format(16000, 8), Format(11025, 24), Format(0, 0)}) {
        MessageCapture boxes;
        DlgRecord d(NewFolder("refused").c_str(), kNames, 1);
        d.SetOptions(o);
        runWith(d, [&] {
            click(d, DlgRecord::IDC_BUTTON_START);
            EXPECT_EQ(d.m_bRecording, 0);
            EXPECT_EQ(d.m_iWaveChan, -1);
            EXPECT_EQ(states(d), kIdleWithout);
            d.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(boxes.texts, std::vector<std::string>{"Error Opening Audio"}) << o.nRate;
    }
}

// At 16-bit 48000 Hz a located, marked part of the recording is saved as
// exactly the source frames from the first to the last marked sample, in a
// file whose header says 16-bit, 48000 Hz, one channel.
TEST(DlgRecordFormats, MarkedPartAtSixteenBits48kHzIsTheSourceFramesExactly) {
    MessageCapture boxes;
    const std::vector<uint8_t> input = Tone(48000, 16);
    WriteBytes(InFile(), input);
    const std::string folder = NewFolder("marked16");
    DlgRecord d(folder.c_str(), kNames, 1);
    d.SetOptions(Format(48000, 16));
    long first = 0, last = 0;
    runWith(d, [&] {
        recordToTheEnd(d); // 2 sec
        ASSERT_TRUE(d.GetMarkedSamples(first, last));
        click(d, DlgRecord::IDC_BUTTON_SAVE);
        d.EndDialog(IDCANCEL);
    });
    // The located tone, not the whole recording.
    EXPECT_NEAR(first, 0.53 * 48000, 0.05 * 48000);
    EXPECT_NEAR(last, 1.37 * 48000, 0.05 * 48000);
    WAVReader wav;
    ASSERT_EQ(wav.Load(folder + "/take.wav"), 1) << wav.Error();
    EXPECT_EQ(wav.wFormatTag, 1u);
    EXPECT_EQ(wav.nChannels, 1u);
    EXPECT_EQ(wav.nSamplesPerSec, 48000u);
    EXPECT_EQ(wav.wBitsPerSample, 16u);
    EXPECT_EQ(wav.nBlockAlign, 2u);
    EXPECT_EQ(wav.nAvgBytesPerSec, 96000u);
    ASSERT_EQ(wav.data.size(), size_t(2 * (last - first + 1)));
    EXPECT_TRUE(std::equal(wav.data.begin(), wav.data.end(), input.begin() + 2 * first));
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}
