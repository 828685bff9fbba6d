#include "model/SegDefs.h"
#include "MessageCapture.h"
#include "ModelTestEnv.h"

#include <cmath>
#include <map>

namespace {
// A CONFILE: 39 link lines (zeros unless given), the separator, and rows
// parameter lines where row r holds 1000 (r + 1), two unused numbers, 400 + r
// and 300 + r.
std::string Confile(const std::map<int, std::string>& links = {}, int rows = 29,
                    const std::string& separator = "** parameters") {
    std::vector<std::string> lines;
    for (int j = 1; j <= 39; ++j) {
        auto it = links.find(j);
        lines.push_back(it != links.end() ? it->second : "0 0 0 0 0 0 0 0");
    }
    lines.push_back(separator);
    for (int r = 0; r < rows; ++r)
        lines.push_back(std::to_string(1000 * (r + 1)) + " 11 22 " + std::to_string(400 + r) + " " +
                        std::to_string(300 + r));
    return CompanionFolder::Lines(lines);
}

std::string Snames(int count) {
    std::vector<std::string> lines;
    for (int s = 1; s <= count; ++s)
        lines.push_back("Seg" + std::to_string(s) + "  comment");
    return CompanionFolder::Lines(lines);
}

JOINT_LINK Link(int joint, std::initializer_list<int> pairs) {
    JOINT_LINK l;
    l.joint = int8_t(joint);
    int k = 0;
    for (int v : pairs) {
        l.pairs[k / 2][k % 2] = int8_t(v);
        ++k;
    }
    return l;
}

using SegDefs = CompanionFolder;
} // namespace

TEST(FindLink, KindsAndKeys) {
    JOINT_LINK l = Link(5, {3, 11, -2, 12, -8, 13});
    l.key1 = 3;
    l.value1 = 21;
    l.key2 = 7;
    l.value2 = 22;
    EXPECT_EQ(FindLink(l, 3, 1), 21);
    EXPECT_EQ(FindLink(l, 7, 1), 0);
    EXPECT_EQ(FindLink(l, 7, 2), 22);
    EXPECT_EQ(FindLink(l, 3, 2), 0);
    EXPECT_EQ(FindLink(l, 3, 3), 11);
    EXPECT_EQ(FindLink(l, -2, 3), 12);
    EXPECT_EQ(FindLink(l, 4, 3), 0);
    // Kinds 4 and 5 look for -key, below or above the record's own joint.
    EXPECT_EQ(FindLink(l, 2, 4), 12);
    EXPECT_EQ(FindLink(l, 8, 4), 0);
    EXPECT_EQ(FindLink(l, 8, 5), 13);
    EXPECT_EQ(FindLink(l, 2, 5), 0);
    EXPECT_EQ(FindLink(l, 5, 4), 0); // the own joint is neither below nor above
    EXPECT_EQ(FindLink(l, 3, 0), 0);
    EXPECT_EQ(FindLink(l, 3, 6), 0);
    // The first matching pair wins.
    JOINT_LINK dup = Link(9, {4, 31, 4, 32, 4, 33});
    EXPECT_EQ(FindLink(dup, 4, 3), 31);
}

TEST_F(SegDefs, LoadsNamesLinksAndRows) {
    Write("SNAMES", Snames(12));
    Write("CONFILE", Confile({{5, "0 7 0 0 0 0 0 0"}, {39, "-1 2 -3 4 -5 6 127 -128"}}));
    INT_ARRAY joints(0);
    SEG_DEFS defs(joints, 0);
    MessageCapture cap;
    ASSERT_EQ(defs.LoadDefs(), 1);
    EXPECT_TRUE(cap.texts.empty());
    ASSERT_EQ(defs.GetNames().size(), 12u);
    EXPECT_EQ(defs.GetNames()[0], "Seg1");
    EXPECT_EQ(defs.GetNames()[11], "Seg12");

    const JOINT_LINK& j5 = defs.GetLink(4);
    EXPECT_EQ(j5.joint, 5);
    EXPECT_EQ(j5.key1, 3);
    EXPECT_EQ(j5.key2, 7);
    EXPECT_EQ(j5.value2, 7);
    EXPECT_EQ(FindLink(j5, 7, 2), 7);
    EXPECT_EQ(FindLink(j5, 3, 1), 0);

    const JOINT_LINK& j39 = defs.GetLink(38);
    EXPECT_EQ(j39.key1, 37);
    EXPECT_EQ(j39.value1, -1);
    EXPECT_EQ(j39.key2, 41);
    EXPECT_EQ(j39.value2, 2);
    EXPECT_EQ(j39.pairs[0][0], -3);
    EXPECT_EQ(j39.pairs[0][1], 4);
    EXPECT_EQ(j39.pairs[2][0], 127);
    EXPECT_EQ(j39.pairs[2][1], -128);

    EXPECT_FLOAT_EQ(defs.GetParams(0).fValue, 0.1f);
    EXPECT_FLOAT_EQ(defs.GetParams(0).fPosRatio, 0.4f);
    EXPECT_FLOAT_EQ(defs.GetParams(0).fRadiusRatio, 0.3f);
    EXPECT_FLOAT_EQ(defs.GetParams(28).fValue, 2.9f);
    EXPECT_FLOAT_EQ(defs.GetParams(28).fPosRatio, 0.428f);
    EXPECT_FLOAT_EQ(defs.GetParams(28).fRadiusRatio, 0.328f);
}

TEST_F(SegDefs, MissingFilesFailWithoutMessage) {
    INT_ARRAY joints(0);
    SEG_DEFS defs(joints, 0);
    MessageCapture cap;
    EXPECT_EQ(defs.LoadDefs(), 0); // neither file
    Write("CONFILE", Confile());
    EXPECT_EQ(defs.LoadDefs(), 0); // no SNAMES
    std::filesystem::remove(dir + "/CONFILE");
    Write("SNAMES", Snames(3));
    EXPECT_EQ(defs.LoadDefs(), 0); // no CONFILE
    EXPECT_EQ(defs.GetNames().size(), 3u);
    EXPECT_TRUE(cap.texts.empty());
}

TEST_F(SegDefs, BadSectionsFailAndKeepWhatWasRead) {
    Write("SNAMES", Snames(4));
    INT_ARRAY joints(0);
    struct Case {
        std::string confile;
        const char* what;
        bool linksComplete;
        float firstValue; // of parameter row 0
    };
    const Case cases[] = {
        {Confile({{5, "0 7 0 0 0 0 0 0"}}, 29, "* one star"), "separator", true, 0.0f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}}, 10), "short parameter section", true, 0.1f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}, {6, "1 2 3 x 5 6 7 8"}}), "link line not scanning", false,
         0.0f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}, {6, "1 2 3 4 5 6 7"}}), "link line too short", false,
         0.0f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}, {6, "1 2 3 4 5 6 7 128"}}), "link value too large", false,
         0.0f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}, {6, "1 99999999999 3 4 5 6 7 8"}}), "overflow", false,
         0.0f},
        {Confile({{5, "0 7 0 0 0 0 0 0"}}).substr(0, 17 * 20), "file ends in the links", false,
         0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write("CONFILE", c.confile);
        SEG_DEFS defs(joints, 0);
        EXPECT_EQ(defs.LoadDefs(), 0);
        EXPECT_EQ(defs.GetLink(4).value2, 7); // read before the failure
        // Links after a failing link line stay as constructed (zero).
        EXPECT_EQ(defs.GetLink(38).joint, c.linksComplete ? 39 : 0);
        EXPECT_FLOAT_EQ(defs.GetParams(0).fValue, c.firstValue);
    }
    // A parameter line with four numbers fails; the rows before it stay.
    std::string text = Confile();
    std::size_t row3 = text.find("4000 11 22 403 303");
    ASSERT_NE(row3, std::string::npos);
    text.replace(row3, 18, "4000 11 22 403");
    Write("CONFILE", text);
    SEG_DEFS defs(joints, 0);
    EXPECT_EQ(defs.LoadDefs(), 0);
    EXPECT_FLOAT_EQ(defs.GetParams(2).fValue, 0.3f);
    EXPECT_FLOAT_EQ(defs.GetParams(3).fValue, 0.0f);
}

TEST_F(SegDefs, FindSegmentNamesAndOrientsTheLink) {
    Write("SNAMES", Snames(8));
    // Joint 5 links to key 7 (its j + 2) with value a2; joint 9 has pair (-7, -4).
    Write("CONFILE", Confile({{5, "0 3 0 0 0 0 0 0"}, {9, "0 0 0 0 -7 -4 0 0"}}));
    INT_ARRAY joints(3);
    joints[0] = 5;
    joints[1] = 7;
    joints[2] = 9;
    SEG_DEFS defs(joints, 3);
    ASSERT_EQ(defs.LoadDefs(), 1);

    // Index 1 (joint 7): joint 5's record holds +3 under kind 2, so the segment is
    // seen from its other end.
    tagSEGMENT s;
    EXPECT_EQ(defs.FindSegment(1, 2, s), -3);
    EXPECT_EQ(s.m_strName, "Seg3");
    EXPECT_EQ(s.m_nFirstJoint, 2);
    EXPECT_EQ(s.m_nSecondJoint, 1);
    const SEG_PARAMS& row1 = defs.GetParams(1); // (3 - 1) / 2
    EXPECT_FLOAT_EQ(s.m_fValue, row1.fValue);
    EXPECT_FLOAT_EQ(s.m_fPosRatio, 1.0f - row1.fPosRatio);
    EXPECT_FLOAT_EQ(s.m_fRadiusRatio,
                    std::sqrt(row1.fRadiusRatio * row1.fRadiusRatio + 1 - 2 * row1.fPosRatio));

    // Kind 4 from joint 9 (key 7 below 9, pair -7): a negative stored link keeps
    // the row as it is.
    tagSEGMENT t;
    EXPECT_EQ(defs.FindSegment(1, 4, t), 4);
    EXPECT_EQ(t.m_strName, "Seg4");
    EXPECT_EQ(t.m_nFirstJoint, 2);
    EXPECT_EQ(t.m_nSecondJoint, 3);
    EXPECT_FLOAT_EQ(t.m_fPosRatio, row1.fPosRatio);
    EXPECT_FLOAT_EQ(t.m_fRadiusRatio, row1.fRadiusRatio);

    tagSEGMENT none;
    EXPECT_EQ(defs.FindSegment(0, 2, none), 0);
    EXPECT_EQ(defs.FindSegment(-1, 2, none), 0);
    EXPECT_EQ(defs.FindSegment(3, 2, none), 0);
    EXPECT_EQ(none.m_strName, "");
}

TEST_F(SegDefs, FindSegmentRejectsUnusableEntries) {
    Write("SNAMES", Snames(2));
    Write("CONFILE", Confile({{5, "0 3 0 0 0 0 0 0"}, {6, "0 1 0 0 0 0 0 0"}}));
    INT_ARRAY joints(2);
    joints[1] = 7;
    tagSEGMENT s;
    for (int outside : {0, 40, -1, 255}) {
        joints[0] = outside;
        SEG_DEFS defs(joints, 2);
        ASSERT_EQ(defs.LoadDefs(), 1);
        EXPECT_EQ(defs.FindSegment(1, 2, s), 0) << outside;
    }
    // Segment 3 has no name in a two-name SNAMES.
    joints[0] = 5;
    SEG_DEFS defs(joints, 2);
    ASSERT_EQ(defs.LoadDefs(), 1);
    EXPECT_EQ(defs.FindSegment(1, 2, s), 0);
    EXPECT_EQ(s.m_strName, "");
    // A joint count beyond the list only covers the list.
    INT_ARRAY pair(2);
    pair[0] = 6;
    pair[1] = 8;
    SEG_DEFS wide(pair, 40);
    ASSERT_EQ(wide.LoadDefs(), 1);
    EXPECT_EQ(wide.FindSegment(1, 2, s), -1);
    EXPECT_EQ(wide.FindSegment(2, 2, s), 0);
}
