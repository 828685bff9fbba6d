// Shared test entry: one QApplication (offscreen in the test environment) for the process.
#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void SetDefault(const char* name, const char* value) {
    if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}

bool AnyWindowShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) return true;
    return false;
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
    const int rc = RUN_ALL_TESTS();
    // Popups that close and free themselves on a timer (the saving popup a
    // test's last save opened) get their time, and windows destroyed after
    // the last event loop ran are freed now: no window outlives the
    // application, so the leak checker sees nothing left behind.
    QDeadlineTimer deadline(3000);
    while (AnyWindowShown() && !deadline.hasExpired()) {
        app.processEvents();
        QThread::msleep(10);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rc;
}
