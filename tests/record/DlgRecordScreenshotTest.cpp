// The whole dialog after a recording, grabbed as the user sees it: the
// "Volume" curve in the graph and both markers around the burst. With
// VOK_WRITE_DOCS=1 the picture is written to docs/record-dialog.png.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include "graph/GraphTestSupport.h"
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

using namespace rectest;

TEST(DlgRecordScreenshot, AfterARecordingTheGraphShowsTheCurveAndMarkers) {
    MessageCapture boxes;
    // Two syllable-like bursts, as a spoken word.
    std::vector<uint8_t> input = BurstInput(3.0, 0.5, 0.9);
    const std::vector<uint8_t> second = BurstInput(3.0, 1.0, 1.5);
    for (size_t i = 0; i < input.size(); ++i)
        if (second[i] != 128) input[i] = uint8_t(128 + (int(second[i]) - 128) / 2);
    WriteBytes(InFile(), input);
    const char* names[] = {"a01.wav", "a02.wav", "a03.wav", "a04.wav", "a05.wav"};
    DlgRecord d(NewFolder("shot").c_str(), names, 5);
    QImage shot;
    runWith(d, [&] {
        recordToTheEnd(d);
        PumpFor(200);
        shot = d.GetSafeHwnd()->grab().toImage();
        d.EndDialog(IDCANCEL);
    });
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(boxes.texts.empty()) << boxes.last();

    // The graph's curve is red; the markers are drawn across it.
    EXPECT_GT(CountColor(shot, RGB(255, 0, 0)), 100);
    WriteDocPicture(shot, "record-dialog.png");
}
