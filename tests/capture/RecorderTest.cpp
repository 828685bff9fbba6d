// The recorder over the file capture device: the samples land byte-exactly
// in a wave channel, buffer after buffer, and the owner is told after each one
// whether the channel is full.
#include "AudioTestEnv.h"
#include "SoakSupport.h"
#include "capture/RecorderButtons.h"
#include "channels/SoftChanWave8.h"

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
