// Helpers of the channel tests: a source channel with values from a function that
// counts its reads, and a child process with a capped address space in which
// large allocations fail for real.
#pragma once
#include "channels/SoftChanAD.h"

#include <functional>
#include <string>

// A channel of nel elements of dt seconds whose value at i is value(i); counts
// GetVal calls.
class FuncChan : public SOFTCHAN {
  public:
    FuncChan(int chan, long nel, float dt, std::function<float(long)> value)
        : SOFTCHAN(chan, -1, nel, dt, 0, 1.0f, 1.0f, 0), m_value(std::move(value)) {}
    float GetVal(long i) override {
        ++reads;
        if (i < 0 || i >= RtnNel()) return NO_VAL;
        return m_value(i);
    }
    long reads = 0;

  private:
    std::function<float(long)> m_value;
};

// True when the address space can be capped (not under a sanitizer, which
// reserves far more address space than it uses).
bool CanLimitAddressSpace();

struct LimitedRun {
    bool exited = false; // the child ended through _exit (not by a signal)
    int status = -1;     // its exit status
    std::string out;     // what body returned
};

// Runs body in a forked child whose address space may grow by headroom bytes
// beyond what it uses at the fork; body's text comes back through a pipe.
LimitedRun RunWithAddressLimit(size_t headroom, const std::function<std::string()>& body);

// "a|b|c" from the parts.
std::string JoinFields(std::initializer_list<std::string> parts);
