// The list of channels of a recording: lookup by number, free numbers,
// duplicates, numbers out of range, derived channels and a full table.
#include "record/SoftChannels.h"
#include "channels/SoftChan.h"

#include <gtest/gtest.h>

namespace {
// A plain channel that counts its deletions.
struct CountedChan : SOFTCHAN {
    CountedChan(int chan, int* deleted, int src = -1)
        : SOFTCHAN(chan, src, 10, 0.5f, 0, 1.0f, 1.0f, 0), pDeleted(deleted) {}
    ~CountedChan() override {
        if (pDeleted) ++*pDeleted;
    }
    int* pDeleted;
};
} // namespace

// An empty list finds nothing and offers 0; channels are found by number and
// the lowest free number is offered.
TEST(SoftChannels, LooksUpByNumberAndOffersTheLowestFree) {
    SOFTCHANNELS list;
    EXPECT_EQ(list.GetChan(0), nullptr);
    EXPECT_EQ(list.GetFreeChan(-1), 0);
    EXPECT_EQ(list.GetFreeChan(0), 1);
    list.DeleteAll();
    EXPECT_EQ(list.GetSize(), 0);
    auto* a = new CountedChan(0, nullptr);
    auto* b = new CountedChan(2, nullptr);
    EXPECT_EQ(list.AddChan(a), 1);
    EXPECT_EQ(list.AddChan(b), 1);
    EXPECT_EQ(list.GetChan(0), a);
    EXPECT_EQ(list.GetChan(2), b);
    EXPECT_EQ(list.GetChanAt(1), b);
    EXPECT_EQ(list.GetChan(1), nullptr);
    EXPECT_EQ(list.GetFreeChan(-1), 1);
    EXPECT_EQ(list.GetFreeChan(1), 3);
    for (int bad : {-1, 255, 256, 100000})
        EXPECT_EQ(list.GetChan(bad), nullptr) << bad;
}

// Of two channels of one number the later is found; numbers outside the
// table are kept but never found, a null channel is not kept; every channel
// kept is deleted, by DeleteAll or by the destructor.
TEST(SoftChannels, DuplicatesAndNumbersOutsideTheTableAreKeptAndDeleted) {
    int deleted = 0;
    {
        SOFTCHANNELS list;
        auto* first = new CountedChan(3, &deleted);
        auto* second = new CountedChan(3, &deleted);
        list.AddChan(first);
        EXPECT_EQ(list.AddChan(second), 1);
        EXPECT_EQ(list.GetChan(3), second);
        for (int num : {255, -1, 300})
            EXPECT_EQ(list.AddChan(new CountedChan(num, &deleted)), 0) << num;
        EXPECT_EQ(list.AddChan(nullptr), 0);
        EXPECT_EQ(list.GetSize(), 5);
        EXPECT_EQ(list.GetChan(255), nullptr);
        EXPECT_EQ(list.GetFreeChan(-1), 0);
        list.DeleteAll();
        EXPECT_EQ(deleted, 5);
        EXPECT_EQ(list.GetChan(3), nullptr);
        EXPECT_EQ(list.GetFreeChan(-1), 0);
        list.AddChan(new CountedChan(0, &deleted));
    }
    EXPECT_EQ(deleted, 6) << "the destructor deletes what is left";
}

TEST(SoftChannels, DerivedChannelResolvesItsSourceOnlyWhenAddedAfterIt) {
    SOFTCHANNELS list;
    auto* early = new CountedChan(1, nullptr, 0); // its source 0 does not exist yet
    list.AddChan(early);
    EXPECT_EQ(early->pSrc, nullptr);

    auto* src = new SOFTCHAN(0, -1, 40, 0.25f, 0, 1.0f, 1.0f, 0);
    list.AddChan(src);
    EXPECT_EQ(early->pSrc, nullptr) << "the source is resolved once, at the add";

    auto* late = new CountedChan(2, nullptr, 0);
    late->fRatio = 2.0f;
    list.AddChan(late);
    EXPECT_EQ(late->pSrc, src);
    EXPECT_FLOAT_EQ(late->fDt, 0.25f);
    EXPECT_EQ(late->nNel, 20) << "the shape is taken from the source through the ratio";
}

TEST(SoftChannels, FullTableAndPositionsBeyondTheByteRange) {
    SOFTCHANNELS list;
    for (int n = 0; n < 255; ++n)
        if (n != 7) list.AddChan(new CountedChan(n, nullptr));
    EXPECT_EQ(list.GetFreeChan(-1), 7);
    EXPECT_EQ(list.GetFreeChan(7), -1);
    auto* seven = new CountedChan(7, nullptr);
    EXPECT_EQ(list.AddChan(seven), 1);
    EXPECT_EQ(list.GetChan(7), seven);
    EXPECT_EQ(list.GetFreeChan(-1), -1);
    SOFTCHAN* last = list.GetChan(254);
    ASSERT_NE(last, nullptr);

    // Position 255 cannot be held in the table: the new duplicate is not found
    // and the earlier channel stays reachable.
    auto* extra = new CountedChan(254, nullptr);
    EXPECT_EQ(list.AddChan(extra), 0);
    EXPECT_EQ(list.GetSize(), 256);
    EXPECT_EQ(list.GetChan(254), last);
}
