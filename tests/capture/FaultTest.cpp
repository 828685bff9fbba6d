// Faults under the capture, playback and saving paths: the capture input
// ending, the capture and playback devices failing part-way (a read or write
// error from the audio back end, as when a device is unplugged), and saving
// into a file system that is full. Each ends with what had been captured or
// written kept, a clear result and no hang.
#include "AudioTestEnv.h"
#include "PaFault.h"
#include "SoakSupport.h"
#include "capture/RecorderButtons.h"
#include "capture/WavWriter.h"
#include "channels/SoftChanWave8.h"
#include "platform/WaveIn.h"
#include "platform/WaveOut.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <portaudio.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace audiotest;
using namespace soak;
namespace fs = std::filesystem;

namespace {

// A recording run as the dialog runs it: stopped (Cancel, DeviceClose) when a
// full report reaches the owner through the event loop.
struct DialogLikeRecording {
    RecorderButtons rec;
    MessageLog owner;
    bool stopped = false;
    explicit DialogLikeRecording(SOFTCHAN_WAVE8* chan) {
        EXPECT_EQ(rec.Create(kWmWaveIn, 0, RATE_11025, SAMPLE_8BIT), 1);
        rec.SetSoftChan(chan);
        owner.onMessage = [this](const MessageLog::Msg& m) {
            if (m.msg == kWmWaveIn && m.lParam == 1 && !stopped) {
                stopped = true;
                rec.Cancel();
                rec.DeviceClose();
            }
        };
    }
    // Starts and runs the event loop until the owner has stopped.
    bool Run() {
        stopped = false;
        owner.msgs.clear();
        if (rec.Start(&owner) != 1 || !PumpUntil([&] { return stopped; })) return false;
        PumpPending();
        return true;
    }
    std::vector<intptr_t> Reports() const {
        std::vector<intptr_t> v;
        for (const auto& m : owner.msgs)
            v.push_back(m.lParam);
        return v;
    }
};

} // namespace

// The file device does not end with its input: past the end it goes on
// delivering (stale or zero samples), so the engine cannot see the end and
// the recording ends as usual on the full channel. Everything that came from
// the file is in the channel, in order; nothing hangs.
TEST(CaptureFault, InputEndingMidRecordingKeepsWhatCameBefore) {
    const std::vector<uint8_t> file = Pattern(size_t(5 * kBuf + 1000), 61); // 1.09 s
    WriteBytes(InFile(), file);
    const ADCHANINFO info = RecordingChannelInfo();
    SOFTCHAN_WAVE8 chan(0, 2 * kRate, 1.0f / kRate, &info);
    DialogLikeRecording r(&chan);
    ASSERT_TRUE(r.Run());
    EXPECT_EQ(r.rec.GetWaveState(), WAVE_CLOSED);
    EXPECT_EQ(r.rec.DeviceLost(), 0);
    // Ten buffers fill a 2 s channel; the tenth is the first full report.
    const std::vector<intptr_t> reports = r.Reports();
    ASSERT_GE(reports.size(), 10u);
    for (size_t i = 0; i < reports.size(); ++i)
        EXPECT_EQ(reports[i], i >= 9 ? 1 : 0) << i;
    EXPECT_EQ(Mismatches(chan, file, long(file.size())), 0); // all that came from the file
}

// The capture device fails part-way through a buffer, at a buffer boundary,
// and before its first sample. The buffer being filled comes back with what it
// holds, the engine tells the owner as if the channel were full, and the
// owner's stop keeps every sample captured before the failure. Opened again,
// the device records as before.
TEST(CaptureFault, DeviceFailingMidRecordingEndsItWithWhatWasCaptured) {
    pafault::Guard guard;
    const std::vector<uint8_t> file = Pattern(size_t(10 * kRate), 62);
    WriteBytes(InFile(), file);
    const ADCHANINFO info = RecordingChannelInfo();
    struct Case {
        uint64_t failAfter; // frames read before the failure
        long whole;         // whole buffers delivered before it
        long partBytes;     // bytes of the buffer being filled
    };
    // Reads go in pieces of 512 frames inside each 2205-byte buffer.
    for (const Case& c : {Case{7 * kBuf + 1024, 7, 1024}, Case{3 * kBuf, 3, 0}}) {
        SCOPED_TRACE(c.failAfter);
        SOFTCHAN_WAVE8 chan(0, 5 * kRate, 1.0f / kRate, &info);
        DialogLikeRecording r(&chan);
        pafault::FailReadsAfter(c.failAfter, paUnanticipatedHostError);
        ASSERT_TRUE(r.Run());
        EXPECT_GT(pafault::ReadCalls(), 0u); // the fault was on the path
        EXPECT_EQ(pafault::FramesRead(), c.failAfter);
        EXPECT_EQ(r.rec.DeviceLost(), 1);
        EXPECT_EQ(r.rec.GetWaveState(), WAVE_CLOSED);

        // One report per buffer, the one handed back by the failing device
        // included. Full is reported from the first buffer that could not be
        // queued again: the handed-back one, or the one before it when that
        // was still waiting to be queued again when the device failed (only
        // two buffers circulate).
        const std::vector<intptr_t> reports = r.Reports();
        ASSERT_EQ(reports.size(), size_t(c.whole + 1));
        EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
        EXPECT_EQ(reports.back(), 1);
        EXPECT_LE(std::count(reports.begin(), reports.end(), 1), 2);
        const long kept = c.whole * kBuf + c.partBytes;
        EXPECT_EQ(chan.GetLastSavedSample(), int(kept - 1));
        EXPECT_EQ(Mismatches(chan, file, kept), 0);
        EXPECT_EQ(NotSilence(chan, kept), 0);

        // The device is back once opened again.
        pafault::Clear();
        ASSERT_EQ(r.rec.DeviceOpen(), 1);
        SOFTCHAN_WAVE8 next(0, kRate, 1.0f / kRate, &info);
        r.rec.SetSoftChan(&next);
        ASSERT_TRUE(r.Run());
        EXPECT_EQ(r.rec.DeviceLost(), 0);
        // Five buffers fill the one-second channel; a buffer that came before
        // the stop reports full again.
        const std::vector<intptr_t> again = r.Reports();
        ASSERT_GE(again.size(), 5u);
        for (size_t i = 0; i < again.size(); ++i)
            EXPECT_EQ(again[i], i >= 4 ? 1 : 0) << i;
    }

    // Failing before the first sample: the start gives up at once.
    SOFTCHAN_WAVE8 chan(0, kRate, 1.0f / kRate, &info);
    DialogLikeRecording r(&chan);
    pafault::FailReadsAfter(0, paUnanticipatedHostError);
    EXPECT_EQ(r.rec.Start(&r.owner), 0);
    EXPECT_EQ(r.rec.GetWaveState(), WAVE_OPEN);
    EXPECT_EQ(r.rec.Cancel(), 1);
    EXPECT_EQ(r.rec.DeviceClose(), 1);
    PumpPending();
    EXPECT_TRUE(r.owner.msgs.empty());
    EXPECT_EQ(chan.GetLastSavedSample(), -1);
}

// The playback device fails part-way: the buffer is reported done once, the
// dialog's worker can close the device, and the output holds no more than what
// was written before the failure, in order. The next playback plays in full.
TEST(PlaybackFault, DeviceFailingMidPlaybackReturnsTheBufferOnce) {
    pafault::Guard guard;
    std::vector<uint8_t> data = Pattern(size_t(3 * kRate), 63);
    for (bool fail : {true, false}) {
        SCOPED_TRACE(fail);
        std::remove(OutFile().c_str());
        if (fail) pafault::FailWritesAfter(5 * 512, paUnanticipatedHostError);
        Playback p;
        ASSERT_TRUE(p.Run(data, [](Playback&) {})); // to its end, or the failure
        EXPECT_TRUE(p.hdr.dwFlags & WHDR_DONE);
        EXPECT_EQ(p.closing, std::vector<MMRESULT>(3, MMSYSERR_NOERROR));
        EXPECT_EQ(p.doneReports.load(), 1);
        const std::vector<uint8_t> out = ReadBytes(OutFile());
        if (fail) {
            EXPECT_GT(pafault::WriteCalls(), 0u);
            EXPECT_EQ(pafault::FramesWritten(), 5u * 512u);
            ASSERT_LE(out.size(), 5u * 512u);
            EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin()));
            pafault::Clear();
        } else {
            EXPECT_EQ(out, data);
        }
    }
}

namespace {

// A small file system of its own (tmpfs of 64 KiB) mounted on a temporary
// folder, unmounted again at the end. Mounting needs the privilege to do so;
// without it `mounted` stays false and `why` tells the reason.
struct SmallFileSystem {
    std::string dir;
    bool mounted = false;
    std::string why;
    SmallFileSystem() {
        char tmpl[] = "/tmp/vok-fullfs-XXXXXX";
        if (!mkdtemp(tmpl)) {
            why = std::string("no temporary folder: ") + std::strerror(errno);
            return;
        }
        dir = tmpl;
        if (mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") != 0)
            why = std::string("cannot mount a small tmpfs: ") + std::strerror(errno);
        else
            mounted = true;
    }
    ~SmallFileSystem() {
        if (mounted) umount2(dir.c_str(), MNT_DETACH);
        if (!dir.empty()) rmdir(dir.c_str());
    }
    // Fills the file system with one file until a write fails for want of space.
    bool Fill() {
        int fd = open((dir + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0) return false;
        std::vector<char> block(4096, 'x');
        ssize_t n;
        int err = 0;
        do {
            n = write(fd, block.data(), block.size());
            if (n < 0) err = errno;
        } while (n > 0);
        close(fd);
        return err == ENOSPC || n == 0;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> v;
        for (const auto& e : fs::directory_iterator(dir))
            v.push_back(e.path().filename().string());
        std::sort(v.begin(), v.end());
        return v;
    }
};

} // namespace

// Saving into a full file system fails, and an earlier file of that name is
// left exactly as it was with no partial file beside it: when the disk is
// completely full, and when it has room for the new file alone but not for
// both while the new one is being written. With room again, saving works.
TEST(WavWriterFault, FullFileSystemFailsAndKeepsTheEarlierFile) {
    SmallFileSystem small;
    if (!small.mounted) GTEST_SKIP() << small.why;
    const WAVEFORMATEX fmt = MakeWaveFormat(RATE_11025, SAMPLE_8BIT);
    const std::string path = small.dir + "/item.wav";
    std::vector<uint8_t> first = Pattern(30000, 64), second = Pattern(40000, 65);

    ASSERT_EQ(WAVWriter().Save(path.c_str(), &fmt, first.data(), int(first.size())), 1);
    const std::vector<uint8_t> before = ReadBytes(path);
    ASSERT_EQ(before.size(), 46u + 30000u);

    // 30 KiB used of 64: the new 40 KiB file fits alone, not beside the old one.
    EXPECT_EQ(WAVWriter().Save(path.c_str(), &fmt, second.data(), int(second.size())), 0);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(small.Names(), (std::vector<std::string>{"item.wav"}));

    // Completely full: neither a replacement nor a new file.
    ASSERT_TRUE(small.Fill());
    std::vector<uint8_t> tiny = Pattern(100, 66);
    EXPECT_EQ(WAVWriter().Save(path.c_str(), &fmt, tiny.data(), int(tiny.size())), 0);
    EXPECT_EQ(WAVWriter().Save((small.dir + "/new.wav").c_str(), &fmt, tiny.data(), 100), 0);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(small.Names(), (std::vector<std::string>{"filler", "item.wav"}));

    // Room again: the replacement goes through.
    ASSERT_EQ(unlink((small.dir + "/filler").c_str()), 0);
    EXPECT_EQ(WAVWriter().Save(path.c_str(), &fmt, tiny.data(), int(tiny.size())), 1);
    EXPECT_EQ(ReadBytes(path).size(), 46u + 100u);
    EXPECT_EQ(small.Names(), (std::vector<std::string>{"item.wav"}));
}
