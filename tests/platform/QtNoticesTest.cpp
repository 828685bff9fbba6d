// The framework's runtime-directory notice is kept off standard error once
// QuietFrameworkNotices is installed; other framework warnings still show.
#include "platform/QtNotices.h"

#include <QStandardPaths>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// What a child process prints on standard error when it asks for the
// runtime folder with XDG_RUNTIME_DIR unset and then warns once itself.
std::string NoticesOfAChild(bool quiet) {
    const std::string path = ::testing::TempDir() + "vok_notices_" + std::to_string(getpid());
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, 2);
        unsetenv("XDG_RUNTIME_DIR");
        if (quiet) QuietFrameworkNotices();
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        qWarning("a real warning");
        _exit(0);
    }
    waitpid(pid, nullptr, 0);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    return text.str();
}
} // namespace

TEST(QtNotices, RuntimeFolderNoticeIsKeptOffOtherWarningsShow) {
    const std::string loud = NoticesOfAChild(false);
    EXPECT_NE(loud.find("XDG_RUNTIME_DIR"), std::string::npos) << loud; // the notice exists
    const std::string quiet = NoticesOfAChild(true);
    EXPECT_EQ(quiet.find("XDG_RUNTIME_DIR"), std::string::npos) << quiet;
    EXPECT_NE(quiet.find("a real warning"), std::string::npos) << quiet;
}
