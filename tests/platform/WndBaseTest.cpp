// Windows and dialogs share their timers and posted messages: the same
// behaviour for a hidden window and a modeless dialog, and a modal dialog that
// ends and deletes itself still returns its result.
#include "EventLoop.h"
#include "platform/Dialog.h"
#include "platform/Wnd.h"
#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <type_traits>
#include <thread>

namespace {

const DLGTEMPLATE kEmpty = {"Empty", "DejaVu Sans", 8, 80, 40, nullptr, 0};

// Counts timer calls by id; timer 1 kills itself at its first call.
template <class Base> class Ticking : public Base {
  public:
    std::map<unsigned, int> ticks;
    bool gone = false, closedOnGui = false;
    void OnTimer(unsigned id) override {
        ++ticks[id];
        if (id == 1) this->KillTimer(1);
    }
    void PostNcDestroy() override {
        gone = true;
        closedOnGui = QThread::currentThread() == QCoreApplication::instance()->thread();
    }
};

struct HiddenWnd : Ticking<CWnd> {
    bool Make() { return CreateHidden(); }
    // WM_CLOSE ends the window as it ends a modeless dialog.
    intptr_t OnMessage(unsigned msg, uintptr_t, intptr_t) override {
        if (msg == WM_CLOSE) DestroyWindow();
        return 0;
    }
};
struct ModelessDlg : Ticking<CDialog> {
    bool Make() { return CreateIndirect(&kEmpty); }
};

template <class T> class WndBaseTimers : public ::testing::Test {};
using Kinds = ::testing::Types<HiddenWnd, ModelessDlg>;
struct KindName {
    template <class T> static std::string GetName(int) {
        return std::is_same_v<T, HiddenWnd> ? "Wnd" : "Dialog";
    }
};
TYPED_TEST_SUITE(WndBaseTimers, Kinds, KindName);

TYPED_TEST(WndBaseTimers, RunUntilKilledAndStopWithTheWindow) {
    TypeParam w;
    EXPECT_EQ(w.SetTimer(1, 5), 0u) << "no window yet";
    ASSERT_TRUE(w.Make());
    EXPECT_EQ(w.SetTimer(1, 5), 1u);
    EXPECT_EQ(w.SetTimer(2, 5), 2u);
    EXPECT_EQ(w.SetTimer(2, 5), 2u) << "restarting a running id";
    ASSERT_TRUE(testloop::PumpUntil([&] { return w.ticks[2] >= 3; }, 10000));
    EXPECT_EQ(w.ticks[1], 1) << "killed inside its own call";
    EXPECT_FALSE(w.HasTimer(1));
    EXPECT_FALSE(w.KillTimer(1));
    EXPECT_TRUE(w.HasTimer(2));

    w.DestroyWindow();
    EXPECT_TRUE(w.gone);
    EXPECT_FALSE(w.HasTimer(2));
    const int before = w.ticks[2];
    QThread::msleep(30);
    testloop::PumpPending();
    EXPECT_EQ(w.ticks[2], before) << "a timer ran after its window was destroyed";
}

TYPED_TEST(WndBaseTimers, MessagePostedFromAThreadClosesOnTheGuiThread) {
    TypeParam w;
    ASSERT_TRUE(w.Make());
    std::thread([&w] { EXPECT_TRUE(w.PostMessage(WM_CLOSE)); }).join();
    ASSERT_TRUE(testloop::PumpUntil([&] { return w.gone; }, 10000));
    EXPECT_TRUE(w.closedOnGui);
}

// Ends with IDOK from its timer and deletes itself as it is destroyed.
class SelfDeletingDlg : public CDialog {
  public:
    explicit SelfDeletingDlg(bool* deleted) : m_deleted(deleted) {}
    ~SelfDeletingDlg() override { *m_deleted = true; }
    bool OnInitDialog() override {
        SetTimer(7, 1);
        return CDialog::OnInitDialog();
    }
    void OnTimer(unsigned) override {
        EndDialog(IDOK);
        DestroyWindow();
    }
    void PostNcDestroy() override { delete this; }

  private:
    bool* m_deleted;
};

TEST(WndBaseModal, ADialogDeletedDuringItsRunStillReturnsItsResult) {
    bool deleted = false;
    auto* dlg = new SelfDeletingDlg(&deleted);
    ASSERT_TRUE(dlg->InitModalIndirect(&kEmpty));
    EXPECT_EQ(dlg->DoModal(), IDOK);
    EXPECT_TRUE(deleted);
}

} // namespace
