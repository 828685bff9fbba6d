// The recorder over the file capture device: the samples land byte-exactly
// in a wave channel, buffer after buffer, and the owner is told after each one
// whether the channel is full.
#include "AudioTestEnv.h"
#include "SoakSupport.h"
#include "capture/RecorderButtons.h"
#include "channels/SoftChanWave16.h"
#include "channels/SoftChanWave8.h"
#include <memory>

#include <gtest/gtest.h>

using namespace audiotest;
using namespace soak;

namespace {

// Cancels from inside the buffer handler once a given number of buffers has
// been stored, so that no later buffer reaches the channel.
class CountingRecorder : public RecorderButtons {
  public:
    int stored = 0;
    int cancelAt = 0;
    int CallProcessData(WAVEHDR* h) { return ProcessData(h); }

  protected:
    int ProcessData(WAVEHDR* h) override {
        int r = RecorderButtons::ProcessData(h);
        if (++stored == cancelAt) Cancel();
        return r;
    }
};

} // namespace

// A channel of 11025 samples (11026 rounded up to even): the first four
// buffers notify 0, the fifth 1 (samples 8820 .. 11024 written, 1 left).
// Every byte of the five buffers is the file's, in order, and the rest of the
// channel is still silence.
TEST(Recorder, SamplesLandByteExactlyAndTheFifthBufferFillsAOneSecondChannel) {
    const std::vector<uint8_t> file = Pattern(3 * 11025, 52);
    WriteBytes(InFile(), file);
    const ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 chan(0, 11025, 1.0f / 11025, &info);
    ASSERT_EQ(chan.RtnNel(), 11026);
    CountingRecorder rec;
    rec.cancelAt = 5;
    ASSERT_EQ(rec.Create(kWmWaveIn, 0, RATE_11025, SAMPLE_8BIT), 1);
    ASSERT_EQ(rec.SetSoftChan(&chan), 1);
    MessageLog owner;
    ASSERT_EQ(rec.Start(&owner), 1);
    EXPECT_EQ(rec.IsActive(), 1);
    ASSERT_TRUE(PumpUntil([&] { return owner.Count(kWmWaveIn) >= 5; }));
    PumpPending();
    EXPECT_EQ(rec.IsActive(), 0);
    EXPECT_EQ(rec.DeviceClose(), 1);

    std::vector<intptr_t> full;
    for (const auto& m : owner.msgs) {
        EXPECT_EQ(m.msg, kWmWaveIn);
        EXPECT_EQ(m.wParam, 100u);
        full.push_back(m.lParam);
    }
    EXPECT_EQ(full, (std::vector<intptr_t>{0, 0, 0, 0, 1}));
    EXPECT_EQ(chan.GetLastSavedSample(), 5 * 2205 - 1);
    EXPECT_EQ(Mismatches(chan, file, 5 * 2205), 0);
    EXPECT_EQ(NotSilence(chan, 5 * 2205), 0);
}

// An empty buffer stores nothing and notifies the channel's current state; a
// buffer after the full report keeps to the samples left; a recorder without
// a channel stores and notifies nothing.
TEST(Recorder, EmptyBufferAndMissingChannel) {
    const ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 chan(0, 100, 1.0f / 11025, &info);
    CountingRecorder rec;
    MessageLog owner;
    rec.Create(kWmWaveIn, 0);
    rec.pOwnerWnd = &owner;
    std::vector<char> bytes(2205, 7);
    WAVEHDR h{};
    h.lpData = bytes.data();
    h.dwBufferLength = 2205;

    EXPECT_EQ(rec.CallProcessData(&h), 1); // no channel yet
    PumpPending();
    EXPECT_TRUE(owner.msgs.empty());

    rec.SetSoftChan(&chan);
    h.dwBytesRecorded = 0;
    EXPECT_EQ(rec.CallProcessData(&h), 1);
    PumpPending();
    ASSERT_EQ(owner.msgs.size(), 1u);
    EXPECT_EQ(owner.msgs[0].lParam, 0);
    EXPECT_EQ(chan.GetLastSavedSample(), -1);

    h.dwBytesRecorded = 61; // 39 samples left: less than used, full
    rec.CallProcessData(&h);
    h.dwBytesRecorded = 0;
    rec.CallProcessData(&h);
    // A buffer that comes after the full report fills only the 39 samples left
    // and does not wrap over the start of the recording.
    std::vector<char> late(2205, 9);
    h.lpData = late.data();
    h.dwBytesRecorded = 2205;
    rec.CallProcessData(&h);
    h.dwBytesRecorded = 0;
    rec.CallProcessData(&h);
    PumpPending();
    std::vector<intptr_t> full;
    for (const auto& m : owner.msgs)
        full.push_back(m.lParam);
    EXPECT_EQ(full, (std::vector<intptr_t>{0, 1, 0, 1, 1}));
    EXPECT_EQ(chan.GetLastSavedSample(), 99);
    std::vector<int> raw;
    for (long i = 0; i < chan.RtnNel(); ++i)
        raw.push_back(chan.GetRawVal(i));
    std::vector<int> want(61, 7);
    want.resize(100, 9);
    EXPECT_EQ(raw, want);
}

// Every rate at both sample sizes, one second through the file devices: the
// channel is reported full with the fifth 0.2 s buffer and holds the file's
// bytes exactly; played back in the same format, the file playback device
// receives exactly those bytes.
TEST(Recorder, EveryFormatIsCapturedAndPlayedByteForByte) {
    const std::vector<uint8_t> file = Pattern(2 * 96000, 53);
    WriteBytes(InFile(), file);
    for (tagWAVERATE rate : {RATE_8000, RATE_11025, RATE_22050, RATE_44100, RATE_48000}) {
        for (tagSAMPLESIZE size : {SAMPLE_8BIT, SAMPLE_16BIT}) {
            const long hz = long(RateOf(rate)), bytes = size == SAMPLE_16BIT ? 2 : 1;
            SCOPED_TRACE(std::to_string(hz) + " Hz " + std::to_string(8 * bytes) + "-bit");
            const ADCHANINFO info = RecordingChannelInfo(int(8 * bytes));
            std::unique_ptr<SOFTCHAN_WAVE> chan;
            if (size == SAMPLE_16BIT)
                chan = std::make_unique<SOFTCHAN_WAVE16>(0, hz, 1.0f / float(hz), &info);
            else
                chan = std::make_unique<SOFTCHAN_WAVE8>(0, hz, 1.0f / float(hz), &info);
            ASSERT_EQ(chan->RtnNel(), hz + hz % 2);
            CountingRecorder rec;
            rec.cancelAt = 5;
            ASSERT_EQ(rec.Create(kWmWaveIn, 0, rate, size), 1);
            rec.SetSoftChan(chan.get());
            MessageLog owner;
            ASSERT_EQ(rec.Start(&owner), 1);
            ASSERT_TRUE(PumpUntil([&] { return owner.Count(kWmWaveIn) >= 5; }));
            PumpPending();
            rec.DeviceClose();
            std::vector<intptr_t> full;
            for (const auto& m : owner.msgs)
                full.push_back(m.lParam);
            EXPECT_EQ(full, (std::vector<intptr_t>{0, 0, 0, 0, 1}));
            EXPECT_EQ(chan->GetLastSavedSample(), hz - 1);
            const uint8_t* stored = chan->SampleData();
            std::vector<uint8_t> data(stored, stored + hz * bytes);
            ASSERT_TRUE(std::equal(data.begin(), data.end(), file.begin()));

            std::remove(OutFile().c_str());
            Playback p;
            p.fmt = rec.GetWaveFormatEx();
            ASSERT_TRUE(p.Run(data, [](Playback&) {}));
            EXPECT_EQ(p.doneReports, 1);
            EXPECT_TRUE(ReadBytes(OutFile()) == data);
        }
    }
}
