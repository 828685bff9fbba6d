// Helpers of the soak and fault tests: the dialog's wave channel info, where
// a recorded sample comes from in the input file, a window that keeps the GUI
// thread busy repainting, the process's thread count and a one-shot event.
#pragma once
#include "channels/SoftChan.h"
#include "platform/DC.h"
#include "platform/Wnd.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <dirent.h>
#include <mutex>
#include <thread>
#include <vector>

namespace soak {

inline ADCHANINFO VolumeInfo() {
    ADCHANINFO info;
    info.fGain = 7.8125f;
    info.fResolution = 1.0f;
    info.nZero = 128;
    info.strName = "Volume";
    return info;
}

// Input-file offset of channel sample k when whole 2205-byte buffers were
// stored from offset 0: the channel keeps the first 2204 bytes of each (it
// stores whole pairs; the odd last byte of a buffer is dropped).
inline size_t SourceOf(long k) {
    return size_t((k / 2204) * 2205 + k % 2204);
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
    BOOL Start() {
        if (!Create(CRect{0, 0, 320, 240}, static_cast<CWnd*>(nullptr), 1, true)) return FALSE;
        SetTimer(1, 1);
        return TRUE;
    }

  protected:
    void OnTimer(UINT) override {
        Invalidate(TRUE);
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

} // namespace soak
