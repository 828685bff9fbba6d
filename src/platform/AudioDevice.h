// One open PortAudio stream behind a wave-in or wave-out handle: the stream,
// the caller's headers queued on it, the position in frames and the one worker
// thread that moves samples between the headers and the stream. WaveIn.cpp and
// WaveOut.cpp each derive the direction's worker loop; the wave functions reach
// the devices through WaveHandles.
//
// Threading: the wave functions call in from any thread; only the worker
// blocks inside the stream (a read or a write, marked by inDevice). Every field
// is guarded by `lock`, and `cv` announces each change of the queue, inDevice
// and exited. No caller waits for the worker longer than
// AudioSystem::kDeviceWaitMs: a worker stuck inside the device is remembered
// as stuck (later calls do not wait for it again) and, at close, left behind
// to close the stream itself should it ever return.
#pragma once
#include "platform/MMSystem.h"
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;

    MMRESULT Prepare(WAVEHDR* h, unsigned int size);
    // WAVERR_STILLPLAYING while the header is queued.
    MMRESULT Unprepare(WAVEHDR* h, unsigned int size);
    // Queues a prepared header for the worker (a capture header starts empty).
    MMRESULT Enqueue(WAVEHDR* h, unsigned int size);
    // Frames since the last reset as samples, bytes or milliseconds.
    MMRESULT Position(MMTIME* t, unsigned int size);
    // Ends the worker and closes the stream; returns the headers that were
    // still queued, marked done, for the caller to report.
    std::vector<WAVEHDR*> Close();

    // Runs Run on the worker thread; self keeps the device alive while it runs.
    void StartWorker(const std::shared_ptr<AudioDevice>& self);
    // Called once the device has its handle, and after a close with the headers
    // it handed back: a direction that reports to its caller does it here.
    virtual void Opened() {}
    virtual void Closed(const std::vector<WAVEHDR*>&) {}

  protected:
    explicit AudioDevice(bool input) : m_bInput(input) {}

    // Opens the stream of wave device id (or WAVE_MAPPER) after checking the
    // open flags (callbackKind is the one kind besides CALLBACK_NULL this
    // direction takes) and the format. The device buffers at least minLatency
    // seconds.
    MMRESULT OpenStream(unsigned int id, const WAVEFORMATEX* fmt, DWORD flags, DWORD callbackKind,
                        double minLatency);
    // The direction's worker loop; it ends with Exit.
    virtual void Run() = 0;
    // The worker's last step: announces its end and, when close left it
    // behind, closes the stream itself. Releases lk.
    void Exit(std::unique_lock<std::mutex>& lk);
    // Enters or leaves the stream on the worker (lk held on entry and return).
    void EnterDevice(std::unique_lock<std::mutex>& lk);
    void LeaveDevice(std::unique_lock<std::mutex>& lk);
    // Waits (lk held) until the worker is outside the stream; false when it
    // stays inside past the bound, or was found stuck before and still is.
    bool WaitOutside(std::unique_lock<std::mutex>& lk);
    bool InDevice() const { return m_bInDevice; }
    bool Queued(const WAVEHDR* h) const;
    static void MarkDone(WAVEHDR* h);
    // Takes every queued header out, marked done (lock held).
    std::vector<WAVEHDR*> TakeAll();

    std::mutex lock;
    std::condition_variable cv;
    void* stream = nullptr; // the PortAudio stream
    WAVEFORMATEX fmt{};
    unsigned frameBytes = 1;
    std::deque<WAVEHDR*> queue;
    bool started = false;    // the PortAudio stream runs
    bool closing = false;    // the worker is to end
    bool failed = false;     // a capture failed: the device is gone until reopened
    uint64_t generation = 0; // raised by stop, reset and close: work begun before is dropped
    uint64_t position = 0;   // frames captured or played since the last reset

  private:
    bool HeaderOk(const WAVEHDR* h, unsigned int size) const;

    const bool m_bInput;
    bool m_bInDevice = false;  // the worker is inside the stream
    bool m_bStuck = false;     // a wait for the worker ran out while it was inside
    bool m_bExited = false;    // the worker has ended
    bool m_bAbandoned = false; // close left the worker behind: it closes the stream
    std::thread m_worker;
};

// Fills the capabilities record of wave device id in a direction (the name,
// and at most two channels); size bytes of it are written.
template <typename CAPS>
MMRESULT AudioDeviceCaps(unsigned int id, bool input, CAPS* caps, unsigned int size);
