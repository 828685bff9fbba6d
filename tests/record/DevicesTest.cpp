// `vokrec devices`, the `--device` choice and the dialog's device option, with
// the test devices (vok_file_in, vok_file_out, vok_file, default).
#include "DlgDriver.h"
#include "platform/AudioSystem.h"
#include "platform/WaveIn.h"
#include <gtest/gtest.h>

using namespace rectest;

namespace {
std::string CaptureDeviceName() {
    WAVEINCAPS caps{};
    if (waveInGetDevCaps(WAVE_MAPPER, &caps, sizeof caps) != MMSYSERR_NOERROR) return "";
    return caps.szPname;
}
} // namespace

TEST(DevicesCommand, ListsBothDirectionsAndMarksTheDefault) {
    const VokrecRun r = RunVokrec("devices");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string both = "  vok_file_in\n  vok_file_out\n  vok_file\n* default\n";
    EXPECT_EQ(r.out, "capture:\n" + both + "playback:\n" + both);
    EXPECT_EQ(RunVokrec("devices --all").status, 2);
}

TEST(DevicesCommand, UnknownOrAmbiguousDeviceIsOneLineAndExitsThree) {
    struct Case {
        const char* name;
        const char* line;
    };
    for (const Case& c :
         {Case{"vok", "vokrec record: more than one device 'vok'; it matches: vok_file_in, "
                      "vok_file_out, vok_file\n"},
          Case{"usb", "vokrec record: no device 'usb'; devices: vok_file_in, vok_file_out, "
                      "vok_file, default\n"}}) {
        const VokrecRun r =
            RunVokrec(std::string("record --folder /tmp --items a --device ") + c.name);
        EXPECT_EQ(r.status, 3) << c.name;
        EXPECT_EQ(r.err, c.line);
    }
}

TEST(DevicesCommand, ExactNameOrUniquePartFindsOneDevice) {
    struct Case {
        const char* wanted;
        int matches;
        const char* first;
    };
    for (const Case& c : {Case{"vok_file", 1, "vok_file"}, Case{"VOK_FILE_IN", 1, "vok_file_in"},
                          Case{"le_ou", 1, "vok_file_out"}, Case{"file", 3, "vok_file_in"},
                          Case{"zzz", 0, "vok_file_in"}}) {
        std::vector<std::string> names;
        EXPECT_EQ(AudioSystem::FindDevice(c.wanted, names), c.matches) << c.wanted;
        ASSERT_FALSE(names.empty()) << c.wanted;
        EXPECT_EQ(names.front(), c.first) << c.wanted;
    }
}

// The dialog's device option takes the place of VOK_AUDIO_DEVICE while it runs
// and gives the earlier choice back when it goes.
TEST(DevicesCommand, DialogOptionSelectsTheDeviceWhileItRuns) {
    EnvGuard env("VOK_AUDIO_DEVICE", "vok_file_out");
    ASSERT_EQ(CaptureDeviceName(), "vok_file_out");
    const char* names[] = {"a01"};
    {
        DlgRecord d(TempDir().c_str(), names, 1);
        RECORD_OPTIONS o;
        o.strDevice = "vok_file_in";
        d.SetOptions(o);
        std::string during;
        runWith(d, [&] {
            during = CaptureDeviceName();
            d.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(during, "vok_file_in");
    }
    EXPECT_EQ(CaptureDeviceName(), "vok_file_out");
}

// The option decides where the samples come from: with VOK_AUDIO_DEVICE on a
// device that captures silence, the dialog records the input file only when
// its option names the file device.
TEST(DevicesCommand, DialogRecordsFromTheDeviceItsOptionNames) {
    EnvGuard env("VOK_AUDIO_DEVICE", "vok_file_out"); // its capture side is silent
    const std::vector<uint8_t> input = BurstInput(3.0, 0.5, 1.0);
    const char* names[] = {"a01"};
    for (const char* device : {"", "vok_file_in"}) {
        WriteBytes(InFile(), input);
        DlgRecord d(TempDir().c_str(), names, 1);
        RECORD_OPTIONS o;
        o.strDevice = device;
        d.SetOptions(o);
        runWith(d, [&] {
            recordToTheEnd(d);
            const std::vector<uint8_t> got = recorded(d, 0, 2 * 11025 - 1);
            if (*device)
                EXPECT_EQ(got, expected(input, 0, 2 * 11025 - 1));
            else
                EXPECT_NE(got, expected(input, 0, 2 * 11025 - 1));
            d.EndDialog(IDCANCEL);
        });
    }
}
