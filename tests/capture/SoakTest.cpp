// Long runs of the capture and playback paths over the file devices: a
// five-minute recording while the GUI thread is kept busy repainting, and
// hundreds of record/stop and play/stop cycles, after which no device thread
// is left behind. Leaks of these runs are found by the AddressSanitizer build
// (scripts/test-sanitize), races by the ThreadSanitizer build.
#include "AudioTestEnv.h"
#include "SoakSupport.h"
#include "capture/RecorderButtons.h"
#include "channels/SoftChanWave8.h"
#include "platform/WaveOut.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>

using namespace audiotest;
using namespace soak;

// 300 s of input recorded into a 300 s channel as the dialog records: the
// owner stops when the first full report reaches it through the event loop,
// while a window repaints itself every millisecond. Every byte of the 1500
// buffers lands in order: the channel equals the input file byte for byte up
// to its last sample written. A buffer that comes after the full report only
// fills the samples left and does not wrap over the start of the recording.
TEST(CaptureSoak, FiveMinutesLandByteExactlyWhileTheGuiRepaints) {
    const long seconds = 300, buffers = seconds * kRate / kBuf; // 1500
    const std::vector<uint8_t> file = Pattern(size_t((seconds + 2) * kRate), 300);
    WriteBytes(InFile(), file);
    const ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 chan(0, seconds * kRate, 1.0f / kRate, &info);

    RecorderButtons rec;
    ASSERT_EQ(rec.Create(kWmWaveIn, 0, RATE_11025, SAMPLE_8BIT), 1);
    rec.SetSoftChan(&chan);
    ASSERT_EQ(rec.DeviceOpen(), 1);
    BusyView view;
    ASSERT_TRUE(view.Start());

    MessageLog owner;
    bool stopped = false;
    owner.onMessage = [&](const MessageLog::Msg& m) {
        if (m.msg == kWmWaveIn && m.lParam == 1 && !stopped) {
            stopped = true;
            EXPECT_EQ(rec.Cancel(), 1);
        }
    };
    const long paintsBefore = view.paints;
    ASSERT_EQ(rec.Start(&owner), 1);
    ASSERT_TRUE(PumpUntil([&] { return stopped; }, 240000));
    PumpPending();
    const long paints = view.paints - paintsBefore;
    EXPECT_EQ(rec.DeviceClose(), 1);
    view.KillTimer(1);
    std::cout << "[ soak     ] " << owner.msgs.size() << " buffers, " << paints
              << " repaints during the recording\n";
    EXPECT_GT(paints, 0); // the GUI thread was loaded

    // One report per buffer: 1499 not full, then full from the 1500th on.
    ASSERT_GE(owner.msgs.size(), size_t(buffers));
    for (size_t i = 0; i < owner.msgs.size(); ++i) {
        ASSERT_EQ(owner.msgs[i].msg, kWmWaveIn);
        ASSERT_EQ(owner.msgs[i].lParam, i + 1 >= size_t(buffers) ? 1 : 0) << i;
    }
    // Every byte of the 1500 buffers, in order, compared with the input file.
    // A late buffer wrapping over the start would show here as well.
    const long kept = chan.GetLastSavedSample() + 1;
    ASSERT_EQ(kept, buffers * kBuf);
    const long bad = Mismatches(chan, file, kept);
    EXPECT_EQ(bad, 0);
    std::cout << "[ soak     ] " << seconds << " s captured: " << kept - bad << " of "
              << buffers * kBuf << " source bytes in the recording\n";
}

// 200 recordings started and stopped on one engine, as the dialog does, each
// stopped after 0 to 4 buffers from the event loop, with the device closed and
// opened again every 20th time. Each recording holds whole buffers that
// follow one another in the input without a gap, and each begins after where
// the one before ended (the input runs on while the device stays open). No
// thread is left behind at the end.
TEST(CaptureSoak, TwoHundredRecordStopCyclesLeaveNothingBehind) {
    const std::vector<uint8_t> file = Pattern(size_t(900 * kRate), 200);
    WriteBytes(InFile(), file);
    const ADCHANINFO info = RecordingChannelInfo();
    const int threadsBefore = ThreadBaseline();
    {
        RecorderButtons rec;
        ASSERT_EQ(rec.Create(kWmWaveIn, 0, RATE_11025, SAMPLE_8BIT), 1);
        MessageLog owner;
        size_t stopAt = 0;
        bool stopped = false;
        owner.onMessage = [&](const MessageLog::Msg& m) {
            if (m.msg == kWmWaveIn && !stopped && owner.Count(kWmWaveIn) >= stopAt) {
                stopped = true;
                rec.Cancel();
            }
        };
        size_t from = 0; // input offset where the last recording ended
        for (int cycle = 0; cycle < 200; ++cycle) {
            SCOPED_TRACE(cycle);
            if (cycle % 20 == 19) {
                ASSERT_EQ(rec.DeviceClose(), 1);
                ASSERT_EQ(rec.DeviceOpen(), 1);
                from = 0; // a new device reads the input from its start
            }
            SOFTCHAN_WAVE8 chan(0, 2 * kRate, 1.0f / kRate, &info);
            rec.SetSoftChan(&chan);
            owner.msgs.clear();
            stopAt = size_t(cycle % 5);
            stopped = false;
            ASSERT_EQ(rec.Start(&owner), 1);
            if (stopAt == 0) {
                stopped = true;
                ASSERT_EQ(rec.Cancel(), 1);
            }
            ASSERT_TRUE(PumpUntil([&] { return stopped; }));
            PumpPending();
            ASSERT_EQ(rec.GetWaveState(), WAVE_OPEN);
            ASSERT_EQ(rec.IsActive(), 0);

            // Buffers handled before the stop took effect: at least stopAt, and
            // one report for each.
            const long got = long(owner.msgs.size());
            ASSERT_GE(got, long(stopAt));
            ASSERT_EQ(chan.GetLastSavedSample(), int(got * kBuf - 1));
            if (got == 0) continue;
            // Find the first buffer in the input, then the others behind it.
            std::vector<uint8_t> head(32);
            for (int k = 0; k < 32; ++k)
                head[size_t(k)] = uint8_t(chan.GetRawVal(k));
            auto it = std::search(file.begin() + long(from), file.end(), head.begin(), head.end());
            ASSERT_NE(it, file.end()) << "recording not found in the input after offset " << from;
            const size_t at = size_t(it - file.begin());
            ASSERT_LE(at + size_t(got * kBuf), file.size());
            ASSERT_EQ(Mismatches(chan, file, got * kBuf, at), 0);
            from = at + size_t(got * kBuf);
        }
        rec.SetSoftChan(nullptr);
        EXPECT_EQ(rec.DeviceClose(), 1);
        PumpPending();
    }
    EXPECT_LE(SettledThreadCount(threadsBefore), threadsBefore);
}

// 200 playbacks run as the dialog runs them, in four kinds: stopped at once,
// stopped once the position moved, stopped after about half a second, and
// played to the end. Each reports its buffer done exactly once, each worker
// ends, what reached the output is the start of the buffer (all of it when
// played to the end), and no device thread is left behind.
TEST(PlaybackSoak, TwoHundredPlayStopCyclesLeaveNothingBehind) {
    const int threadsBefore = ThreadBaseline();
    int stoppedEarly = 0;
    for (int cycle = 0; cycle < 200; ++cycle) {
        SCOPED_TRACE(cycle);
        const int kind = cycle % 4;
        std::vector<uint8_t> data = Pattern(kind == 3 ? 3000 : size_t(2 * kRate), unsigned(cycle));
        std::remove(OutFile().c_str());
        Playback p;
        bool ok = p.Run(data, [&](Playback& pb) {
            if (kind == 0) pb.Stop();
            if (kind == 1 || kind == 2) {
                const long want = kind == 1 ? 1 : kRate / 2;
                PumpUntil([&] { return pb.Position() < 0 || pb.Position() >= want; });
                pb.Stop();
            }
            // kind 3 plays to its end; the worker closes the device.
        });
        ASSERT_TRUE(ok);
        ASSERT_EQ(p.doneReports.load(), 1);
        const std::vector<uint8_t> out = ReadBytes(OutFile());
        if (kind == 3) {
            ASSERT_EQ(out, data);
        } else {
            ASSERT_LE(out.size(), data.size());
            ASSERT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << out.size() << " bytes";
            stoppedEarly += out.size() < data.size();
        }
    }
    std::cout << "[ soak     ] " << stoppedEarly << " of 150 stopped playbacks cut short\n";
    EXPECT_LE(SettledThreadCount(threadsBefore), threadsBefore);
}
