// Running the event loop from a test: until a condition holds, or over what
// is already queued.
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <thread>

namespace testloop {

// Runs the event loop until done() holds; false when it still does not hold
// after capMs (a guard against a hang, not a timing check).
inline bool PumpUntil(const std::function<bool()>& done, int capMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > capMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs every event already queued.
inline void PumpPending() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace testloop
