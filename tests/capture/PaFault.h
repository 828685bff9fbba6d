// Faults injected at the audio back end for the tests of this program: the
// test program defines PortAudio's blocking read and write itself, so the
// library's calls come here first and go on to PortAudio unless a fault is
// armed. Armed, the call that would take the stream past a given number of
// frames fails with the given error and so does every later one, as a device
// that has been unplugged or whose driver failed.
#pragma once
#include <cstdint>

namespace pafault {

// Reads (capture) fail once `frames` frames have been read after this call.
void FailReadsAfter(uint64_t frames, int paError);
// Writes (playback) fail once `frames` frames have been written after this call.
void FailWritesAfter(uint64_t frames, int paError);
// No fault: every call goes straight through.
void Clear();

// Calls that came through here since the last Clear, so a test can tell the
// interposition works (a fault that is never reached proves nothing).
uint64_t ReadCalls();
uint64_t WriteCalls();
// Frames that came through successfully since the last arming or Clear.
uint64_t FramesRead();
uint64_t FramesWritten();

// Clears on construction and destruction, so no fault outlives a test.
struct Guard {
    Guard() { Clear(); }
    ~Guard() { Clear(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
};

} // namespace pafault
