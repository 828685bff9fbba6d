#include "platform/SystemMetrics.h"
#include <QGuiApplication>
#include <QScreen>

int GetSystemMetrics(int index) {
    const QScreen* s = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
    if (!s) return 0;
    if (index == SM_CXSCREEN) return s->geometry().width();
    if (index == SM_CYSCREEN) return s->geometry().height();
    return 0;
}
