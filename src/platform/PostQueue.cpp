#include "platform/PostQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <deque>
#include <mutex>

namespace {

std::mutex g_lock;
std::deque<std::function<void()>> g_queue;

// Lives on the GUI thread; each wake-up runs what is queued at that moment.
class Receiver : public QObject {
  protected:
    void customEvent(QEvent*) override { Drain(); }

  private:
    static void Drain() {
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
};

QPointer<Receiver> g_receiver; // guarded by g_lock; gone with the application

// Makes the receiver on the GUI thread as each application object is made,
// before any sound or worker thread can post, and gives it to the application.
void MakeReceiver() {
    QCoreApplication* app = QCoreApplication::instance();
    std::lock_guard<std::mutex> lk(g_lock);
    if (!app || g_receiver) return;
    auto* r = new Receiver;
    r->setParent(app);
    g_receiver = r;
}
Q_COREAPP_STARTUP_FUNCTION(MakeReceiver)

} // namespace

bool PostQueue::Ready() {
    std::lock_guard<std::mutex> lk(g_lock);
    return !g_receiver.isNull();
}

bool PostQueue::Post(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    Receiver* receiver;
    {
        std::lock_guard<std::mutex> lk(g_lock);
        if (!g_receiver) {
            // Only when the library was loaded after the application was made
            // elsewhere: made here, handed to the GUI thread and owned by the
            // application.
            auto* r = new Receiver;
            r->moveToThread(app->thread());
            r->setParent(app);
            g_receiver = r;
        }
        receiver = g_receiver;
        g_queue.push_back(std::move(fn));
    }
    // The event carries nothing: the queue holds the calls.
    QCoreApplication::postEvent(receiver, new QEvent(QEvent::User));
    return true;
}
