#include "platform/PostQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <deque>
#include <mutex>

namespace {

std::mutex g_lock;
std::deque<std::function<void()>> g_queue;

// Runs what is queued at this moment, on the GUI thread.
void Drain() {
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> lk(g_lock);
            if (g_queue.empty()) return;
            fn = std::move(g_queue.front());
            g_queue.pop_front();
        }
        fn();
    }
}

// Lives on the GUI thread, where it is made; each wake-up drains the queue.
class Receiver : public QObject {
  public:
    explicit Receiver(QObject* app) : QObject(app) {}

  protected:
    void customEvent(QEvent*) override { Drain(); }
};

QPointer<Receiver> g_receiver; // guarded by g_lock; gone with the application
bool g_bMadeOnGui = false;     // guarded by g_lock

// The receiver, made now when missing; on the GUI thread only (lock held).
Receiver* ReceiverLocked(QCoreApplication* app) {
    if (!g_receiver) {
        g_receiver = new Receiver(app);
        g_bMadeOnGui = QThread::currentThread() == app->thread();
    }
    return g_receiver;
}

bool OnGuiThread(QCoreApplication* app) {
    return QThread::currentThread() == app->thread();
}

// Run on the GUI thread when a worker posted before any receiver existed.
void MakeReceiverAndDrain() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        std::lock_guard<std::mutex> lk(g_lock);
        ReceiverLocked(app);
    }
    Drain();
}

} // namespace

void PostQueue::Prepare() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !OnGuiThread(app)) return;
    std::lock_guard<std::mutex> lk(g_lock);
    ReceiverLocked(app);
}

bool PostQueue::ReceiverMadeOnGuiThread() {
    std::lock_guard<std::mutex> lk(g_lock);
    return g_receiver && g_bMadeOnGui;
}

bool PostQueue::Post(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    const bool onGui = OnGuiThread(app);
    Receiver* receiver;
    {
        std::lock_guard<std::mutex> lk(g_lock);
        receiver = onGui ? ReceiverLocked(app) : g_receiver.data();
        g_queue.push_back(std::move(fn));
    }
    if (receiver) // the event carries nothing: the queue holds the calls
        QCoreApplication::postEvent(receiver, new QEvent(QEvent::User));
    else // the GUI thread makes the receiver itself, then runs the queue
        QMetaObject::invokeMethod(app, &MakeReceiverAndDrain, Qt::QueuedConnection);
    return true;
}
