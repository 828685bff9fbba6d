#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <mutex>

namespace {
std::mutex g_sinkLock;
MessageBoxSink g_sink;

int DefaultSink(const std::string& text, unsigned type) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() == "offscreen") {
        std::fprintf(stderr, "%s\n", text.c_str());
        return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONHAND: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONEXCLAMATION: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if ((type & 0xF) == MB_OKCANCEL) buttons = QMessageBox::Ok | QMessageBox::Cancel;
    if ((type & 0xF) == MB_YESNO) buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(icon, QCoreApplication::applicationName(), QString::fromStdString(text),
                    buttons);
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}
} // namespace

int AfxMessageBox(const std::string& text, unsigned type) {
    MessageBoxSink sink;
    {
        std::lock_guard<std::mutex> lock(g_sinkLock);
        sink = g_sink;
    }
    return sink ? sink(text, type) : DefaultSink(text, type);
}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink) {
    std::lock_guard<std::mutex> lock(g_sinkLock);
    std::swap(g_sink, sink);
    return sink;
}
