// Posted messages: sent from several threads at once, each thread's messages
// arrive on the GUI thread in the order that thread posted them, none is lost,
// and a message to a window destroyed in the meantime is dropped.
#include "EventLoop.h"
#include "platform/PostQueue.h"
#include "platform/Wnd.h"
#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {
struct Got {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool onGuiThread;
};

class LogWnd : public CWnd {
  public:
    std::vector<Got> got;

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        got.push_back({msg, wParam, lParam,
                       QThread::currentThread() == QCoreApplication::instance()->thread()});
        return 0;
    }
};

} // namespace

// The receiver exists as soon as the application does, made on the GUI thread,
// so the first post from a sound thread never makes it. (Each test runs in a
// process of its own under ctest: nothing has posted before this line.)
TEST(PostMessage, ReceiverIsMadeWithTheApplicationBeforeAnyPost) {
    EXPECT_TRUE(PostQueue::Ready());
    bool ran = false, onGui = false;
    std::thread([&] {
        PostQueue::Post([&] {
            ran = true;
            onGui = QThread::currentThread() == QCoreApplication::instance()->thread();
        });
    }).join();
    EXPECT_TRUE(testloop::PumpUntil([&] { return ran; }, 5000));
    EXPECT_TRUE(onGui);
}

// Rounds of posting while the loop turns, as it does while sound arrives; many
// rounds give the thread checker many chances at the hand-over.
TEST(PostMessage, FromSeveralThreadsInOrderOnTheGuiThread) {
    constexpr int kRounds = 100, kThreads = 4, kEach = 200;
    for (int round = 0; round < kRounds; ++round) {
        LogWnd w;
        ASSERT_TRUE(w.CreateHidden());
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&w, t] {
                for (int i = 0; i < kEach; ++i)
                    w.PostMessage(0x8100 + t, WPARAM(i), LPARAM(-i));
            });
        const bool all =
            testloop::PumpUntil([&] { return w.got.size() >= size_t(kThreads * kEach); }, 10000);
        for (auto& th : threads)
            th.join();
        ASSERT_TRUE(all) << round;
        ASSERT_EQ(w.got.size(), size_t(kThreads * kEach)) << round;
        std::vector<int> next(kThreads, 0);
        for (const Got& g : w.got) {
            ASSERT_GE(g.msg, 0x8100u);
            ASSERT_LT(g.msg, 0x8100u + kThreads);
            int& n = next[g.msg - 0x8100];
            ASSERT_EQ(g.wParam, WPARAM(n)) << round;
            ASSERT_EQ(g.lParam, LPARAM(-n)) << round;
            ASSERT_TRUE(g.onGuiThread);
            ++n;
        }
        for (int n : next)
            ASSERT_EQ(n, kEach) << round;
    }
}

TEST(PostMessage, ToADestroyedWindowIsDropped) {
    auto* w = new LogWnd;
    ASSERT_TRUE(w->CreateHidden());
    std::thread([w] { w->PostMessage(0x8200, 1, 2); }).join();
    delete w; // before the loop turns: the queued message must not reach it
    LogWnd probe;
    ASSERT_TRUE(probe.CreateHidden());
    probe.PostMessage(0x8201, 0, 0);
    ASSERT_TRUE(testloop::PumpUntil([&] { return !probe.got.empty(); }, 10000));
    EXPECT_EQ(probe.got[0].msg, 0x8201u);
}
