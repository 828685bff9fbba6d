// The capture engine over the file capture device: formats and buffers,
// starts alternating the buffer pairs, buffers left over from an earlier run,
// the missing device, and devices that deliver nothing or stop delivering.
#include "AudioTestEnv.h"
#include "MessageCapture.h"
#include "capture/RecorderButtons.h"
#include "capture/WaveInAudioWnd.h"
#include "platform/AudioSystem.h"
#include "platform/WaveIn.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace audiotest;

namespace {

// Records 8-bit samples, keeps a copy of every buffer handed on, and cancels
// after a given count.
class TapButtons : public WaveInButtons {
  public:
    TapButtons() { nSampleSize = SAMPLE_8BIT; }
    std::vector<std::vector<uint8_t>> got;
    size_t cancelAt = 0;

  protected:
    int ProcessData(WAVEHDR* h) override {
        got.emplace_back(h->lpData, h->lpData + h->dwBytesRecorded);
        if (cancelAt && got.size() == cancelAt) Cancel();
        return 1;
    }
};

std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, size_t at, size_t n) {
    return std::vector<uint8_t>(v.begin() + long(at), v.begin() + long(at + n));
}

// Waits, without running the event loop, until the device has captured n samples.
bool WaitForSamples(WaveInButtons& w, DWORD n) {
    for (int i = 0; i < 30000; ++i) {
        MMTIME pos{TIME_SAMPLES, {0}};
        waveInGetPosition(w.device.hWaveIn, &pos, sizeof(pos));
        if (pos.u.sample >= n) return pos.u.sample == n;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Whether buffer i has ever come back from the device.
bool Returned(WaveInButtons& w, int i) {
    return (w.device.buffers[size_t(i)]->hdr.dwFlags & WHDR_DONE) != 0;
}

// A named pipe as the capture file, with a writer kept open so that reads
// wait for data instead of ending.
struct StallingInput {
    std::string path = TempDir() + "/stall.fifo";
    int writer = -1;
    StallingInput() {
        AudioSystem::Init(); // the device list is made from the ordinary file
        unlink(path.c_str());
        if (mkfifo(path.c_str(), 0600) == 0) writer = open(path.c_str(), O_RDWR);
    }
    ~StallingInput() {
        if (writer >= 0) close(writer); // lets a read left waiting finish
        unlink(path.c_str());
    }
};

} // namespace

TEST(CaptureEngine, FormatAndBuffersFollowTheChoices) {
    struct Case {
        tagWAVERATE rate;
        tagSAMPLESIZE size;
        unsigned rateHz, avg, block, bits, bufBytes;
    };
    for (const Case& c : {Case{RATE_11025, SAMPLE_8BIT, 11025, 11025, 1, 8, 2205},
                          Case{RATE_44100, SAMPLE_16BIT, 44100, 88200, 2, 16, 17640},
                          Case{RATE_8000, SAMPLE_8BIT, 8000, 8000, 1, 8, 1600},
                          Case{RATE_22050, SAMPLE_16BIT, 22050, 44100, 2, 16, 8820},
                          Case{RATE_48000, SAMPLE_16BIT, 48000, 96000, 2, 16, 19200},
                          Case{RATE_48000, SAMPLE_8BIT, 48000, 48000, 1, 8, 9600}}) {
        SCOPED_TRACE(c.rateHz);
        RecorderButtons rec;
        ASSERT_EQ(rec.Create(0x8005, 0, c.rate, c.size), 1);
        EXPECT_EQ(rec.nMsg, 0x8005u);
        const WAVEFORMATEX& f = rec.GetWaveFormatEx();
        EXPECT_EQ(
            (std::vector<unsigned>{f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec,
                                   f.nBlockAlign, f.wBitsPerSample, f.cbSize}),
            (std::vector<unsigned>{1, 1, c.rateHz, c.avg, c.block, c.bits, 0}));
        EXPECT_EQ(rec.GetWaveState(), WAVE_OPEN);
        ASSERT_EQ(rec.device.buffers.size(), 4u);
        for (const auto& b : rec.device.buffers) {
            EXPECT_EQ(b->hdr.dwBufferLength, c.bufBytes);
            EXPECT_EQ(b->nSeq, 0);
            EXPECT_TRUE(b->hdr.dwFlags & WHDR_PREPARED);
        }
        EXPECT_EQ(rec.Time2Sample(0.5f), int(c.rateHz + 1) / 2); // half away from zero
        EXPECT_EQ(rec.Time2Sample(-0.5f), -int(c.rateHz + 1) / 2);
        EXPECT_FLOAT_EQ(rec.Sample2Time(int(c.rateHz)), 1.0f);
        EXPECT_EQ(rec.DeviceClose(), 1);
        EXPECT_EQ(rec.GetWaveState(), WAVE_CLOSED);
        EXPECT_TRUE(rec.device.buffers.empty());
        EXPECT_EQ(rec.device.hWaveIn, nullptr);
    }
}

// Start needs an open device (and leaves the engine active when it has none),
// Reset always succeeds, and opening again gives a new device and closes the
// old one. Without a rate, samples count as seconds.
TEST(CaptureEngine, StartNeedsAnOpenDeviceAndReopeningGivesANewOne) {
    WaveInButtons w;
    EXPECT_FLOAT_EQ(w.Sample2Time(7), 7.0f);
    EXPECT_EQ(w.Reset(), 1);
    MessageLog log;
    EXPECT_EQ(w.Start(&log), 0);
    EXPECT_EQ(w.IsActive(), 1);
    EXPECT_EQ(w.pOwnerWnd.GetWnd(), &log);
    EXPECT_EQ(w.Cancel(), 1);
    EXPECT_EQ(w.IsActive(), 0);

    ASSERT_EQ(w.Create(0x8005, 0), 1);
    HWAVEIN first = w.device.hWaveIn;
    ASSERT_EQ(w.DeviceOpen(), 1);
    EXPECT_NE(w.device.hWaveIn, first);
    EXPECT_EQ(w.device.buffers.size(), 4u);
    MMTIME pos{TIME_SAMPLES, {0}};
    EXPECT_EQ(waveInGetPosition(first, &pos, sizeof(pos)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(w.Reset(), 1);
    EXPECT_EQ(w.DeviceClose(), 1);
    EXPECT_EQ(w.Start(&log), 0);
    EXPECT_EQ(w.Reset(), 1);
    EXPECT_EQ(w.DeviceOpen(), 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_OPEN);
}

TEST(CaptureEngine, NoCaptureDeviceIsReported) {
    EnvGuard g("VOK_AUDIO_DEVICE", "no_such_sound_device");
    MessageCapture cap;
    RecorderButtons rec;
    EXPECT_EQ(rec.Create(0x8005, 0, RATE_11025, SAMPLE_8BIT), 0);
    EXPECT_EQ(cap.texts, std::vector<std::string>{"Error: Unable to Access waveInAudio"});
    EXPECT_EQ(rec.GetWaveState(), WAVE_CLOSED);
    EXPECT_EQ(rec.DeviceOpen(), 0); // still nothing to open
    EXPECT_EQ(rec.GetWaveState(), WAVE_CLOSED);
}

// Each buffer goes back to the device before its data is handed on: while
// the owner still handles the first buffer, the device fills the other one
// and then this one again (three buffers in all). Handed on first, the device
// would have nothing left to fill until the owner returned: it would starve.
TEST(CaptureEngine, EachBufferIsQueuedAgainBeforeItIsHandedOn) {
    WriteBytes(InFile(), Pattern(50000, 6));
    struct Probe : TapButtons {
        bool refilled = false;

      protected:
        int ProcessData(WAVEHDR* h) override {
            if (got.empty()) refilled = WaitForSamples(*this, 3 * 2205);
            return TapButtons::ProcessData(h);
        }
    } w;
    w.cancelAt = 2;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    MessageLog log;
    ASSERT_EQ(w.Start(&log), 1);
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= 2; }));
    EXPECT_TRUE(w.refilled);
    EXPECT_EQ(w.DeviceClose(), 1);
}

// Each start uses the other pair: buffers 2 and 3 first, then 0 and 1. Runs
// cancelled before their buffers were handled hand nothing on.
TEST(CaptureEngine, SuccessiveStartsAlternateThePairs) {
    WriteBytes(InFile(), Pattern(50000, 5));
    TapButtons w;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    MessageLog log;
    ASSERT_EQ(w.Start(&log), 1);
    EXPECT_EQ(w.device.nPair, 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_RECORDING);
    ASSERT_TRUE(WaitForSamples(w, 2 * 2205));
    EXPECT_EQ(w.Cancel(), 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_OPEN);
    EXPECT_EQ((std::vector<bool>{Returned(w, 0), Returned(w, 1), Returned(w, 2), Returned(w, 3)}),
              (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(w.device.buffers[2]->nSeq, 0);
    EXPECT_EQ(w.device.buffers[3]->nSeq, 1);

    ASSERT_EQ(w.Start(&log), 1);
    EXPECT_EQ(w.device.nPair, 0);
    ASSERT_TRUE(WaitForSamples(w, 2 * 2205));
    EXPECT_EQ(w.Cancel(), 1);
    EXPECT_TRUE(Returned(w, 0) && Returned(w, 1));
    PumpPending();
    EXPECT_TRUE(w.got.empty());
}

// Buffers of the old pair that arrive after a new start, before its first
// buffer has come back, are not handed on; nor are messages that are not from
// the open device or name a header that is not one of the engine's buffers.
TEST(CaptureEngine, BuffersOfAnEarlierRunAndForeignMessagesAreIgnored) {
    const std::vector<uint8_t> file = Pattern(60000, 6);
    WriteBytes(InFile(), file);
    TapButtons w;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    MessageLog log;

    // Both buffers of the first run fill; their messages wait in the queue.
    ASSERT_EQ(w.Start(&log), 1);
    ASSERT_TRUE(WaitForSamples(w, 2 * 2205));
    ASSERT_EQ(w.Cancel(), 1);
    // The second run starts before those messages are handled.
    ASSERT_EQ(w.Start(&log), 1);
    ASSERT_TRUE(WaitForSamples(w, 2 * 2205));
    WAVEHDR stranger{};
    w.device.BufferDone(w.device.hWaveIn, &stranger);
    w.device.BufferDone(reinterpret_cast<HWAVEIN>(0x7777), &w.device.buffers[0]->hdr);
    EXPECT_EQ(w.device.nDelivered, 0);
    EXPECT_EQ(w.device.buffers[0]->nSeq, 0);
    w.cancelAt = 3;
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= 3; }));
    PumpPending();

    ASSERT_EQ(w.got.size(), 3u);
    EXPECT_EQ(w.device.nDelivered, 3);
    // The first data handed on are those after the first run's two buffers.
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(w.got[i], Slice(file, (2 + i) * 2205, 2205)) << i;
}

// Destroying the hidden window closes the device, so nothing is posted to a
// window that is gone.
TEST(CaptureEngine, HiddenWindowTakesTheDeviceWithIt) {
    WaveInButtons w;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    ASSERT_NE(w.device.pWnd, nullptr);
    EXPECT_TRUE(w.device.pWnd->IsWindow());
    w.device.pWnd->DestroyWindow();
    EXPECT_EQ(w.device.pWnd, nullptr);
    EXPECT_EQ(w.GetWaveState(), WAVE_CLOSED);
    PumpPending();
}

// A device that delivers no sample at all: the start gives up after its bound
// (the recorder then reports "Error Starting Recording"), and stopping and
// closing return although the device is still stuck.
TEST(CaptureEngine, StartGivesUpWhenNoSampleComes) {
    StallingInput in;
    ASSERT_GE(in.writer, 0);
    EnvGuard g("VOK_TEST_INFILE", in.path);
    TapButtons w;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    MessageLog log;
    EXPECT_EQ(w.Start(&log), 0);
    EXPECT_EQ(w.GetWaveState(), WAVE_OPEN);
    EXPECT_EQ(w.Cancel(), 1);
    EXPECT_EQ(w.DeviceClose(), 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_CLOSED);
    PumpPending();
    EXPECT_TRUE(w.got.empty());
}

// A device that stops delivering mid-recording: what it delivered arrives,
// the event loop keeps running, and the recording can be stopped and closed.
TEST(CaptureEngine, DeviceThatStopsDeliveringCanBeStopped) {
    StallingInput in;
    ASSERT_GE(in.writer, 0);
    const std::vector<uint8_t> data = Pattern(5 * 2205, 8);
    ASSERT_EQ(write(in.writer, data.data(), data.size()), ssize_t(data.size()));
    EnvGuard g("VOK_TEST_INFILE", in.path);
    TapButtons w;
    ASSERT_EQ(w.Create(0x8005, 0), 1);
    MessageLog log;
    ASSERT_EQ(w.Start(&log), 1);
    ASSERT_TRUE(PumpUntil([&] { return w.got.size() >= 5; }));
    // The loop still turns: a message posted now is handled.
    log.PostMessage(0x8100, 1, 2);
    ASSERT_TRUE(PumpUntil([&] { return log.Count(0x8100) == 1; }));
    ASSERT_EQ(w.got.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(w.got[i], Slice(data, i * 2205, 2205)) << i;
    EXPECT_EQ(w.Cancel(), 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_OPEN);
    EXPECT_EQ(w.DeviceClose(), 1);
    EXPECT_EQ(w.GetWaveState(), WAVE_CLOSED);
}

// Rates and sample sizes map to the table's choices (48000 after the four
// older rates); anything else is refused.
TEST(CaptureEngine, RateAndSizeChoices) {
    const unsigned rates[] = {8000, 11025, 22050, 44100, 48000};
    for (int i = 0; i < 5; ++i) {
        tagWAVERATE r = RATE_8000;
        ASSERT_TRUE(RateChoice(rates[i], r)) << rates[i];
        EXPECT_EQ(int(r), i);
        EXPECT_EQ(RateOf(r), rates[i]);
    }
    tagWAVERATE r = RATE_22050;
    for (unsigned bad : {0u, 16000u, 11024u, 96000u})
        EXPECT_FALSE(RateChoice(bad, r)) << bad;
    EXPECT_EQ(r, RATE_22050);
    tagSAMPLESIZE s = SAMPLE_16BIT;
    ASSERT_TRUE(SizeChoice(8, s));
    EXPECT_EQ(s, SAMPLE_8BIT);
    ASSERT_TRUE(SizeChoice(16, s));
    EXPECT_EQ(s, SAMPLE_16BIT);
    for (unsigned bad : {0u, 12u, 24u, 32u})
        EXPECT_FALSE(SizeChoice(bad, s)) << bad;
}

// A format set while the device is closed is reported at once and opened
// with next; set while open, it waits for the next open.
TEST(CaptureEngine, SetFormatTakesEffectWithTheNextOpen) {
    RecorderButtons rec;
    ASSERT_EQ(rec.Create(0x8005, 0, RATE_11025, SAMPLE_8BIT), 1);
    rec.SetFormat(RATE_48000, SAMPLE_16BIT);
    EXPECT_EQ(rec.GetWaveFormatEx().nSamplesPerSec, 11025u); // still open
    ASSERT_EQ(rec.DeviceOpen(), 1);
    EXPECT_EQ(rec.GetWaveFormatEx().nAvgBytesPerSec, 96000u);
    EXPECT_EQ(rec.device.buffers[0]->hdr.dwBufferLength, 19200u);
    rec.DeviceClose();
    rec.SetFormat(RATE_8000, SAMPLE_8BIT);
    const WAVEFORMATEX& f = rec.GetWaveFormatEx();
    EXPECT_EQ((std::vector<unsigned>{f.nSamplesPerSec, f.nAvgBytesPerSec, f.nBlockAlign,
                                     f.wBitsPerSample}),
              (std::vector<unsigned>{8000, 8000, 1, 8}));
    ASSERT_EQ(rec.DeviceOpen(), 1);
    EXPECT_EQ(rec.device.buffers[0]->hdr.dwBufferLength, 1600u);
}
