// Messages posted from any thread and run on the GUI thread in the order they
// were posted. The calls wait in a queue under our own lock, and a payload-free
// Qt event wakes the GUI thread to run them, so the hand-over from a sound or
// worker thread is ordered by a lock that the sanitizers see as well.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace PostQueue {
// Queues fn to run on the GUI thread's event loop; false when there is no
// application object (fn is then dropped).
bool Post(std::function<void()> fn);
// True when the GUI thread's receiver of posted calls exists; it is made as
// the application object is made.
bool Ready();

// Queues a message for the window's WindowProc; it is dropped when the window
// is gone by the time the loop runs it (self then points at nothing).
template <class Wnd>
bool PostMessageTo(std::weak_ptr<Wnd*> self, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    return Post([self = std::move(self), msg, wParam, lParam] {
        auto wnd = self.lock();
        if (wnd && *wnd) (*wnd)->WindowProc(msg, wParam, lParam);
    });
}
} // namespace PostQueue
