// Helpers of the recorder, soak and fault tests: comparing a recording with
// its input file, a window that keeps the GUI thread busy
// repainting, the process's thread count, a one-shot event and a playback run
// as the dialog runs it.
#pragma once
#include "capture/CaptureTypes.h"
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include "platform/WaveOut.h"
#include "platform/Wnd.h"
#include "record/RecordingAnalysis.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace soak {

constexpr unsigned kWmWaveIn = 0x8005; // the recorder's message to its owner
constexpr long kRate = 11025;
constexpr long kBuf = 2205; // bytes of a capture buffer: 0.2 s

// Channel samples 0 .. n-1 that differ from the input file from offset `at`
// on: the channel holds every captured byte, so sample k is byte at + k.
inline long Mismatches(SOFTCHAN& chan, const std::vector<uint8_t>& file, long n, size_t at = 0) {
    long bad = 0;
    for (long k = 0; k < n; ++k)
        bad += chan.GetRawVal(k) != file[at + size_t(k)];
    return bad;
}

// Channel samples from `from` to the end that are not silence (128): written ones.
inline long NotSilence(SOFTCHAN& chan, long from) {
    long n = 0;
    for (long k = from; k < chan.RtnNel(); ++k)
        n += chan.GetRawVal(k) != 128;
    return n;
}

// Threads of this process now.
inline int ThreadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

// A thread that has ended can stay listed under /proc for a moment after it
// was joined. Waits (up to 2 s) until no more than `limit` threads are listed
// and returns the count then.
inline int SettledThreadCount(int limit) {
    int n = ThreadCount();
    for (int i = 0; i < 200 && n > limit; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = ThreadCount();
    }
    return n;
}

// Threads of this process before a test starts its own: counted after one
// thread has been started and joined, so that a helper thread some runtimes
// start with the first thread of a process (the ThreadSanitizer's background
// thread) is already there and counted on both sides of the comparison. The
// lowest of a few readings, so that the joined thread is no longer counted.
inline int ThreadBaseline() {
    std::thread([] {}).join();
    int n = ThreadCount();
    for (int i = 0; i < 20 && n > 1; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = std::min(n, ThreadCount());
    }
    return n;
}

// A visible window that repaints itself on a 1 ms timer, drawing a few
// hundred lines each time, so the GUI thread that handles the capture
// buffers is rarely idle.
class BusyView : public CWnd {
  public:
    long paints = 0;
    bool Start() {
        if (!Create(CRect{0, 0, 320, 240}, static_cast<CWnd*>(nullptr), 1, true)) return false;
        SetTimer(1, 1);
        return true;
    }

  protected:
    void OnTimer(unsigned) override {
        Invalidate(true);
        UpdateWindow();
    }
    void OnPaint(CDC* pDC) override {
        ++paints;
        for (int i = 0; i < 300; ++i) {
            pDC->MoveTo((i * 7 + int(paints)) % 320, 0);
            pDC->LineTo((i * 13) % 320, 239);
        }
    }
};

// An auto-reset event, as the dialog's playback uses one.
class Event {
  public:
    void Set() {
        std::lock_guard<std::mutex> lk(m_lock);
        m_bSet = true;
        m_cv.notify_all();
    }
    // False when nothing signalled within the bound (a hang guard only).
    bool Wait(int capMs = 30000) {
        std::unique_lock<std::mutex> lk(m_lock);
        bool ok = m_cv.wait_for(lk, std::chrono::milliseconds(capMs), [&] { return m_bSet; });
        m_bSet = false;
        return ok;
    }
    void Reset() {
        std::lock_guard<std::mutex> lk(m_lock);
        m_bSet = false;
    }

  private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_bSet = false;
};

// One playback as the dialog runs it: open with a callback that only signals
// an event, prepare, a worker that waits for the event and then unprepares,
// resets and closes (keeping the three results), then the write. stop() is
// called on this thread while the worker waits and decides whether (and when)
// to reset the device, as "Stop" does.
struct Playback {
    WAVEFORMATEX fmt = MakeWaveFormat(RATE_11025, SAMPLE_8BIT);
    HWAVEOUT hOut = nullptr;
    std::atomic<HWAVEOUT> hShared{nullptr};
    WAVEHDR hdr{};
    Event done;
    std::atomic<int> doneReports{0};
    std::vector<MMRESULT> closing; // unprepare, reset, close
    std::thread worker;

    static void Callback(HWAVEOUT, unsigned msg, DWORD_PTR inst, DWORD_PTR, DWORD_PTR) {
        if (msg != WOM_DONE) return;
        auto* p = reinterpret_cast<Playback*>(inst);
        ++p->doneReports;
        p->done.Set();
    }

    // False when a step failed (the playback is then cleaned up).
    bool Run(std::vector<uint8_t>& data, const std::function<void(Playback&)>& stop) {
        std::memset(&hdr, 0, sizeof(hdr));
        hdr.lpData = reinterpret_cast<char*>(data.data());
        hdr.dwBufferLength = DWORD(data.size());
        if (waveOutOpen(&hOut, WAVE_MAPPER, &fmt, &Callback, DWORD_PTR(this), CALLBACK_FUNCTION))
            return false;
        hShared = hOut;
        bool ok = waveOutPrepareHeader(hOut, &hdr, sizeof(hdr)) == MMSYSERR_NOERROR;
        done.Reset();
        worker = std::thread([this] {
            bool signalled = done.Wait();
            HWAVEOUT h = hShared.exchange(nullptr);
            if (!h) return;
            closing = {waveOutUnprepareHeader(h, &hdr, sizeof(hdr)), waveOutReset(h),
                       waveOutClose(h)};
            if (!signalled) doneReports = -1000; // never reported: a hang guarded
        });
        ok = ok && waveOutWrite(hOut, &hdr, sizeof(hdr)) == MMSYSERR_NOERROR;
        if (!ok)
            done.Set(); // the worker cleans up
        else
            stop(*this);
        worker.join();
        return ok;
    }
    // The played position, or -1 once the worker has closed the device.
    long Position() {
        HWAVEOUT h = hShared.load();
        if (!h) return -1;
        MMTIME t{TIME_SAMPLES, {0}};
        if (waveOutGetPosition(h, &t, sizeof(t)) != MMSYSERR_NOERROR) return -1;
        return long(t.u.sample);
    }
    void Stop() {
        if (HWAVEOUT h = hShared.load()) waveOutReset(h);
    }
};

} // namespace soak
