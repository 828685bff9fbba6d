// The wave-out layer over the file playback device: buffers played in order
// into the file, one done report per buffer, reset, position and errors.
#include "platform/WaveOut.h"
#include "AudioTestEnv.h"
#include "capture/CaptureTypes.h"

#include <condition_variable>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

using namespace audiotest;

namespace {

const WAVEFORMATEX kFmt = MakeWaveFormat(RATE_11025, SAMPLE_8BIT);

// Counts the callback's reports per header, from whatever thread they come.
struct Reports {
    std::mutex lock;
    std::condition_variable cv;
    std::map<DWORD_PTR, int> done;
    int opened = 0, closed = 0, other = 0;

    static void Callback(HWAVEOUT, unsigned msg, DWORD_PTR inst, DWORD_PTR p1, DWORD_PTR) {
        auto* r = reinterpret_cast<Reports*>(inst);
        std::lock_guard<std::mutex> lk(r->lock);
        if (msg == WOM_DONE)
            ++r->done[p1];
        else if (msg == WOM_OPEN)
            ++r->opened;
        else if (msg == WOM_CLOSE)
            ++r->closed;
        else
            ++r->other;
        r->cv.notify_all();
    }
    int DoneCount(const WAVEHDR* h) {
        std::lock_guard<std::mutex> lk(lock);
        auto it = done.find(reinterpret_cast<DWORD_PTR>(h));
        return it == done.end() ? 0 : it->second;
    }
    // Waits for n reports in all (bounded, so a missing report fails instead of hanging).
    bool WaitDone(size_t n) {
        std::unique_lock<std::mutex> lk(lock);
        return cv.wait_for(lk, std::chrono::seconds(30), [&] {
            size_t total = 0;
            for (auto& [h, c] : done)
                total += size_t(c);
            return total >= n;
        });
    }
};

// Opens the default device with r's callback; null on failure.
HWAVEOUT Open(Reports& r) {
    HWAVEOUT h = nullptr;
    waveOutOpen(&h, WAVE_MAPPER, &kFmt, &Reports::Callback, DWORD_PTR(&r), CALLBACK_FUNCTION);
    return h;
}

WAVEHDR HeaderFor(std::vector<uint8_t>& data) {
    WAVEHDR h;
    std::memset(&h, 0, sizeof(h));
    h.lpData = reinterpret_cast<char*>(data.data());
    h.dwBufferLength = DWORD(data.size());
    return h;
}

} // namespace

// Three buffers written at once are played one after another into the file,
// each reported done exactly once; the dialog's order of unprepare, reset and
// close then reports nothing more.
TEST(WaveOut, BuffersArePlayedIntoTheFileAndEachReportedOnce) {
    std::remove(OutFile().c_str());
    std::vector<uint8_t> a = Pattern(11025, 21), b = Pattern(1, 22), c = Pattern(5000, 23);
    WAVEHDR ha = HeaderFor(a), hb = HeaderFor(b), hc = HeaderFor(c);
    Reports r;
    HWAVEOUT h = Open(r);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(r.opened, 1);
    for (WAVEHDR* hdr : {&ha, &hb, &hc}) {
        EXPECT_EQ(waveOutWrite(h, hdr, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
        ASSERT_EQ(waveOutPrepareHeader(h, hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(h, hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveOutWrite(h, &hc, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    ASSERT_TRUE(r.WaitDone(3));
    for (WAVEHDR* hdr : {&ha, &hb, &hc}) {
        EXPECT_TRUE(hdr->dwFlags & WHDR_DONE);
        EXPECT_FALSE(hdr->dwFlags & WHDR_INQUEUE);
    }
    MMTIME pos{TIME_SAMPLES, {0}};
    ASSERT_EQ(waveOutGetPosition(h, &pos, sizeof(pos)), MMSYSERR_NOERROR);
    EXPECT_EQ(pos.u.sample, 16026u);
    pos.wType = TIME_BYTES;
    waveOutGetPosition(h, &pos, sizeof(pos));
    EXPECT_EQ(pos.u.cb, 16026u);

    for (WAVEHDR* hdr : {&ha, &hb, &hc})
        EXPECT_EQ(waveOutUnprepareHeader(h, hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(r.DoneCount(&ha), 1);
    EXPECT_EQ(r.DoneCount(&hb), 1);
    EXPECT_EQ(r.DoneCount(&hc), 1);
    EXPECT_EQ(r.closed, 1);
    EXPECT_EQ(r.other, 0);

    std::vector<uint8_t> all = a;
    all.insert(all.end(), b.begin(), b.end());
    all.insert(all.end(), c.begin(), c.end());
    EXPECT_EQ(ReadBytes(OutFile()), all);
}

// A reset, or a close, returns whatever is still queued; played or returned,
// every buffer is reported once, and the file holds a leading part of the
// data in order.
TEST(WaveOut, ResetAndCloseReturnQueuedBuffersOnce) {
    for (bool viaClose : {false, true}) {
        SCOPED_TRACE(viaClose);
        std::remove(OutFile().c_str());
        std::vector<std::vector<uint8_t>> data;
        std::vector<WAVEHDR> hdrs;
        for (unsigned i = 0; i < 6; ++i)
            data.push_back(Pattern(30000, 30 + i));
        for (auto& d : data)
            hdrs.push_back(HeaderFor(d));
        Reports r;
        HWAVEOUT h = Open(r);
        ASSERT_NE(h, nullptr);
        for (auto& hdr : hdrs) {
            waveOutPrepareHeader(h, &hdr, sizeof(WAVEHDR));
            ASSERT_EQ(waveOutWrite(h, &hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
        if (!viaClose) {
            ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
            for (auto& hdr : hdrs) {
                EXPECT_EQ(r.DoneCount(&hdr), 1);
                EXPECT_EQ(waveOutUnprepareHeader(h, &hdr, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            }
            MMTIME pos{TIME_SAMPLES, {0}};
            waveOutGetPosition(h, &pos, sizeof(pos));
            EXPECT_EQ(pos.u.sample, 0u);
        }
        ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
        for (auto& hdr : hdrs) {
            EXPECT_EQ(r.DoneCount(&hdr), 1);
            EXPECT_TRUE(hdr.dwFlags & WHDR_DONE);
        }
        EXPECT_EQ(r.closed, 1);

        std::vector<uint8_t> all;
        for (auto& d : data)
            all.insert(all.end(), d.begin(), d.end());
        std::vector<uint8_t> played = ReadBytes(OutFile());
        ASSERT_LE(played.size(), all.size());
        EXPECT_TRUE(std::equal(played.begin(), played.end(), all.begin()));
    }
}

TEST(WaveOut, ErrorsAndDeviceChoice) {
    HWAVEOUT h = nullptr;
    WAVEFORMATEX f = kFmt;
    f.nChannels = 3;
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, nullptr, 0, 0), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, CALLBACK_WINDOW), MMSYSERR_INVALFLAG);
    WAVEOUTCAPS caps;
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof(caps)), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "vok_file");
    {
        EnvGuard g("VOK_AUDIO_DEVICE", "vok_file_out");
        EXPECT_EQ(waveOutGetNumDevs(), 1u);
    }
    {
        EnvGuard g("VOK_AUDIO_DEVICE", "no_such_sound_device");
        EXPECT_EQ(waveOutGetNumDevs(), 0u);
        EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, 0), MMSYSERR_NODRIVER);
    }
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &kFmt, nullptr, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    MMTIME pos{TIME_SAMPLES, {0}};
    EXPECT_EQ(waveOutGetPosition(h, &pos, sizeof(pos)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_INVALHANDLE);
}
