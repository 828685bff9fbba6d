// `vokrec record` argument handling and its message without a capture device.
#include "RecordTestEnv.h"
#include "support/AppPaths.h"
#include <gtest/gtest.h>

using namespace rectest;

TEST(RecordCommand, BadArgumentsAndMissingFolderExitWithTwo) {
    struct Case {
        const char* args;
        const char* says;
    };
    for (const Case& c :
         {Case{"--folder /tmp", "usage:"}, Case{"--items a01", "usage:"},
          Case{"--folder /no/such/folder/anywhere --items a01",
               "/no/such/folder/anywhere does not exist"},
          Case{"--folder /etc/hostname --items a01", "/etc/hostname is not a directory"},
          Case{"--folder /tmp --item-file /no/such/list.txt", "cannot read item file"},
          Case{"--folder /tmp --items a01 --locate best", "--locate needs spec or refined"},
          Case{"--folder /tmp --items a01 --locate", "usage:"}}) {
        const VokrecRun r = RunVokrec(std::string("record ") + c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_EQ(RunVokrec("record --help").status, 0);
}

TEST(RecordCommand, WithoutCaptureDeviceExplainsRecordingFromAFile) {
    const VokrecRun r =
        RunVokrec("record --folder /tmp --items a01", "VOK_AUDIO_DEVICE=no-such-device-anywhere");
    EXPECT_EQ(r.status, 3);
    const std::string said = r.out + r.err;
    for (const char* part :
         {"device 'no-such-device-anywhere' named by VOK_AUDIO_DEVICE was not found",
          "alsa-test.conf", "VOK_TEST_INFILE"})
        EXPECT_NE(said.find(part), std::string::npos) << said;
}

// --rate and --bits take only the formats the dialog records in; anything
// else is a usage error naming the option, before any device is touched.
TEST(RecordCommand, FormatOutsideTheOfferedSetIsAUsageError) {
    struct Case {
        const char* args;
        const char* says;
    };
    for (const Case& c :
         {Case{"--rate 16000", "--rate must be 8000, 11025, 22050, 44100 or 48000, not '16000'"},
          Case{"--rate 0", "--rate must be"}, Case{"--rate 48000.0", "--rate must be"},
          Case{"--rate ''", "--rate must be"}, Case{"--rate -11025", "--rate must be"},
          Case{"--bits 24", "--bits must be 8 or 16, not '24'"},
          Case{"--bits 16x", "--bits must be"}, Case{"--bits", "unexpected argument '--bits'"}}) {
        const VokrecRun r = RunVokrec(std::string("record --folder /tmp --items a01 ") + c.args,
                                      "VOK_AUDIO_DEVICE=no-such-device-anywhere");
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err.rfind(std::string("vokrec record: ") + c.says, 0), 0u)
            << c.args << ": " << r.err;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << c.args;
    }
}

// A capture device that opens in none of the formats (it takes only mu-law
// samples): the command says which format it could not record in, on one
// line, and exits 3 without opening the dialog.
TEST(RecordCommand, FormatTheDeviceRefusesIsNamedOnOneLine) {
    const std::string dir = NewFolder("refusing");
    const std::string conf =
        "pcm.vok_mulaw_only { type mulaw; slave { pcm \"null\"; format S16_LE } }\n";
    WriteBytes(dir + "/refusing.conf", std::vector<uint8_t>(conf.begin(), conf.end()));
    // Under a time limit: a command that missed the refusal would wait in the dialog.
    const std::string env = "ALSA_CONFIG_PATH=\"$ALSA_CONFIG_PATH\":" + Quote(dir) +
                            "/refusing.conf VOK_AUDIO_DEVICE=vok_mulaw_only timeout 20";
    struct Case {
        const char* args;
        const char* line;
    };
    for (const Case& c :
         {Case{"", "cannot record 8-bit mono at 11025 Hz"},
          Case{"--rate 48000 --bits 16", "cannot record 16-bit mono at 48000 Hz"},
          Case{"--bits 16 --rate 22050", "cannot record 16-bit mono at 22050 Hz"}}) {
        const VokrecRun r =
            RunVokrec("record --folder " + Quote(dir) + " --items a01 " + c.args, env);
        EXPECT_EQ(r.status, 3) << c.args;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, std::string("vokrec record: the sound capture device ") + c.line + "\n");
    }
}

TEST(RecordCommand, VersionShowsTheVersionAndCopyrightOfTheBuild) {
    const VokrecRun r = RunVokrec("--version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "vokrec " + GetVersionString(true) + "\n" + GetVersionString(false) + "\n");
    EXPECT_FALSE(GetVersionString(true).empty());
    EXPECT_EQ(GetVersionString(false).rfind("Copyright ", 0), 0u);
}
