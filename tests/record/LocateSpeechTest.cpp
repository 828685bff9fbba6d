#include "record/LocateSpeech.h"
// The search for the spoken part in a "Volume" curve.
#include "channels/SoftChanXMS.h"
#include "record/SoftChannels.h"

#include <functional>
#include <gtest/gtest.h>

namespace {
// A "Volume" curve as the dialog builds it: P points of 0.01 s, 100 elements
// of 0.0001 s per point once in the list.
SOFTCHAN_XMS* AddCurve(SOFTCHANNELS& list, long points, const std::function<float(long)>& value) {
    auto* c = new SOFTCHAN_XMS(0, points, 0.01f, "Volume", "", "Sec", "Time");
    list.AddChan(c);
    for (long i = 0; i < points; ++i)
        c->arr[int32_t(i)] = value(i);
    return c;
}
} // namespace

TEST(LocateSpeech, WorkedExampleFindsThePeakAndWidensByAMargin) {
    SOFTCHANNELS list;
    SOFTCHAN_XMS* c = AddCurve(list, 200, [](long i) {
        if (i == 120) return 100.0f;
        return (i >= 100 && i < 150) ? 40.0f : 0.0f;
    });
    ASSERT_EQ(c->RtnNel(), 20000);
    CRngFlt r(-5.0f, -5.0f);
    EXPECT_EQ(LocateSpeech(list, 0, r), 1);
    // Start element 9938 and end element 14962 (15.2 >= 15.000001), minus and
    // plus 1000 elements.
    EXPECT_FLOAT_EQ(r.Lo, c->TimeOfIndex(8938));
    EXPECT_FLOAT_EQ(r.Hi, c->TimeOfIndex(15962));
    EXPECT_NEAR(r.Lo, 0.8938f, 1e-4f);
    EXPECT_NEAR(r.Hi, 1.5962f, 1e-4f);
}

// Silence (the peak is the first element searched), a curve of 0.25 s or
// less (nothing to search), loud only in the lead-in and falling after it, and
// the maximum as the last element (no end can follow it): no speech.
TEST(LocateSpeech, NoSpeechLeavesTheDefaults) {
    const std::pair<long, std::function<float(long)>> curves[] = {
        {300, [](long) { return 0.0f; }},
        {25, [](long) { return 50.0f; }},
        {300, [](long i) { return i < 30 ? 80.0f - float(i) : 0.0f; }},
        {300, [](long i) { return i == 299 ? 90.0f : 1.0f; }}};
    for (const auto& [points, value] : curves) {
        SOFTCHANNELS list;
        SOFTCHAN_XMS* c = AddCurve(list, points, value);
        CRngFlt r;
        EXPECT_EQ(LocateSpeech(*c, r), 0) << points;
        EXPECT_FLOAT_EQ(r.Lo, 0.25f);
        EXPECT_FLOAT_EQ(r.Hi, c->fDt * float(c->nNel - 1));
        if (points == 25) {
            EXPECT_NEAR(r.Hi, 0.2499f, 1e-5f);
        }
    }
}

TEST(LocateSpeech, SpeechAtTheEdgesIsCutToTheCurve) {
    {
        SOFTCHANNELS list; // already loud at 0.25 s: start element 2500, Lo 0.15 s
        SOFTCHAN_XMS* c = AddCurve(list, 300, [](long i) {
            if (i == 60) return 100.0f;
            return i < 100 ? 50.0f : 0.0f;
        });
        CRngFlt r;
        EXPECT_EQ(LocateSpeech(*c, r), 1);
        EXPECT_FLOAT_EQ(r.Lo, c->TimeOfIndex(1500));
        EXPECT_NEAR(r.Lo, 0.15f, 1e-4f);
    }
    {
        SOFTCHANNELS list; // speech runs to the end: Hi is the last element
        SOFTCHAN_XMS* c = AddCurve(list, 300, [](long i) {
            if (i == 200) return 100.0f;
            return i >= 150 ? 50.0f : 0.0f;
        });
        CRngFlt r;
        EXPECT_EQ(LocateSpeech(*c, r), 1);
        EXPECT_FLOAT_EQ(r.Hi, c->TimeOfIndex(c->RtnNel() - 1));
        // Start between points 149 (0) and 150 (50): 15.0 is just below the threshold 15.000001, so
        // the start is 14931.
        EXPECT_FLOAT_EQ(r.Lo, c->TimeOfIndex(13931));
    }
}

TEST(LocateSpeech, MissingChannelGivesAUsableRange) {
    SOFTCHANNELS list;
    CRngFlt r(3.0f, 4.0f);
    EXPECT_EQ(LocateSpeech(list, 5, r), 0);
    EXPECT_FLOAT_EQ(r.Lo, 0.25f);
    EXPECT_FLOAT_EQ(r.Hi, 0.25f);
}
