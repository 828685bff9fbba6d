// `vokrec record` argument handling and its message without a capture device.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// VOKREC, or vokrec beside this test program.
std::string vokrecPath() {
    if (const char* e = std::getenv("VOKREC"); e && *e) return e;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    std::string dir(self, size_t(n));
    dir.erase(dir.rfind('/'));
    const std::string exe = dir + "/vokrec";
    return access(exe.c_str(), X_OK) == 0 ? exe : std::string();
}

// Runs vokrec with the given arguments (and environment prefix); exit code
// and the combined output.
int runVokrec(const std::string& args, std::string& out, const std::string& env = "") {
    const std::string exe = vokrecPath();
    if (exe.empty()) return -1;
    const std::string cmd = env + " '" + exe + "' record " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    char buf[512];
    out.clear();
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(RecordCommand, BadArgumentsAndMissingFolderExitWithTwo) {
    if (vokrecPath().empty()) GTEST_SKIP() << "vokrec not built";
    std::string out;
    EXPECT_EQ(runVokrec("--folder /tmp", out), 2);
    EXPECT_NE(out.find("usage:"), std::string::npos);
    EXPECT_EQ(runVokrec("--items a01", out), 2);
    EXPECT_EQ(runVokrec("--folder /no/such/folder/anywhere --items a01", out), 2);
    EXPECT_NE(out.find("is not a directory"), std::string::npos);
    EXPECT_EQ(runVokrec("--folder /tmp --item-file /no/such/list.txt", out), 2);
    EXPECT_NE(out.find("cannot read item file"), std::string::npos);
    EXPECT_EQ(runVokrec("--help", out), 0);
}

TEST(RecordCommand, WithoutCaptureDeviceExplainsRecordingFromAFile) {
    if (vokrecPath().empty()) GTEST_SKIP() << "vokrec not built";
    std::string out;
    EXPECT_EQ(
        runVokrec("--folder /tmp --items a01", out, "VOK_AUDIO_DEVICE=no-such-device-anywhere"), 3);
    EXPECT_NE(out.find("no sound capture device"), std::string::npos) << out;
    EXPECT_NE(out.find("alsa-test.conf"), std::string::npos);
    EXPECT_NE(out.find("VOK_TEST_INFILE"), std::string::npos);
}
