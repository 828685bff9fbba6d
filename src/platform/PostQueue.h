// Messages posted from any thread and run on the GUI thread in the order they
// were posted. The calls wait in a queue under our own lock, and a payload-free
// Qt event wakes the GUI thread to run them, so the hand-over from a sound or
// worker thread is ordered by a lock that the sanitizers see as well.
#pragma once
#include <functional>

namespace PostQueue {
// Queues fn to run on the GUI thread's event loop; false when there is no
// application object (fn is then dropped).
bool Post(std::function<void()> fn);
// True when the GUI thread's receiver of posted calls exists; it is made as
// the application object is made.
bool Ready();

} // namespace PostQueue
