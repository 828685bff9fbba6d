#include "PaFault.h"

#include <atomic>
#include <dlfcn.h>
#include <portaudio.h>

namespace {

struct Fault {
    std::atomic<bool> armed{false};
    std::atomic<uint64_t> limit{0};
    std::atomic<int> error{paNoError};
    std::atomic<uint64_t> frames{0};
    std::atomic<uint64_t> calls{0};

    void Arm(uint64_t n, int err) {
        armed = false;
        frames = 0;
        limit = n;
        error = err;
        armed = true;
    }
    void Clear() {
        armed = false;
        frames = 0;
        calls = 0;
    }
    // paNoError when the call may go through: n more frames stay within the limit.
    PaError Check(unsigned long n) {
        ++calls;
        if (armed && frames + n > limit) return PaError(error.load());
        return paNoError;
    }
};

Fault g_read, g_write;

using ReadFn = PaError (*)(PaStream*, void*, unsigned long);
using WriteFn = PaError (*)(PaStream*, const void*, unsigned long);

template <typename Fn> Fn Next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

// The definitions the library's calls reach before PortAudio's.
extern "C" PaError Pa_ReadStream(PaStream* stream, void* buffer, unsigned long frames) {
    static const ReadFn next = Next<ReadFn>("Pa_ReadStream");
    if (PaError e = g_read.Check(frames)) return e;
    PaError e = next ? next(stream, buffer, frames) : paInternalError;
    if (e == paNoError || e == paInputOverflowed) g_read.frames += frames;
    return e;
}

extern "C" PaError Pa_WriteStream(PaStream* stream, const void* buffer, unsigned long frames) {
    static const WriteFn next = Next<WriteFn>("Pa_WriteStream");
    if (PaError e = g_write.Check(frames)) return e;
    PaError e = next ? next(stream, buffer, frames) : paInternalError;
    if (e == paNoError || e == paOutputUnderflowed) g_write.frames += frames;
    return e;
}

namespace pafault {

void FailReadsAfter(uint64_t frames, int paError) {
    g_read.Arm(frames, paError);
}
void FailWritesAfter(uint64_t frames, int paError) {
    g_write.Arm(frames, paError);
}
void Clear() {
    g_read.Clear();
    g_write.Clear();
}
uint64_t ReadCalls() {
    return g_read.calls;
}
uint64_t WriteCalls() {
    return g_write.calls;
}
uint64_t FramesRead() {
    return g_read.frames;
}
uint64_t FramesWritten() {
    return g_write.frames;
}

} // namespace pafault
