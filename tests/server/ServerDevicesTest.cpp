// The devices offered while a sound server runs: `vokrec devices` lists the
// ALSA devices that reach it, the default one (the server's default source
// and sink) marked, and the library's default device is that one.
#include "SoundServer.h"
#include "platform/WaveIn.h"
#include "platform/WaveOut.h"
#include <gtest/gtest.h>

using namespace servertest;

TEST(SoundServerDevices, VokrecListsTheServersDevicesWithDefaultMarked) {
    std::string out;
    const char* exe = std::getenv("VOKREC");
    ASSERT_EQ(servertest::Run(std::string(exe && *exe ? exe : VOK_TEST_VOKREC) + " devices", &out),
              0);
    const std::string both = "  pulse\n* default\n";
    EXPECT_EQ(out, "capture:\n" + both + "playback:\n" + both);

    WAVEINCAPS in{};
    ASSERT_EQ(waveInGetDevCaps(WAVE_MAPPER, &in, sizeof in), MMSYSERR_NOERROR);
    EXPECT_STREQ(in.szPname, "default");
    WAVEOUTCAPS outCaps{};
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &outCaps, sizeof outCaps), MMSYSERR_NOERROR);
    EXPECT_STREQ(outCaps.szPname, "default");
}
