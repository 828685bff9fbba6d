// The graph right after a recording stops: the located markers are on the
// screen before anything else repaints the graph window.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "graph/GraphTestSupport.h"
#include "graph/GraphWnd.h"
#include <QImage>
#include <gtest/gtest.h>

using namespace rectest;

namespace {
// A dialog that keeps the graph's image as it stands when the full channel's
// notification has stopped the recording.
struct GrabAtStop : DlgRecord {
    using DlgRecord::DlgRecord;
    QImage atStop;
    intptr_t WindowProc(unsigned msg, uintptr_t w, intptr_t l) override {
        const bool was = m_bRecording;
        intptr_t r = DlgRecord::WindowProc(msg, w, l);
        if (was && !m_bRecording && m_pGraphWnd) atStop = m_pGraphWnd->GetImage();
        return r;
    }
};

const char* kNames[] = {"m01.wav"};
} // namespace

// A marker is an exclusive-or line of grey over the white plot: its column
// holds that grey over most of the plot's height, columns away from it none.
TEST(DlgRecordMarkers, LocatedMarkersAreDrawnRightAfterStop) {
    MessageCapture boxes;
    WriteBytes(InFile(), BurstInput(3.0, 0.6, 1.2));
    GrabAtStop d(NewFolder("markers").c_str(), kNames, 1);
    runWith(d, [&] {
        recordToTheEnd(d);
        ASSERT_NE(d.m_pGraphWnd, nullptr);
        ASSERT_FALSE(d.atStop.isNull());
        const CRngFlt marks = d.GetMarkedTimes();
        EXPECT_NEAR(marks.Lo, 0.5, 0.02);
        EXPECT_NEAR(marks.Hi, 1.3, 0.02);

        const GRAPH& g = *d.m_pGraphWnd->GetGraph();
        const CRngInt ys = g.m_yAxis.GetRngScreen();
        const int top = std::min(ys.Lo, ys.Hi), height = std::abs(ys.Hi - ys.Lo) + 1;
        ASSERT_GT(height, 50);
        const COLORREF onWhite = kWhite ^ CGraphWnd::kMarkerColor;
        auto greyIn = [&](float t) {
            const int x = int(g.m_xAxis.User2Screen(t));
            return CountColor(d.atStop, onWhite, QRect(x, top, 1, height));
        };
        EXPECT_GT(greyIn(marks.Lo), height / 2);
        EXPECT_GT(greyIn(marks.Hi), height / 2);
        EXPECT_EQ(greyIn(0.9f), 0); // inside the burst, between the markers
        EXPECT_EQ(greyIn(1.7f), 0); // silence after the end marker
        d.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();
}
