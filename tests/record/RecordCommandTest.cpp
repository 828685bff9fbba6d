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

TEST(RecordCommand, VersionShowsTheVersionAndCopyrightOfTheBuild) {
    const VokrecRun r = RunVokrec("--version");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "vokrec " + GetVersionString(true) + "\n" + GetVersionString(false) + "\n");
    EXPECT_FALSE(GetVersionString(true).empty());
    EXPECT_EQ(GetVersionString(false).rfind("Copyright ", 0), 0u);
}
