// The record dialog places its markers with the locator its options name:
// speech from 0.1 s is cut at the standard locator's 0.25-s lead-in and kept
// whole by the refined one.
#include "DlgDriver.h"
#include "MessageCapture.h"
#include <gtest/gtest.h>

using namespace rectest;

namespace {
const char* kNames[] = {"a01.wav"};

CRngFlt MarkersAfterRecording(int locator) {
    WriteBytes(InFile(), BurstInput(3.0, 0.1, 0.6));
    const std::string folder = NewFolder("locator");
    DlgRecord d(folder.c_str(), kNames, 1);
    RECORD_OPTIONS options;
    options.iLocator = locator;
    d.SetOptions(options);
    CRngFlt marks(-1.0f, -1.0f);
    runWith(d, [&] {
        recordToTheEnd(d);
        marks = d.GetMarkedTimes();
        d.EndDialog(IDCANCEL);
    });
    return marks;
}
} // namespace

TEST(DlgRecordLocator, OptionsChooseTheLocator) {
    MessageCapture boxes;
    EXPECT_EQ(DlgRecord(NewFolder("default").c_str(), kNames, 1).GetOptions().iLocator,
              LOCATOR_SPEC);
    const CRngFlt spec = MarkersAfterRecording(LOCATOR_SPEC);
    EXPECT_GE(spec.Lo, 0.15); // never before the lead-in less the 0.1-s margin
    const CRngFlt refined = MarkersAfterRecording(LOCATOR_REFINED);
    EXPECT_LT(refined.Lo, 0.1);
    EXPECT_GT(refined.Hi, 0.6);
    EXPECT_LT(refined.Hi, 0.75); // 0.12 s of margin
}
