// The wave-in layer over the file capture device: device choice, buffers
// filled in order with the file's bytes, stop and reset, and errors.
#include "platform/WaveIn.h"
#include "AudioTestEnv.h"
#include "capture/CaptureTypes.h"
#include "platform/AudioSystem.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace audiotest;

namespace {

struct Buffer {
    explicit Buffer(size_t n) : bytes(n) {
        std::memset(&hdr, 0, sizeof(hdr));
        hdr.lpData = reinterpret_cast<char*>(bytes.data());
        hdr.dwBufferLength = DWORD(n);
    }
    std::vector<uint8_t> bytes;
    WAVEHDR hdr;
};

WAVEHDR* HeaderOf(const MessageLog::Msg& m) {
    return reinterpret_cast<WAVEHDR*>(m.lParam);
}

const WAVEFORMATEX kFmt = MakeWaveFormat(RATE_11025, SAMPLE_8BIT);

// The device's position in the given unit; ~0u when it cannot be read.
DWORD Position(HWAVEIN h, unsigned type = TIME_SAMPLES) {
    MMTIME pos{type, {0}};
    if (waveInGetPosition(h, &pos, sizeof(pos)) != MMSYSERR_NOERROR) return ~0u;
    return type == TIME_BYTES ? pos.u.cb : type == TIME_MS ? pos.u.ms : pos.u.sample;
}

} // namespace

TEST(WaveIn, DeviceChoiceFollowsTheEnvironment) {
    ASSERT_GE(waveInGetNumDevs(), 1u);
    WAVEINCAPS caps;
    ASSERT_EQ(waveInGetDevCaps(0, &caps, sizeof(caps)), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "vok_file"); // the exact name before names containing it
    ASSERT_EQ(waveInGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "vok_file");
    {
        EnvGuard g("VOK_AUDIO_DEVICE", "FILE_IN");
        EXPECT_EQ(waveInGetNumDevs(), 1u);
        ASSERT_EQ(waveInGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)), MMSYSERR_NOERROR);
        EXPECT_STREQ(caps.szPname, "vok_file_in");
        EXPECT_EQ(waveInGetDevCaps(1, &caps, sizeof(caps)), MMSYSERR_BADDEVICEID);
    }
    {
        EnvGuard g("VOK_AUDIO_DEVICE", "no_such_sound_device");
        EXPECT_EQ(waveInGetNumDevs(), 0u);
        EXPECT_EQ(waveInGetDevCaps(0, &caps, sizeof(caps)), MMSYSERR_NODRIVER);
        HWAVEIN h = reinterpret_cast<HWAVEIN>(1);
        EXPECT_EQ(waveInOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
        EXPECT_EQ(h, nullptr);
    }
}

TEST(WaveIn, BadFormatsAndFlagsAreRefused) {
    HWAVEIN h = nullptr;
    WAVEFORMATEX tag = kFmt, align = kFmt, bits = kFmt;
    tag.wFormatTag = 3;
    align.nBlockAlign = 2;
    bits.wBitsPerSample = 12;
    for (const WAVEFORMATEX* f : std::vector<const WAVEFORMATEX*>{&tag, &align, &bits, nullptr})
        EXPECT_EQ(waveInOpen(&h, WAVE_MAPPER, f, nullptr, 0, 0), WAVERR_BADFORMAT);
    EXPECT_EQ(waveInOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, CALLBACK_FUNCTION),
              MMSYSERR_INVALFLAG);
    EXPECT_EQ(h, nullptr);
}

// Buffers come back in the order they were queued, each full, and together
// they hold the file's bytes exactly, 8-bit and 16-bit samples alike; the
// position counts samples, not bytes.
TEST(WaveIn, BuffersHoldTheFileInOrder) {
    const std::vector<uint8_t> file = Pattern(200000, 11);
    WriteBytes(InFile(), file);
    for (const WAVEFORMATEX& f : {kFmt, MakeWaveFormat(RATE_44100, SAMPLE_16BIT)}) {
        SCOPED_TRACE(f.wBitsPerSample);
        const DWORD bytes = f.nAvgBytesPerSec / 5; // 0.2 s
        MessageLog log;
        HWAVEIN h = nullptr;
        ASSERT_EQ(waveInOpen(&h, WAVE_MAPPER, &f, &log, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
        Buffer a(bytes), b(bytes);
        for (Buffer* buf : {&a, &b}) {
            ASSERT_EQ(waveInPrepareHeader(h, &buf->hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            EXPECT_TRUE(buf->hdr.dwFlags & WHDR_PREPARED);
            ASSERT_EQ(waveInAddBuffer(h, &buf->hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
        EXPECT_EQ(waveInAddBuffer(h, &a.hdr, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
        EXPECT_EQ(waveInUnprepareHeader(h, &a.hdr, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);

        // Each buffer is re-queued as it comes back: the two queued first and eight
        // re-queued ones make ten.
        std::vector<uint8_t> got;
        std::vector<WAVEHDR*> order;
        log.onMessage = [&](const MessageLog::Msg& m) {
            ASSERT_EQ(m.msg, unsigned(MM_WIM_DATA));
            EXPECT_EQ(reinterpret_cast<HWAVEIN>(m.wParam), h);
            WAVEHDR* hdr = HeaderOf(m);
            EXPECT_TRUE(hdr->dwFlags & WHDR_DONE);
            EXPECT_FALSE(hdr->dwFlags & WHDR_INQUEUE);
            EXPECT_EQ(hdr->dwBytesRecorded, bytes);
            order.push_back(hdr);
            got.insert(got.end(), hdr->lpData, hdr->lpData + hdr->dwBytesRecorded);
            if (order.size() <= 8) waveInAddBuffer(h, hdr, sizeof(WAVEHDR));
        };
        ASSERT_EQ(waveInStart(h), MMSYSERR_NOERROR);
        ASSERT_TRUE(PumpUntil([&] { return order.size() >= 10; }));
        EXPECT_EQ(Position(h), 10 * bytes / f.nBlockAlign); // none queued: stopped
        ASSERT_EQ(waveInReset(h), MMSYSERR_NOERROR);
        PumpPending();

        ASSERT_EQ(got.size(), 10u * bytes);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), file.begin()));
        for (size_t i = 0; i < order.size(); ++i)
            EXPECT_EQ(order[i], i % 2 ? &b.hdr : &a.hdr) << i;

        EXPECT_EQ(Position(h), 0u); // reset
        EXPECT_EQ(waveInUnprepareHeader(h, &a.hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_FALSE(a.hdr.dwFlags & WHDR_PREPARED);
        EXPECT_EQ(waveInClose(h), MMSYSERR_NOERROR);
    }
}

// Stop returns a partly filled buffer and keeps empty ones; reset returns the
// rest; the position counts the samples captured since the last reset.
TEST(WaveIn, StopResetAndPosition) {
    WriteBytes(InFile(), Pattern(20000, 12));
    MessageLog log;
    HWAVEIN h = nullptr;
    ASSERT_EQ(waveInOpen(&h, 0, &kFmt, &log, 0, CALLBACK_WINDOW | WAVE_FORMAT_DIRECT),
              MMSYSERR_NOERROR);
    Buffer a(3000), b(1000);
    waveInPrepareHeader(h, &a.hdr, sizeof(WAVEHDR));
    waveInPrepareHeader(h, &b.hdr, sizeof(WAVEHDR));
    ASSERT_EQ(waveInAddBuffer(h, &a.hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStart(h), MMSYSERR_NOERROR);
    // With one buffer queued the device stops filling once it is full.
    ASSERT_TRUE(PumpUntil([&] { return Position(h) >= 3000; }));
    EXPECT_EQ(Position(h), 3000u);
    EXPECT_EQ(Position(h, TIME_BYTES), 3000u);
    EXPECT_EQ(Position(h, TIME_MS), 272u); // 3000 / 11025 s

    ASSERT_EQ(waveInAddBuffer(h, &b.hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return log.Count(MM_WIM_DATA) >= 2; }));
    ASSERT_EQ(waveInStop(h), MMSYSERR_NOERROR);
    PumpPending();
    EXPECT_EQ(log.Count(MM_WIM_DATA), 2u);
    EXPECT_EQ(HeaderOf(log.msgs[0]), &a.hdr);
    EXPECT_EQ(HeaderOf(log.msgs[1]), &b.hdr);

    // An empty buffer stays queued over a stop and comes back with the reset.
    ASSERT_EQ(waveInAddBuffer(h, &a.hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInStop(h), MMSYSERR_NOERROR);
    PumpPending();
    EXPECT_EQ(log.Count(MM_WIM_DATA), 2u);
    EXPECT_TRUE(a.hdr.dwFlags & WHDR_INQUEUE);
    ASSERT_EQ(waveInReset(h), MMSYSERR_NOERROR);
    PumpPending();
    ASSERT_EQ(log.Count(MM_WIM_DATA), 3u);
    EXPECT_EQ(HeaderOf(log.msgs[2]), &a.hdr);
    EXPECT_EQ(a.hdr.dwBytesRecorded, 0u);
    EXPECT_TRUE(a.hdr.dwFlags & WHDR_DONE);
    EXPECT_EQ(Position(h), 0u);
    EXPECT_EQ(waveInClose(h), MMSYSERR_NOERROR);
}

TEST(WaveIn, ClosedHandleIsInvalidAndUnpreparedBufferRefused) {
    HWAVEIN h = nullptr;
    ASSERT_EQ(waveInOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    Buffer a(100);
    EXPECT_EQ(waveInAddBuffer(h, &a.hdr, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInAddBuffer(h, &a.hdr, 4), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInClose(h), MMSYSERR_NOERROR);
    MMTIME pos{TIME_SAMPLES, {0}};
    EXPECT_EQ(waveInClose(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInStart(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInStop(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInReset(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInGetPosition(h, &pos, sizeof(pos)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInPrepareHeader(h, &a.hdr, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInAddBuffer(nullptr, &a.hdr, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
}
