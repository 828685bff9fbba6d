#include "graph/CounterWnd.h"
#include "GraphTestSupport.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {
// Parent window counting the WM_COUNTER_DONE messages it receives.
class ParentWnd : public CWnd {
  public:
    int done = 0;

  protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COUNTER_DONE && wParam == 0 && lParam == 0) ++done;
        return 0;
    }
};

// Records the shown text and picture after every tick.
class RecordingCounter : public CCounterWnd {
  public:
    using CCounterWnd::CCounterWnd;
    std::vector<std::string> texts;
    std::vector<QImage> images;
    void Snapshot() {
        UpdateWindow();
        texts.push_back(GetDisplayText());
        images.push_back(GetImage());
    }

  protected:
    void OnTimer(UINT id) override {
        CCounterWnd::OnTimer(id);
        Snapshot();
    }
};

// Runs the event loop until done() holds, for at most limitMs (a generous
// bound that only keeps a broken build from hanging).
bool RunUntil(const std::function<bool()>& done, int limitMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QTest::qWait(20);
    return done();
}
} // namespace

TEST(CounterWnd, ResetCountsHalfSecondsAndReportsOnce) {
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateHidden());
    auto* c = new RecordingCounter(1);
    ASSERT_TRUE(c->Create(CRect{0, 0, 120, 60}, &parent, 7));
    EXPECT_NE(c->GetTimer(), 0u); // counting from creation
    c->PauseCounting(1);
    c->Reset(3);
    EXPECT_EQ(c->GetTotal(), 6);
    c->Snapshot();
    ASSERT_TRUE(RunUntil([&] { return parent.done > 0; }));
    // Let any further (wrong) tick or message arrive.
    QTest::qWait(1200);
    EXPECT_EQ(parent.done, 1);
    // Elapsed seconds rounded halves up, kept until the next Reset.
    EXPECT_EQ(c->texts, (std::vector<std::string>{"0", "1", "1", "2", "2", "3", "3"}));
    EXPECT_EQ(c->GetDisplayText(), "3");
    EXPECT_EQ(c->GetTimer(), 0u);
    EXPECT_FALSE(c->HasTimer(7));
    EXPECT_EQ(c->GetLeft(), 0);

    // Pictures: blue digits roughly centred; the same text gives the same
    // picture, a different text a different one.
    ASSERT_EQ(c->images.size(), 7u);
    for (const QImage& img : c->images) {
        const QRect b = BoundsOf(img, kBlue);
        ASSERT_FALSE(b.isNull());
        EXPECT_NEAR(b.center().x(), 60, 6);
        EXPECT_NEAR(b.center().y(), 30, 8);
        // The client area inside the border; no antialiasing.
        EXPECT_EQ(img.size(), QSize(118, 58));
        EXPECT_EQ(CountColor(img, kBlue) + CountColor(img, kWhite), 118 * 58);
    }
    EXPECT_EQ(c->images[1], c->images[2]);
    EXPECT_NE(c->images[0], c->images[1]);
    EXPECT_NE(c->images[2], c->images[3]);
}

TEST(CounterWnd, ZeroSecondsShowsNothingAndReportsAtTheFirstTick) {
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateHidden());
    auto* c = new RecordingCounter(0);
    ASSERT_TRUE(c->Create(CRect{0, 0, 100, 50}, &parent, 8));
    c->Snapshot();
    EXPECT_EQ(c->texts[0], "");
    EXPECT_EQ(CountColor(c->images[0], kWhite), 98 * 48); // inside the border
    ASSERT_TRUE(RunUntil([&] { return parent.done > 0; }));
    EXPECT_EQ(c->texts.size(), 2u); // the first tick ended it
    EXPECT_EQ(c->GetTimer(), 0u);
}

TEST(CounterWnd, PauseAndResume) {
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateHidden());
    auto* c = new RecordingCounter(5);
    ASSERT_TRUE(c->Create(CRect{0, 0, 100, 50}, &parent, 9));
    EXPECT_EQ(c->GetTimer(), 9u); // the control id
    c->PauseCounting(0);          // already running: nothing new
    EXPECT_EQ(c->GetTimer(), 9u);
    ASSERT_TRUE(RunUntil([&] { return c->GetLeft() < 10; }));
    c->PauseCounting(1);
    EXPECT_EQ(c->GetTimer(), 0u);
    EXPECT_FALSE(c->HasTimer(9));
    const int left = c->GetLeft();
    QTest::qWait(1200);
    EXPECT_EQ(c->GetLeft(), left);
    c->PauseCounting(0);
    ASSERT_TRUE(RunUntil([&] { return c->GetLeft() < left; }));
    EXPECT_EQ(c->GetLeft(), left - 1);
    EXPECT_EQ(parent.done, 0);

    // A window without a control id runs timer 1, and can be stopped.
    auto* plain = new CCounterWnd(3);
    ASSERT_TRUE(plain->Create(CRect{0, 0, 100, 50}, &parent, 0));
    EXPECT_EQ(plain->GetTimer(), 1u);
    plain->PauseCounting(1);
    EXPECT_EQ(plain->GetTimer(), 0u);
    EXPECT_FALSE(plain->HasTimer(1));
}

TEST(CounterWnd, CountersShareOneFontMadeByTheFirst) {
    CCounterWnd first(1);
    const QFont& made = CCounterWnd::GetFont()->qfont();
    ASSERT_TRUE(CCounterWnd::GetFont()->IsValid());
    EXPECT_EQ(made.pixelSize(), 30);
    EXPECT_EQ(made.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    // A later counter does not create it again.
    CCounterWnd::m_cFont.CreateFont(-11, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    CCounterWnd second(2);
    EXPECT_EQ(CCounterWnd::GetFont()->qfont().pixelSize(), 11);
    CCounterWnd::m_cFont.CreateFont(-30, 0, 0, 0, FW_EXTRALIGHT, 0, 0, 0, 0, 0, 0, 0, 0x20,
                                    "Arial");
}
