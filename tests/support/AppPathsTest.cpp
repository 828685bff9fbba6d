#include "support/AppPaths.h"
#include "MessageCapture.h"
#include "support/FileUtil.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
// Points the registry stand-in at a private file in a folder of this test's
// own (tests run side by side).
struct RegistryFixture : ::testing::Test {
    std::string root, file;
    void SetUp() override {
        std::string tmpl = ::testing::TempDir() + "vok_apppaths_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        file = root + "/registry";
        setenv("VOK_REGISTRY", file.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VOK_REGISTRY");
        std::system(("rm -rf '" + root + "'").c_str());
    }
    void Write(const std::string& text) { std::ofstream(file) << text; }
    static std::string ProgramDir() {
        char buf[4096];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return DirectoryOf(std::string(buf, std::size_t(n > 0 ? n : 0)));
    }
};
const std::string kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
} // namespace

TEST_F(RegistryFixture, NoEntriesFallBackToTheProgramFolder) {
    std::string dir = ProgramDir();
    EXPECT_EQ(GetAppPath(false, false), dir);
    EXPECT_EQ(GetAppPath(true, true), dir + "/");
    std::string main = dir;
    if (FileNameOf(main) == "bin") main = DirectoryOf(main);
    EXPECT_EQ(GetMainAppDir(), main + "/");
}

TEST_F(RegistryFixture, EntriesGiveFoldersWithBinDropped) {
    MakeDir(root + "/Prog");
    MakeDir(root + "/Prog/BIN");
    MakeDir(root + "/Mark");
    Write(kKey + "CVOKW.EXE|=" + root + "/Prog/BIN/main.exe\n" + kKey + "CVokW.exe|Path=" + root +
          "/Prog/\n" + kKey + "Mark4.Exe|path=" + root + "/Mark\n");
    EXPECT_EQ(GetMainAppDir(), root + "/Prog/");
    EXPECT_EQ(GetAppPath(true, false), root + "/Prog/"); // no second separator
    EXPECT_EQ(GetAppPath(false, true), root + "/Mark");
    EXPECT_EQ(GetAppFile("x.dat"), root + "/Mark/x.dat");
    EXPECT_EQ(GetSampleDataDir(), root + "/Mark/Sample Data");
}

TEST_F(RegistryFixture, MissingFolderGivesTheRoot) {
    Write(kKey + "cvokw.exe|=" + root + "/gone/main.exe\n");
    EXPECT_EQ(GetMainAppDir(), "/");
}

TEST(AppPaths, VersionAndProcessError) {
    std::string v = GetVersionString(true);
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v.find_first_not_of("0123456789."), std::string::npos) << v;
    EXPECT_EQ(GetVersionString(false).rfind("Copyright ", 0), 0u) << GetVersionString(false);
    MessageCapture cap;
    ShowProcessError(2);
    EXPECT_EQ(cap.last(), "CreateProcess failed: No such file or directory 2");
}
