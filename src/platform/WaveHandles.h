// The handles of one direction's wave devices and the calls every wave
// function makes through them. A handle is a small number that is never
// reused, mapped to a shared device object, so a call on a closed handle finds
// nothing instead of freed memory, and a call racing with a close keeps the
// device alive until it returns.
//
// Device derives from AudioDevice and adds: kInput, a Handle `handle`, an
// Open taking the direction's open arguments, Reset, and Closed(done), which
// reports the headers a close handed back.
#pragma once
#include "platform/AudioDevice.h"
#include "platform/AudioSystem.h"
#include <map>
#include <memory>
#include <mutex>

template <typename Handle, typename Device> class WaveHandles {
  public:
    static unsigned int Count() { return unsigned(AudioSystem::Devices(Device::kInput).size()); }
    template <typename CAPS> static MMRESULT Caps(unsigned int id, CAPS* caps, unsigned int size) {
        return AudioDeviceCaps(id, Device::kInput, caps, size);
    }

    // Opens a device (args go to Device::Open), starts its worker and hands
    // out its handle; *ph is null on failure.
    template <typename... Args> static MMRESULT Open(Handle* ph, Args... args) {
        if (!ph) return MMSYSERR_INVALPARAM;
        *ph = nullptr;
        auto d = std::make_shared<Device>();
        if (MMRESULT r = d->Open(args...)) return r;
        d->handle = Add(d);
        d->StartWorker(d);
        *ph = d->handle;
        d->Opened();
        return MMSYSERR_NOERROR;
    }
    // The handle goes first, so no other call reaches the device while it closes.
    static MMRESULT Close(Handle h) {
        std::shared_ptr<Device> d = Remove(h);
        if (!d) return MMSYSERR_INVALHANDLE;
        d->Closed(d->Close());
        return MMSYSERR_NOERROR;
    }
    // f(device) on the device behind h; MMSYSERR_INVALHANDLE when h is not open.
    template <typename F> static MMRESULT With(Handle h, F f) {
        std::shared_ptr<Device> d = Find(h);
        return d ? f(*d) : MMSYSERR_INVALHANDLE;
    }

  private:
    struct Table {
        std::mutex lock;
        uintptr_t next = 0;
        std::map<uintptr_t, std::shared_ptr<Device>> devices;
    };
    // Never destroyed: a device thread left behind may still run at exit.
    static Table& TheTable() {
        static Table* t = new Table;
        return *t;
    }
    static Handle Add(std::shared_ptr<Device> d) {
        Table& t = TheTable();
        std::lock_guard<std::mutex> lk(t.lock);
        t.devices[++t.next] = std::move(d);
        return reinterpret_cast<Handle>(t.next);
    }
    static std::shared_ptr<Device> Find(Handle h) {
        Table& t = TheTable();
        std::lock_guard<std::mutex> lk(t.lock);
        auto it = t.devices.find(reinterpret_cast<uintptr_t>(h));
        return it == t.devices.end() ? nullptr : it->second;
    }
    static std::shared_ptr<Device> Remove(Handle h) {
        Table& t = TheTable();
        std::lock_guard<std::mutex> lk(t.lock);
        auto it = t.devices.find(reinterpret_cast<uintptr_t>(h));
        if (it == t.devices.end()) return nullptr;
        std::shared_ptr<Device> d = std::move(it->second);
        t.devices.erase(it);
        return d;
    }
};

// Defines the wave functions both directions have alike, for direction Dir
// (In or Out) over the handles H (a WaveHandles): wave<Dir>GetNumDevs,
// GetDevCaps, Close, PrepareHeader, UnprepareHeader, Reset and GetPosition.
// Each direction's own functions (open, queueing, start and stop) are written
// out in its file.
#define VOK_WAVE_SHARED_FUNCTIONS(Dir, HANDLE, CAPS, H)                                            \
    unsigned int wave##Dir##GetNumDevs() {                                                         \
        return H::Count();                                                                         \
    }                                                                                              \
    MMRESULT wave##Dir##GetDevCaps(unsigned int id, CAPS* caps, unsigned int size) {               \
        return H::Caps(id, caps, size);                                                            \
    }                                                                                              \
    MMRESULT wave##Dir##Close(HANDLE h) {                                                          \
        return H::Close(h);                                                                        \
    }                                                                                              \
    MMRESULT wave##Dir##PrepareHeader(HANDLE h, WAVEHDR* pwh, unsigned int size) {                 \
        return H::With(h, [&](auto& d) { return d.Prepare(pwh, size); });                          \
    }                                                                                              \
    MMRESULT wave##Dir##UnprepareHeader(HANDLE h, WAVEHDR* pwh, unsigned int size) {               \
        return H::With(h, [&](auto& d) { return d.Unprepare(pwh, size); });                        \
    }                                                                                              \
    MMRESULT wave##Dir##Reset(HANDLE h) {                                                          \
        return H::With(h, [](auto& d) { return d.Reset(); });                                      \
    }                                                                                              \
    MMRESULT wave##Dir##GetPosition(HANDLE h, MMTIME* pmmt, unsigned int size) {                   \
        return H::With(h, [&](auto& d) { return d.Position(pmmt, size); });                        \
    }
