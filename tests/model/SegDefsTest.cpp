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

// Joint, the keys and values of kinds 1 and 2, and the three pairs.
std::vector<int> Fields(const JOINT_LINK& l) {
    std::vector<int> v{l.joint, l.key1, l.value1, l.key2, l.value2};
    for (const auto& p : l.pairs)
        v.insert(v.end(), {p[0], p[1]});
    return v;
}

using SegDefs = CompanionFolder;
} // namespace

TEST(FindLink, KindsAndKeys) {
    JOINT_LINK l = Link(5, {3, 11, -2, 12, -8, 13});
    l.key1 = 3;
    l.value1 = 21;
    l.key2 = 7;
    l.value2 = 22;
    // {key, kind, found}: kinds 4 and 5 look for -key, below or above the
    // record's own joint (5, which is neither); kinds 0 and 6 do not exist.
    const int cases[][3] = {{3, 1, 21},  {7, 1, 0}, {7, 2, 22}, {3, 2, 0}, {3, 3, 11},
                            {-2, 3, 12}, {4, 3, 0}, {2, 4, 12}, {8, 4, 0}, {8, 5, 13},
                            {2, 5, 0},   {5, 4, 0}, {3, 0, 0},  {3, 6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(FindLink(l, int8_t(c[0]), c[1]), c[2]) << c[0] << " kind " << c[1];
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
    EXPECT_EQ(defs.GetNames()[0] + " " + defs.GetNames()[11], "Seg1 Seg12");

    // A link line: value1, value2, then the three pairs; the keys are j - 2 and j + 2.
    EXPECT_EQ(Fields(defs.GetLink(4)), (std::vector<int>{5, 3, 0, 7, 7, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Fields(defs.GetLink(38)),
              (std::vector<int>{39, 37, -1, 41, 2, -3, 4, -5, 6, 127, -128}));

    // Parameter row r: the first number / 10000, then the fourth and fifth / 1000.
    for (auto [row, value, pos, radius] :
         {std::tuple(0, 0.1f, 0.4f, 0.3f), std::tuple(28, 2.9f, 0.428f, 0.328f)}) {
        EXPECT_FLOAT_EQ(defs.GetParams(row).fValue, value) << row;
        EXPECT_FLOAT_EQ(defs.GetParams(row).fPosRatio, pos) << row;
        EXPECT_FLOAT_EQ(defs.GetParams(row).fRadiusRatio, radius) << row;
    }
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
    // {what, separator, parameter rows, line of joint 6, cut the file to 20
    // lines, links all read, value of parameter row 0}
    const std::tuple<const char*, const char*, int, const char*, bool, bool, float> cases[] = {
        {"separator", "* one star", 29, "", false, true, 0.0f},
        {"short parameter section", "** parameters", 10, "", false, true, 0.1f},
        {"link line not scanning", "** parameters", 29, "1 2 3 x 5 6 7 8", false, false, 0.0f},
        {"link line too short", "** parameters", 29, "1 2 3 4 5 6 7", false, false, 0.0f},
        {"link value too large", "** parameters", 29, "1 2 3 4 5 6 7 128", false, false, 0.0f},
        {"overflow", "** parameters", 29, "1 99999999999 3 4 5 6 7 8", false, false, 0.0f},
        {"file ends in the links", "** parameters", 29, "", true, false, 0.0f}};
    for (auto [what, separator, rows, joint6, cut, linksComplete, firstValue] : cases) {
        SCOPED_TRACE(what);
        std::map<int, std::string> links{{5, "0 7 0 0 0 0 0 0"}};
        if (*joint6) links[6] = joint6;
        const std::string text = Confile(links, rows, separator);
        Write("CONFILE", cut ? text.substr(0, 17 * 20) : text);
        SEG_DEFS defs(joints, 0);
        EXPECT_EQ(defs.LoadDefs(), 0);
        EXPECT_EQ(defs.GetLink(4).value2, 7); // read before the failure
        // Links after a failing link line stay as constructed (zero).
        EXPECT_EQ(defs.GetLink(38).joint, linksComplete ? 39 : 0);
        EXPECT_FLOAT_EQ(defs.GetParams(0).fValue, firstValue);
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
    const INT_ARRAY joints = Ints({5, 7, 9});
    SEG_DEFS defs(joints, 3);
    ASSERT_EQ(defs.LoadDefs(), 1);

    // Index 1 (joint 7): joint 5's record holds +3 under kind 2, so the segment is
    // seen from its other end.
    tagSEGMENT s;
    EXPECT_EQ(defs.FindSegment(1, 2, s), -3);
    EXPECT_EQ(Joints(s), std::tuple("Seg3", 2, 1));
    const SEG_PARAMS& row1 = defs.GetParams(1); // (3 - 1) / 2
    EXPECT_FLOAT_EQ(s.m_fValue, row1.fValue);
    EXPECT_FLOAT_EQ(s.m_fPosRatio, 1.0f - row1.fPosRatio);
    EXPECT_FLOAT_EQ(s.m_fRadiusRatio,
                    std::sqrt(row1.fRadiusRatio * row1.fRadiusRatio + 1 - 2 * row1.fPosRatio));

    // Kind 4 from joint 9 (key 7 below 9, pair -7): a negative stored link keeps
    // the row as it is.
    tagSEGMENT t;
    EXPECT_EQ(defs.FindSegment(1, 4, t), 4);
    EXPECT_EQ(Joints(t), std::tuple("Seg4", 2, 3));
    EXPECT_FLOAT_EQ(t.m_fPosRatio, row1.fPosRatio);
    EXPECT_FLOAT_EQ(t.m_fRadiusRatio, row1.fRadiusRatio);

    // A joint without a link record is passed over, wherever it stands.
    const INT_ARRAY first = Ints({45, 5, 7});
    SEG_DEFS skip(first, 3);
    ASSERT_EQ(skip.LoadDefs(), 1);
    tagSEGMENT u;
    EXPECT_EQ(skip.FindSegment(2, 2, u), -3);
    EXPECT_EQ(Joints(u), std::tuple("Seg3", 3, 2));

    tagSEGMENT none;
    for (int i : {0, -1, 3})
        EXPECT_EQ(defs.FindSegment(i, 2, none), 0) << i;
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
    const INT_ARRAY pair = Ints({6, 8});
    SEG_DEFS wide(pair, 40);
    ASSERT_EQ(wide.LoadDefs(), 1);
    EXPECT_EQ(wide.FindSegment(1, 2, s), -1);
    EXPECT_EQ(wide.FindSegment(2, 2, s), 0);
}
