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

} // namespace

bool PostQueue::Post(std::function<void()> fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    Receiver* receiver;
    {
        std::lock_guard<std::mutex> lk(g_lock);
        if (!g_receiver) {
            // Made on whichever thread posts first, then handed to the GUI
            // thread and owned by the application.
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
