// The devices offered while a sound server runs: `vokrec devices` lists the
// ALSA devices that reach it, the default one (the server's default source
// and sink) marked, and the library's default device is that one; the
// server's own devices are chosen on the server's side.
#include "MessageCapture.h"
#include "ServerDriver.h"
#include "platform/WaveIn.h"
#include "platform/WaveOut.h"
#include <gtest/gtest.h>

using namespace servertest;
using SoundServerDevices = ServerTest;

TEST_F(SoundServerDevices, VokrecListsTheServersDevicesWithDefaultMarked) {
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

// PULSE_SOURCE names the server's source that the ALSA default device records
// from (docs/sound-server.md): with the speakers' monitor named, the
// recording's stream is on that source, not on the default one.
TEST_F(SoundServerDevices, PulseSourcePicksTheServersSourceForTheDefaultDevice) {
    MessageCapture boxes;
    const char* names[] = {"d01.wav"};
    DlgRecord d(TempDir().c_str(), names, 1);
    runWith(d, [&] {
        const std::string sources = Pactl("list short sources");
        const size_t at = sources.rfind('\n', sources.find("\tvok_speaker.monitor")) + 1;
        const std::string speakers = sources.substr(at, sources.find('\t', at) - at);
        setenv("PULSE_SOURCE", "vok_speaker.monitor", 1);
        click(d, DlgRecord::IDC_BUTTON_START);
        unsetenv("PULSE_SOURCE");
        ASSERT_EQ(d.m_bRecording, 1);
        std::string streams;
        EXPECT_TRUE(
            PumpUntil([&] { return !(streams = Pactl("list short source-outputs")).empty(); }));
        // index, source, client, driver, format
        const size_t tab = streams.find('\t') + 1;
        EXPECT_EQ(streams.substr(tab, streams.find('\t', tab) - tab), speakers) << streams;
        click(d, DlgRecord::IDC_BUTTON_STOP);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
}
