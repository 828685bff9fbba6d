#include "platform/QtNotices.h"

#include <QString>
#include <QtGlobal>
#include <atomic>

namespace {

QtMessageHandler g_previous = nullptr;

// The runtime-directory notices of QStandardPaths: with XDG_RUNTIME_DIR unset
// (as under sudo, cron or ssh without a login session) it picks a folder of
// its own and says so on every start.
bool IsNoise(QtMsgType type, const QString& msg) {
    return type == QtWarningMsg && msg.startsWith(QLatin1String("QStandardPaths: ")) &&
           msg.contains(QLatin1String("XDG_RUNTIME_DIR"));
}

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (IsNoise(type, msg)) return;
    if (g_previous) g_previous(type, context, msg);
}

} // namespace

void QuietFrameworkNotices() {
    static std::atomic<bool> installed{false};
    if (installed.exchange(true)) return;
    g_previous = qInstallMessageHandler(Filter);
}
