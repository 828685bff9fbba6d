#include "graph/GraphWnd.h"
#include "GraphTestSupport.h"
#include "channels/SoftChanWave8.h"
#include "record/RecordingAnalysis.h"
#include "record/SoftChannels.h"
#include <QDir>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {
const std::pair<float, float> kNoMarkers{CGraphWnd::kNoTime, CGraphWnd::kNoTime};

// A shown top-level widget holding one graph window; the window deletes
// itself with the widget.
struct WndSetup {
    SOFTCHANNELS list;
    QWidget top;
    CGraphWnd* wnd;
    WndSetup() : wnd(new CGraphWnd(&list)) {
        top.resize(640, 340);
        top.show();
        EXPECT_TRUE(wnd->Create(CRect{0, 0, 640, 320}, &top, 100));
    }
    // Channel 2 of 3 seconds, channels 0 and 1 short.
    void AddThree() {
        list.AddChan(new VecChan(0, std::vector<float>(10, 1.0f), 0.1f));
        list.AddChan(new VecChan(1, std::vector<float>(10, 2.0f), 0.1f));
        std::vector<float> v(301);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = float(std::sin(double(i) * 0.05) + 1.5);
        list.AddChan(new VecChan(2, v, 0.01f, "Volume"));
    }
    QImage Paint() {
        wnd->UpdateWindow();
        return wnd->GetImage();
    }
    std::pair<float, float> Markers() const {
        const CRngFlt t = wnd->GetSaveTimes();
        return {t.Lo, t.Hi};
    }
    const GRAPH& G() const { return *wnd->GetGraph(); }
    int X(float t) const { return int(G().m_xAxis.User2Screen(t)); }
    int MidY() const {
        const CRngInt r = G().m_yAxis.GetRngScreen();
        return (r.Lo + r.Hi) / 2;
    }
    // A click at client x; the client area starts inside the 1-pixel border.
    void Click(Qt::MouseButton b, int x) {
        QTest::mouseClick(wnd->GetSafeHwnd(), b, Qt::NoModifier, QPoint(x + 1, MidY() + 1));
    }
};

bool AllWhite(const QImage& img) {
    return CountColor(img, kWhite) == img.width() * img.height();
}

// Columns in which the two images differ.
std::vector<int> ChangedColumns(const QImage& a, const QImage& b) {
    std::vector<int> cols;
    for (int x = 0; x < a.width(); ++x)
        for (int y = 0; y < a.height(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                cols.push_back(x);
                break;
            }
    return cols;
}
} // namespace

TEST(GraphWnd, SetChannelPutsMarkersAtBothEndsOnceAndNoOrUnknownChannelClearsThem) {
    WndSetup s;
    s.AddThree();
    EXPECT_EQ(s.Markers(), kNoMarkers);
    s.wnd->SetChannel(2, 1);
    const float duration = s.list.GetChan(2)->GetDuration();
    EXPECT_NEAR(duration, 3.0f, 1e-5);
    EXPECT_EQ(s.Markers(), std::pair(0.0f, duration));
    EXPECT_GT(CountColor(s.Paint(), kRed), 200);

    s.wnd->SetStartEndTimes(1.0f, 2.0f);
    s.wnd->SetChannel(2, 1);
    EXPECT_EQ(s.Markers(), std::pair(1.0f, 2.0f));

    // No channel: markers and cursor removed, an empty white window.
    s.wnd->SetCursorTime(1.0f);
    s.wnd->SetChannel(-1, 1);
    EXPECT_EQ(s.Markers(), kNoMarkers);
    EXPECT_EQ(s.wnd->GetCursorTime(), CGraphWnd::kNoTime);
    EXPECT_TRUE(AllWhite(s.Paint()));
    // A channel the list does not hold: nothing drawn, no markers, clicks ignored.
    s.wnd->SetChannel(7, 1);
    EXPECT_EQ(s.Markers(), kNoMarkers);
    EXPECT_TRUE(AllWhite(s.Paint()));
    s.Click(Qt::LeftButton, 300);
    s.Click(Qt::RightButton, 300);
    EXPECT_EQ(s.Markers(), kNoMarkers);

    CGraphWnd orphan(nullptr); // never created, no list: owner deletes it
    orphan.SetChannel(0, 1);
    orphan.SetCursorTime(1.0f);
    EXPECT_FLOAT_EQ(orphan.GetCursorTime(), 1.0f);
}

TEST(GraphWnd, LeftAndRightClicksSetTheMarkersInsideTheChannelOnly) {
    WndSetup s;
    s.AddThree();
    s.wnd->SetChannel(2, 1);
    const QImage before = s.Paint();
    const float duration = s.list.GetChan(2)->GetDuration();
    s.Click(Qt::LeftButton, s.X(0.0f) - 5);      // before 0 s
    s.Click(Qt::RightButton, s.X(duration) + 5); // after the end
    EXPECT_EQ(s.Markers(), std::pair(0.0f, duration));
    EXPECT_EQ(s.wnd->GetImage(), before);

    const int xs = s.X(2.0f), xe = s.X(0.5f);
    s.Click(Qt::LeftButton, xs);
    s.Click(Qt::RightButton, xe);
    const CRngFlt t = s.wnd->GetSaveTimes();
    const float upp = s.G().m_xAxis.m_fUnitsPerPixel;
    EXPECT_NEAR(t.Lo, 2.0f, upp);
    EXPECT_NEAR(t.Hi, 0.5f, upp);
    // The times of the clicked pixels, not ordered.
    EXPECT_EQ(s.Markers(), std::pair(s.G().m_xAxis.Screen2User(xs), s.G().m_xAxis.Screen2User(xe)));
}

TEST(GraphWnd, MarkersAreExclusiveOrLines) {
    WndSetup s;
    s.AddThree();
    s.wnd->SetChannel(2, 1);
    const QImage painted = s.Paint();

    // The start line moves from 0 s to the click; clicking there again keeps one line.
    s.Click(Qt::LeftButton, s.X(1.5f));
    const QImage once = s.wnd->GetImage();
    // The line lies at the pixel of the stored time (the click's pixel, or
    // one left of it when the time rounds down).
    const int x = s.X(s.wnd->GetSaveTimes().Lo);
    EXPECT_LE(s.X(1.5f) - x, 1);
    EXPECT_EQ(ChangedColumns(painted, once), (std::vector<int>{s.X(0.0f), x}));
    s.Click(Qt::LeftButton, s.X(1.5f));
    EXPECT_EQ(s.wnd->GetImage(), once);

    // The line is grey XOR-ed into the pixels under it, from the bottom to the top of the plot.
    const CRngInt yr = s.G().m_yAxis.GetRngScreen();
    EXPECT_TRUE(Is(once, x, (yr.Lo + yr.Hi) / 2, 0x7F7F7F)); // on white
    EXPECT_TRUE(Is(once, x, yr.Lo, 0x808080));               // on the black axis
    EXPECT_TRUE(Is(once, x, yr.Hi + 1, 0x7F7F7F));
    EXPECT_FALSE(Is(once, x, yr.Hi, 0x7F7F7F)); // the end point is left out

    // The cursor drawn twice at the same time leaves the image bit-identical.
    s.wnd->SetCursorTime(2.25f);
    EXPECT_NE(s.wnd->GetImage(), once);
    s.wnd->SetCursorTime(2.25f);
    EXPECT_EQ(s.wnd->GetImage(), once);
    // A repaint redraws a stored cursor, but not one at exactly 0.
    s.wnd->SetCursorTime(0.0f);
    s.wnd->Invalidate(TRUE);
    EXPECT_EQ(s.Paint(), once);
}

TEST(GraphWnd, FixedAndAutomaticValueRange) {
    WndSetup s;
    s.AddThree();
    s.wnd->SetChannel(2, 1);
    const QImage automatic = s.Paint();
    s.wnd->SetYRange(0, 0);
    s.wnd->Invalidate(TRUE);
    EXPECT_EQ(s.Paint(), automatic);
    s.wnd->SetYRange(0, 100);
    s.wnd->SetTitle("Item");
    s.wnd->Invalidate(TRUE);
    EXPECT_NE(s.Paint(), automatic);
    EXPECT_FLOAT_EQ(s.G().m_yAxis.m_fTickStep, 50.0f);
}

TEST(GraphWnd, CreationByClassNameAndDestruction) {
    const CRuntimeClass* cls = CRuntimeClass::FromName("CGraphWnd");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> obj(cls->CreateObject());
    auto* made = dynamic_cast<CGraphWnd*>(obj.get());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetChannel(), -1);

    SOFTCHANNELS list;
    QWidget top;
    auto* wnd = new CGraphWnd(&list);
    ASSERT_TRUE(wnd->Create(CRect{0, 0, 200, 100}, &top, 5));
    EXPECT_TRUE(wnd->DestroyWindow()); // deletes wnd; a leak checker would see otherwise
}

// Renders the "Volume" curve of a synthetic recording with the located
// markers, as the record dialog shows it; with VOK_WRITE_DOCS=1 the picture
// is written to docs/graph.png.
TEST(GraphWnd, VolumeCurveWithMarkers) {
    WndSetup s;
    const float dt = 1.0f / 11025;
    const long n = 3 * 11025;
    auto* wave = new SOFTCHAN_WAVE8(0, n, dt, nullptr);
    s.list.AddChan(wave);
    std::vector<uint8_t> samples(size_t(n), 128);
    uint32_t noise = 12345;
    for (long i = 0; i < n; ++i) {
        const double t = i * double(dt);
        noise = noise * 1103515245u + 12345u;
        double a = 2.0 * ((noise >> 16) % 100) / 100.0 - 1.0; // room noise
        if (t > 0.8 && t < 2.1)                               // a spoken word: two syllables
            a += 70.0 * std::sin(3.14159 * (t - 0.8) / 1.3) * (0.6 + 0.4 * std::sin(6.0 * t)) *
                 std::sin(2 * 3.14159 * 180.0 * t);
        samples[size_t(i)] = uint8_t(std::lround(std::clamp(128.0 + a, 0.0, 255.0)));
    }
    wave->InsertValues(int(n), samples.data());
    RECORDING_ANALYSIS result;
    ASSERT_EQ(AnalyseRecording(s.list, 0, result), 1);
    ASSERT_EQ(result.bLocated, 1);
    EXPECT_NEAR(result.range.Lo, 0.8f, 0.25f);
    EXPECT_NEAR(result.range.Hi, 2.1f, 0.25f);

    s.wnd->SetStartEndTimes(result.range.Lo, result.range.Hi);
    s.wnd->SetChannel(result.iVolumeChan, 1);
    const QImage img = s.Paint();
    EXPECT_GT(CountColor(img, kRed), 300);
    const CRngInt yr = s.G().m_yAxis.GetRngScreen();
    const int mid = (yr.Lo + yr.Hi) / 2;
    for (float t : {result.range.Lo, result.range.Hi})
        EXPECT_NE(img.pixel(s.X(t), mid), qRgb(255, 255, 255)) << t;

    if (qEnvironmentVariable("VOK_WRITE_DOCS") == "1") {
        const QString docs = qEnvironmentVariable("VOK_TEST_DATA") + "/../../docs";
        ASSERT_TRUE(QDir(docs).exists()) << docs.toStdString();
        EXPECT_TRUE(img.save(docs + "/graph.png", "PNG"));
    }
}
