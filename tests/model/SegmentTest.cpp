#include "model/Segment.h"
#include "ModelTestEnv.h"
#include "support/ObContainers.h"

#include <algorithm>
#include <cstring>

namespace {
float FloatAt(const uint8_t* p) {
    uint32_t bits =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

tagSEGMENT Make(const std::string& name, int first, int second, float value, float pos,
                float radius, int reversed, int kind) {
    tagSEGMENT s;
    s.m_strName = name;
    s.m_nFirstJoint = uint8_t(first);
    s.m_nSecondJoint = uint8_t(second);
    s.m_fValue = value;
    s.m_fPosRatio = pos;
    s.m_fRadiusRatio = radius;
    s.m_iReversed = reversed;
    s.m_iKind = kind;
    return s;
}
} // namespace

TEST(Segment, RecordLayoutAndReadBack) {
    tagSEGMENT s = Make("Forearm", 12, 200, 2.5f, 0.43f, 0.3f, 0, 4);
    uint8_t rec[tagSEGMENT::kRecordSize];
    s.ToRecord(rec);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rec), 10), "Forearm   ");
    EXPECT_EQ(std::pair(rec[10], rec[11]), std::pair(uint8_t(12), uint8_t(200)));
    EXPECT_EQ(std::tuple(FloatAt(rec + 12), FloatAt(rec + 16), FloatAt(rec + 20)),
              std::tuple(2.5f, 0.43f, 0.3f));

    tagSEGMENT back;
    back.m_iKind = 7; // not part of the record
    back.FromRecord(rec);
    EXPECT_EQ(Joints(back), std::tuple("Forearm", 12, 200));
    EXPECT_EQ(Params(back), std::tuple(2.5f, 0.43f, 0.3f, 0, 7));

    // Reversed segments carry the flag as a negative value; names are cut to 10.
    s.m_iReversed = 1;
    s.m_strName = "AVeryLongSegmentName";
    s.ToRecord(rec);
    EXPECT_EQ(FloatAt(rec + 12), -2.5f);
    back.FromRecord(rec);
    EXPECT_EQ(Joints(back), std::tuple("AVeryLongS", 12, 200));
    EXPECT_EQ(Params(back), std::tuple(2.5f, 0.43f, 0.3f, 1, 7));
}

TEST(Segment, ZeroOrTinyValueReadsBackReversed) {
    uint8_t rec[tagSEGMENT::kRecordSize] = {'H', 'i', 'p', 0, 0, 0, 0, 0, 0, 0, 3, 4};
    tagSEGMENT s = Make("", 1, 1, 9, 0.5f, 0.5f, 0, 4);
    s.FromRecord(rec);
    EXPECT_EQ(Joints(s), std::tuple("Hip", 3, 4));
    EXPECT_EQ(std::pair(s.m_fValue, s.m_iReversed), std::pair(0.0f, 1));
    // Just below the threshold counts as reversed too.
    tagSEGMENT small = Make("", 1, 1, 0.0005f, 0.5f, 0.5f, 0, 4);
    small.ToRecord(rec);
    small.FromRecord(rec);
    EXPECT_EQ(std::pair(small.m_fValue, small.m_iReversed), std::pair(-0.0005f, 1));
}

TEST(Segment, ArchiveRoundTrip) {
    EXPECT_EQ(RUNTIME_CLASS(tagSEGMENT)->m_wSchema, 0u); // stored in existing archives
    CObArrayX list;
    // A value of 0.0005 survives the archive, unlike the record.
    list.Add(new tagSEGMENT(Make("Thigh with a long name", 9, 3, 0.0005f, 0.25f, 0.75f, 0, 2)));
    list.Add(new tagSEGMENT);
    CArchive out;
    out << static_cast<const CObject*>(&list);
    const auto& bytes = out.Data();
    const std::string name = "tagSEGMENT";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), name.begin(), name.end()), bytes.end());

    CObject* obj = nullptr;
    ASSERT_EQ(LoadObject(bytes.data(), bytes.size(), obj, RUNTIME_CLASS(CObArrayX)), 1);
    std::unique_ptr<CObArrayX> back(static_cast<CObArrayX*>(obj));
    ASSERT_EQ(back->GetSize(), 2);
    ASSERT_TRUE(back->GetAt(0)->IsKindOf(RUNTIME_CLASS(tagSEGMENT)));
    const auto& a = *static_cast<tagSEGMENT*>(back->GetAt(0));
    EXPECT_EQ(Joints(a), std::tuple("Thigh with a long name", 9, 3));
    EXPECT_EQ(Params(a), std::tuple(0.0005f, 0.25f, 0.75f, 0, 2));
    const tagSEGMENT plain;
    EXPECT_EQ(Params(*static_cast<tagSEGMENT*>(back->GetAt(1))), Params(plain));

    // A truncated archive fails cleanly.
    CObject* none = nullptr;
    EXPECT_EQ(LoadObject(bytes.data(), bytes.size() - 3, none, RUNTIME_CLASS(CObArrayX)), 0);
    EXPECT_EQ(none, nullptr);
}
