// Shared test entry: one QApplication (offscreen in the test environment) for the process.
#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void SetDefault(const char* name, const char* value) {
    if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Tests never need a display and find their data and the host program
    // from the build; values the caller sets win.
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("VOK_TEST_DATA", VOK_TEST_DATA_DIR);
    SetDefault("VOK_BUILD_DIR", VOK_TEST_BUILD_DIR);
    SetDefault("VOKREC", VOK_TEST_VOKREC);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder (mode 0700).
        std::string dir = VOK_TEST_RUNTIME_DIR;
        mkdir(dir.c_str(), 0700);
        chmod(dir.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir.c_str());
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
