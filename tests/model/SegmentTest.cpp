#include "model/Segment.h"
#include "support/ObContainers.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {
float FloatAt(const uint8_t* p) {
    uint32_t bits =
        uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
} // namespace

TEST(Segment, Defaults) {
    tagSEGMENT s;
    EXPECT_EQ(s.m_strName, "");
    EXPECT_EQ(s.m_nFirstJoint, 1);
    EXPECT_EQ(s.m_nSecondJoint, 1);
    EXPECT_EQ(s.m_fValue, 0.0f);
    EXPECT_EQ(s.m_fPosRatio, 0.5f);
    EXPECT_EQ(s.m_fRadiusRatio, 0.5f);
    EXPECT_EQ(s.m_iReversed, 1);
    EXPECT_EQ(s.m_iKind, 4);
}

TEST(Segment, RecordLayoutAndReadBack) {
    tagSEGMENT s;
    s.m_strName = "Forearm";
    s.m_nFirstJoint = 12;
    s.m_nSecondJoint = 200;
    s.m_fValue = 2.5f;
    s.m_fPosRatio = 0.43f;
    s.m_fRadiusRatio = 0.3f;
    s.m_iReversed = 0;
    uint8_t rec[tagSEGMENT::kRecordSize];
    s.ToRecord(rec);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(rec), 10), "Forearm   ");
    EXPECT_EQ(rec[10], 12);
    EXPECT_EQ(rec[11], 200);
    EXPECT_EQ(FloatAt(rec + 12), 2.5f);
    EXPECT_EQ(FloatAt(rec + 16), 0.43f);
    EXPECT_EQ(FloatAt(rec + 20), 0.3f);

    tagSEGMENT back;
    back.m_iKind = 7;
    back.FromRecord(rec);
    EXPECT_EQ(back.m_strName, "Forearm");
    EXPECT_EQ(back.m_nFirstJoint, 12);
    EXPECT_EQ(back.m_nSecondJoint, 200);
    EXPECT_EQ(back.m_fValue, 2.5f);
    EXPECT_EQ(back.m_iReversed, 0);
    EXPECT_EQ(back.m_iKind, 7); // not part of the record

    // Reversed segments carry the flag as a negative value.
    s.m_iReversed = 1;
    s.m_strName = "AVeryLongSegmentName";
    s.ToRecord(rec);
    EXPECT_EQ(FloatAt(rec + 12), -2.5f);
    back.FromRecord(rec);
    EXPECT_EQ(back.m_strName, "AVeryLongS");
    EXPECT_EQ(back.m_iReversed, 1);
    EXPECT_EQ(back.m_fValue, 2.5f);
}

TEST(Segment, ZeroValueReadsBackReversed) {
    uint8_t rec[tagSEGMENT::kRecordSize] = {'H', 'i', 'p', 0, 0, 0, 0, 0, 0, 0, 3, 4};
    tagSEGMENT s;
    s.m_iReversed = 0;
    s.m_fValue = 9;
    s.FromRecord(rec);
    EXPECT_EQ(s.m_strName, "Hip");
    EXPECT_EQ(s.m_iReversed, 1);
    EXPECT_EQ(s.m_fValue, 0.0f);
    // Just below the threshold counts as reversed too.
    tagSEGMENT small;
    small.m_fValue = 0.0005f;
    small.m_iReversed = 0;
    small.ToRecord(rec);
    small.FromRecord(rec);
    EXPECT_EQ(small.m_iReversed, 1);
    EXPECT_EQ(small.m_fValue, -0.0005f);
}

TEST(Segment, ArchiveRoundTrip) {
    EXPECT_EQ(CRuntimeClass::FromName("tagSEGMENT"), RUNTIME_CLASS(tagSEGMENT));
    EXPECT_EQ(RUNTIME_CLASS(tagSEGMENT)->m_wSchema, 0u);
    CObArrayX list;
    auto* a = new tagSEGMENT;
    a->m_strName = "Thigh with a long name";
    a->m_nFirstJoint = 9;
    a->m_nSecondJoint = 3;
    a->m_fValue = 0.0005f; // survives the archive, unlike the record
    a->m_fPosRatio = 0.25f;
    a->m_fRadiusRatio = 0.75f;
    a->m_iReversed = 0;
    a->m_iKind = 2;
    list.Add(a);
    list.Add(new tagSEGMENT);
    CArchive out;
    out << static_cast<const CObject*>(&list);
    const auto& bytes = out.Data();
    const std::string name = "tagSEGMENT";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), name.begin(), name.end()), bytes.end());

    CObject* obj = nullptr;
    ASSERT_EQ(LoadObject(bytes.data(), bytes.size(), obj, RUNTIME_CLASS(CObArrayX)), 1);
    auto* back = static_cast<CObArrayX*>(obj);
    ASSERT_EQ(back->GetSize(), 2);
    ASSERT_TRUE(back->GetAt(0)->IsKindOf(RUNTIME_CLASS(tagSEGMENT)));
    auto* b = static_cast<tagSEGMENT*>(back->GetAt(0));
    EXPECT_EQ(b->m_strName, a->m_strName);
    EXPECT_EQ(b->m_nFirstJoint, 9);
    EXPECT_EQ(b->m_nSecondJoint, 3);
    EXPECT_EQ(b->m_fValue, 0.0005f);
    EXPECT_EQ(b->m_fPosRatio, 0.25f);
    EXPECT_EQ(b->m_fRadiusRatio, 0.75f);
    EXPECT_EQ(b->m_iReversed, 0);
    EXPECT_EQ(b->m_iKind, 2);
    auto* d = static_cast<tagSEGMENT*>(back->GetAt(1));
    EXPECT_EQ(d->m_iKind, 4);
    EXPECT_EQ(d->m_fPosRatio, 0.5f);
    delete back;

    // A truncated archive fails cleanly.
    CObject* none = nullptr;
    EXPECT_EQ(LoadObject(bytes.data(), bytes.size() - 3, none, RUNTIME_CLASS(CObArrayX)), 0);
    EXPECT_EQ(none, nullptr);
}
