// Test helpers for the audio tests: the file sound devices of
// tests/data/alsa-test.conf (set up for the whole test process before the
// audio back end starts), files of known samples, and running the event loop.
#pragma once
#include "EventLoop.h"
#include "platform/Wnd.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

// Folder of this process's temporary files (removed at exit).
const std::string& TempDir();
// Default capture and playback files the test devices use.
std::string InFile();
std::string OutFile();

std::vector<uint8_t> Pattern(size_t n, unsigned seed = 1);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& data);
std::vector<uint8_t> ReadBytes(const std::string& path);

using testloop::PumpPending;
using testloop::PumpUntil;

// Sets an environment variable for the life of the object.
class EnvGuard {
  public:
    EnvGuard(const char* name, const std::string& value);
    ~EnvGuard();
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

  private:
    std::string m_name, m_old;
    bool m_bHad;
};

// A hidden window that records the messages posted to it.
class MessageLog : public CWnd {
  public:
    struct Msg {
        unsigned msg;
        uintptr_t wParam;
        intptr_t lParam;
    };
    MessageLog() { CreateHidden(); }
    std::vector<Msg> msgs;
    std::function<void(const Msg&)> onMessage;
    size_t Count(unsigned msg) const;

  protected:
    intptr_t OnMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
};

} // namespace audiotest
