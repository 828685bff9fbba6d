// Ranges, rounding and the typed arrays at their edges.
#include "MessageCapture.h"
#include "support/BitArray.h"
#include "support/NumUtil.h"
#include "support/Range.h"
#include "support/TypedArray.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

TEST(Range, ReversedRangesKeepTheirEndsUntilIncluded) {
    CRngInt r(5, 2);
    EXPECT_TRUE(r.IsInside(3));
    EXPECT_TRUE(r.IsInside(5));
    EXPECT_TRUE(r.IsInside(2));
    EXPECT_FALSE(r.IsInside(6));
    EXPECT_EQ(std::pair(r.Lo, r.Hi), std::pair(5, 2)); // asking does not reorder
    EXPECT_EQ(r.Width(), -3);
    EXPECT_TRUE(r.Include(7));
    EXPECT_EQ(std::pair(r.Lo, r.Hi), std::pair(2, 7));
    EXPECT_FALSE(r.Include(4));
    EXPECT_EQ(std::pair(r.Lo, r.Hi), std::pair(2, 7));
    EXPECT_TRUE(r.Include(-1));
    EXPECT_EQ(r.Lo, -1);

    const CRngInt closed(0, 10);
    EXPECT_TRUE(closed.IsInside(0));
    EXPECT_TRUE(closed.IsInside(10));

    CRngFlt f(1.5f, -0.5f);
    EXPECT_TRUE(f.IsInside(0.0f));
    EXPECT_DOUBLE_EQ(f.Width(), -2.0);
    f.Order();
    EXPECT_EQ(std::pair(f.Lo, f.Hi), std::pair(-0.5f, 1.5f));
    f.End(true) = 3.0f;
    EXPECT_EQ(f.Hi, 3.0f);
}

TEST(NumUtil, RoundHalvesAwayFromZeroAndTolerances) {
    const std::pair<double, int32_t> rounds[] = {
        {0.49, 0}, {0.5, 1}, {-0.5, -1}, {2.5, 3}, {-2.5, -3}, {-0.49, 0}, {1e12, 2147483647},
    };
    for (auto [x, want] : rounds)
        EXPECT_EQ(Round(x), want) << x;

    EXPECT_TRUE(ApproxEqual(0.005f, 0.0050005f));
    EXPECT_FALSE(ApproxEqual(1000.0f, 1000.2f));
    EXPECT_TRUE(ApproxEqual(1000.0f, 1000.05f));
    EXPECT_TRUE(IsZero(0.0000009f));
    EXPECT_FALSE(IsZero(0.0000011f));

    int32_t lo = -3, hi = 12;
    Clamp(lo, 0, 10);
    Clamp(hi, 0, 10);
    EXPECT_EQ(std::pair(lo, hi), std::pair(0, 10));
}

TEST(TypedArray, SizesAndCopyLimits) {
    INT_ARRAY none(0);
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(none.GetByteSize(), 0);

    INT_ARRAY a(4);
    EXPECT_EQ(a.Fill(7), 4);
    EXPECT_EQ(a[3], 7);
    EXPECT_EQ(a.SetSize(3), 1);
    EXPECT_EQ(a[0] | a[1] | a[2], 0); // fresh storage reads as zeros
    EXPECT_EQ(a.SetSize(0), 1);
    EXPECT_FALSE(a.IsValid());

    SHORT_ARRAY three(3), five(5);
    for (int16_t i = 0; i < 3; ++i)
        three[i] = int16_t(i + 1);
    five.Fill(9);
    five.CopyFrom(three); // 3 elements, both counts kept
    EXPECT_EQ(five.GetSize(), 5);
    EXPECT_EQ((std::vector<int16_t>(five.Data(), five.Data() + 5)),
              (std::vector<int16_t>{1, 2, 3, 9, 9}));
    three.CopyFrom(five);
    EXPECT_EQ(three.GetSize(), 3);

    SHORT_ARRAY ten(10), four(4);
    four.Fill(5);
    EXPECT_EQ(ten.CopyAt(four, 8), 0); // truncated after 2 elements
    EXPECT_EQ((std::vector<int16_t>(ten.Data() + 6, ten.Data() + 10)),
              (std::vector<int16_t>{0, 0, 5, 5}));
    EXPECT_EQ(ten.CopyAt(four, 6), 1);
    EXPECT_EQ(ten.CopyAt(four, 11), 0); // wholly outside: nothing written
    EXPECT_EQ(ten.CopyAt(four, -1), 0);

    five = three; // different counts: re-sized
    EXPECT_EQ(five.GetSize(), 3);
    const int16_t* storage = five.Data();
    five = three; // equal counts: copied in place
    EXPECT_EQ(five.Data(), storage);

    FLOAT_ARRAY grow;
    EXPECT_EQ(grow.Add(2.5f), 1);
    EXPECT_EQ(grow.GetSize(), 1);
    EXPECT_EQ(grow[0], 2.5f);
}

TEST(TypedArray, OversizedRequestsFailWithTheMessage) {
    MessageCapture cap;
    LONG_ARRAY big;
    EXPECT_EQ(big.SetSize(INT32_MAX / 2), 0); // more bytes than an int32 counts
    EXPECT_EQ(big.GetSize(), 0);
    EXPECT_FALSE(big.IsValid());
    EXPECT_EQ(cap.texts, std::vector<std::string>{"Memory Allocation Error"});
}

TEST(BitArray, MostSignificantBitFirst) {
    BIT_ARRAY bits(9);
    EXPECT_EQ(bits.GetByteSize(), 2);
    bits[0] = true;
    EXPECT_EQ(bits.Data()[0], 0x80);
    bits[8] = true;
    EXPECT_EQ(bits.Data()[1], 0x80);
    bits[7] = true;
    EXPECT_EQ(bits.Data()[0], 0x81);
    bits[0] = false;
    EXPECT_EQ(bits.Data()[0], 0x01);
    bits[1] = bits[8]; // copies the value, not the reference
    EXPECT_EQ(bits.Data()[0], 0x41);
    EXPECT_TRUE(static_cast<const BIT_ARRAY&>(bits)[1]);
    EXPECT_FALSE(static_cast<const BIT_ARRAY&>(bits)[2]);

    BIT_ARRAY copy;
    copy = bits;
    EXPECT_EQ(copy.GetNumBits(), 9);
    EXPECT_EQ(copy.Data()[1], 0x80);
    EXPECT_EQ(bits.SetNumBits(-4), 1);
    EXPECT_EQ(bits.GetNumBits(), 0);
}
