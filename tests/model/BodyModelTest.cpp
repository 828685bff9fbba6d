#include "model/BodyModel.h"
#include "MessageCapture.h"
#include "ModelTestEnv.h"

#include <cstring>

namespace {
// A header of the data file: joint count, pair words and title.
INT_ARRAY Header(int joints, int pairCount, const std::vector<int32_t>& pairs,
                 const std::string& title = "") {
    INT_ARRAY h(256);
    h[BODY_MODEL::kJointCountWord] = joints;
    h[BODY_MODEL::kPairCountWord] = pairCount;
    for (std::size_t n = 0; n < pairs.size(); ++n)
        h[BODY_MODEL::kFirstPairWord + int(n)] = pairs[n];
    std::memcpy(h.GetPtr(BODY_MODEL::kTitleByte), title.data(), title.size());
    return h;
}

int32_t Pair(int p, int q) {
    return p | q << 8;
}

std::string Jnames(int count) {
    std::vector<std::string> lines;
    for (int n = 1; n <= count; ++n)
        lines.push_back("J" + std::to_string(n) + " joint");
    return CompanionFolder::Lines(lines);
}

using JointNames = CompanionFolder;
} // namespace

TEST(BodyModel, BuildSegmentsFromPairWords) {
    BODY_MODEL m;
    INT_ARRAY h =
        Header(12, 5, {Pair(3, 9), Pair(4, 4), Pair(0, 6), Pair(11, 2) | 0x7F0000, Pair(6, 0)},
               "Walking trial 3   ");
    ASSERT_EQ(m.BuildSegments(h), 1);
    EXPECT_EQ(m.GetTitle(), "Walking trial 3");
    EXPECT_EQ(m.GetJointCount(), 12);
    // Pairs of one joint twice or with joint 0 are skipped; the rest are
    // numbered without them.
    ASSERT_EQ(m.GetSegmentCount(), 2);
    EXPECT_EQ(Joints(*m.GetSegment(0)), std::tuple("Seg1", 9, 3));
    EXPECT_EQ(Joints(*m.GetSegment(1)), std::tuple("Seg2", 11, 2));
    EXPECT_EQ(m.GetSegment(0)->m_iReversed + m.GetSegment(1)->m_iReversed, 2);
    EXPECT_EQ(m.GetSegmentName(1) + "|" + m.GetSegmentName(2) + "|" + m.GetSegmentName(-1),
              "Seg2||");
    EXPECT_EQ(m.GetSegment(2), nullptr);
    EXPECT_EQ(m.GetJointName(0) + " " + m.GetJointName(11) + " " + m.GetJointName(-1) + " " +
                  m.GetJointName(12),
              "Joint1 Joint12 FixedPt C.G.");
    // Joints without numbers of their own get their index.
    ASSERT_EQ(m.GetJointNumbers().GetSize(), 12);
    EXPECT_EQ(m.GetJointNumbers()[11], 12);

    // Rebuilding replaces the segments.
    ASSERT_EQ(m.BuildSegments(Header(4, 1, {Pair(1, 2)})), 1);
    EXPECT_EQ(m.GetSegmentCount(), 1);
    EXPECT_EQ(m.GetJointName(4), "C.G.");
}

TEST(BodyModel, PairCountIsCutToFifty) {
    std::vector<int32_t> pairs;
    for (int n = 0; n < 60; ++n)
        pairs.push_back(Pair(1, 2 + n));
    BODY_MODEL m;
    ASSERT_EQ(m.BuildSegments(Header(80, 60, pairs)), 1);
    EXPECT_EQ(m.GetSegmentCount(), 50);
    EXPECT_EQ(m.GetSegmentName(49), "Seg50");
    EXPECT_EQ(m.GetSegment(49)->m_nFirstJoint, 51);
    ASSERT_EQ(m.BuildSegments(Header(80, -3, pairs)), 1);
    EXPECT_EQ(m.GetSegmentCount(), 0);
}

TEST(BodyModel, BadHeaderLeavesTheModelAlone) {
    BODY_MODEL m;
    ASSERT_EQ(m.BuildSegments(Header(3, 1, {Pair(1, 2)}, "Kept")), 1);
    INT_ARRAY shortHeader(BODY_MODEL::kHeaderWords - 1);
    shortHeader[BODY_MODEL::kJointCountWord] = 5;
    EXPECT_EQ(m.BuildSegments(shortHeader), 0);
    EXPECT_EQ(m.BuildSegments(Header(256, 1, {Pair(7, 8)})), 0);
    EXPECT_EQ(m.BuildSegments(Header(-1, 1, {Pair(7, 8)})), 0);
    EXPECT_EQ(m.GetTitle(), "Kept");
    EXPECT_EQ(m.GetJointCount(), 3);
    EXPECT_EQ(m.GetSegmentCount(), 1);
    EXPECT_EQ(m.GetSegment(0)->m_nFirstJoint, 2);
}

TEST_F(JointNames, NamesFollowTheJointNumbers) {
    Write("jnames", Jnames(45));
    BODY_MODEL m;
    m.SetJointNumbers(Ints({3, 45, 1}));
    ASSERT_EQ(m.LoadJointNames(), 1);
    EXPECT_EQ(m.GetJointName(0) + " " + m.GetJointName(1) + " " + m.GetJointName(2) + " " +
                  m.GetJointName(3),
              "J3 J45 J1 C.G.");
}

TEST_F(JointNames, ShortOrMissingFileOrBadNumberFails) {
    BODY_MODEL m;
    m.SetJointNumbers(Ints({2, 41, 1}));
    MessageCapture cap;
    EXPECT_EQ(m.LoadJointNames(), 0); // no file
    EXPECT_TRUE(cap.texts.empty());
    Write("jnames", Jnames(39));
    EXPECT_EQ(m.LoadJointNames(), 0);
    EXPECT_EQ(m.GetJointName(0), ""); // nothing replaced

    Write("jnames", Jnames(40));
    EXPECT_EQ(m.LoadJointNames(), 0);   // joint number 41 has no line
    EXPECT_EQ(m.GetJointName(0), "J2"); // taken before the bad number
    EXPECT_EQ(m.GetJointName(2), "");

    // A file with LF-only line ends is a single line, hence too short.
    std::string lf;
    for (int n = 1; n <= 50; ++n)
        lf += "N" + std::to_string(n) + "\n";
    Write("jnames", lf);
    EXPECT_EQ(m.LoadJointNames(), 0);
}
