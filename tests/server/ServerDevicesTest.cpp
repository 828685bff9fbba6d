// The devices the program is offered while a sound server runs: the ALSA
// default device (the server's default source and sink) comes first, and the
// server's own device "pulse" is offered too.
#include "SoundServer.h"
#include "platform/WaveIn.h"
#include "platform/WaveOut.h"
#include <gtest/gtest.h>
#include <set>

using namespace servertest;

namespace {
template <typename Caps, typename Count, typename Get>
std::vector<std::string> Names(Count count, Get get) {
    std::vector<std::string> names;
    for (unsigned id = 0; id < count(); ++id) {
        Caps caps{};
        EXPECT_EQ(get(id, &caps, unsigned(sizeof caps)), MMSYSERR_NOERROR);
        names.push_back(caps.szPname);
    }
    return names;
}
} // namespace

TEST(SoundServerDevices, DefaultDeviceIsTheServers) {
    const auto in = Names<WAVEINCAPS>(waveInGetNumDevs, waveInGetDevCaps);
    const auto out = Names<WAVEOUTCAPS>(waveOutGetNumDevs, waveOutGetDevCaps);
    for (const auto& names : {in, out}) {
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.front(), "default");
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).count("pulse"), 1u);
    }
}
