#include "platform/Application.h"
#include <QApplication>

namespace {
// QApplication keeps argc by reference and argv for its lifetime.
int g_argc = 1;
char g_name[64];
char* g_argv[] = {g_name, nullptr};
} // namespace

CWinApp::CWinApp(const char* name) {
    if (QCoreApplication::instance()) return;
    qsnprintf(g_name, sizeof g_name, "%s", name ? name : "vokdll");
    m_pApp = std::make_unique<QApplication>(g_argc, g_argv);
    // The host decides when the process ends, not the closing of a dialog.
    QApplication::setQuitOnLastWindowClosed(false);
}

CWinApp::~CWinApp() {
    // Windows destroyed after the last event loop ran wait for a deferred
    // delete; free them while the application that owns them still exists.
    if (m_pApp) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int CWinApp::Run() {
    return QCoreApplication::instance() ? QCoreApplication::exec() : -1;
}

void CWinApp::Quit(int code) {
    QCoreApplication::exit(code);
}

bool CWinApp::HaveGui() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
