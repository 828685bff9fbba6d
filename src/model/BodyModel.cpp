#include "model/BodyModel.h"

#include "model/DefFile.h"
#include "support/AppPaths.h"
#include "support/FixStr.h"

#include <algorithm>

std::string BODY_MODEL::GetJointName(int index) const {
    if (index < 0) return "FixedPt";
    if (index >= m_nJoints) return "C.G.";
    return std::size_t(index) < m_strJointNames.size() ? m_strJointNames[std::size_t(index)]
                                                       : std::string();
}

std::string BODY_MODEL::GetSegmentName(int index) const {
    const tagSEGMENT* s = GetSegment(index);
    return s ? s->m_strName : std::string();
}

tagSEGMENT* BODY_MODEL::GetSegment(int index) const {
    if (index < 0 || index >= m_cSegments.GetSize()) return nullptr;
    return static_cast<tagSEGMENT*>(m_cSegments.GetAt(index));
}

int BODY_MODEL::LoadJointNames() {
    CStringArray names;
    if (!ReadFirstTokens(GetAppFile("jnames"), names)) return 0;
    if (names.size() < 40) return 0;
    m_strJointNames.clear();
    for (int j = 0; j < m_nJoints; ++j) {
        const int32_t number = j < m_iJointNums.GetSize() ? m_iJointNums[j] : 0;
        if (number < 1 || std::size_t(number) > names.size()) return 0;
        m_strJointNames.push_back(names[std::size_t(number - 1)]);
    }
    return 1;
}

int BODY_MODEL::BuildSegments(const INT_ARRAY& h) {
    if (h.GetSize() < kHeaderWords) return 0;
    const int32_t joints = h[kJointCountWord];
    if (joints < 0 || joints > kMaxJoints) return 0;

    m_nJoints = joints;
    m_strTitle = CFixStr(static_cast<const char*>(h.GetPtr(kTitleByte)), kTitleWidth).c_str();
    m_strJointNames.clear();
    for (int j = 1; j <= joints; ++j)
        m_strJointNames.push_back("Joint" + std::to_string(j));

    m_cSegments.DeleteAll();
    const int pairs = std::clamp<int32_t>(h[kPairCountWord], 0, kMaxPairs);
    for (int n = 0; n < pairs; ++n) {
        const uint32_t word = uint32_t(h[kFirstPairWord + n]);
        const uint8_t p = uint8_t(word & 0xFF), q = uint8_t((word >> 8) & 0xFF);
        if (p == 0 || q == 0 || p == q) continue;
        auto* s = new tagSEGMENT;
        s->m_strName = "Seg" + std::to_string(m_cSegments.GetSize() + 1);
        s->m_nFirstJoint = std::max(p, q);
        s->m_nSecondJoint = std::min(p, q);
        s->m_iReversed = 1;
        m_cSegments.Add(s);
    }
    UpdateDerived();
    return 1;
}

void BODY_MODEL::SetJointNumbers(const INT_ARRAY& numbers) {
    m_iJointNums = numbers;
    m_nJoints = std::min<int>(numbers.GetSize(), kMaxJoints);
    UpdateDerived();
}

void BODY_MODEL::UpdateDerived() {
    if (m_iJointNums.GetSize() != m_nJoints) {
        INT_ARRAY numbers(m_nJoints);
        numbers.CopyFrom(m_iJointNums);
        for (int j = m_iJointNums.GetSize(); j < m_nJoints; ++j)
            numbers[j] = j + 1;
        m_iJointNums = numbers;
    }
    if (m_strJointNames.size() > std::size_t(m_nJoints))
        m_strJointNames.resize(std::size_t(m_nJoints));
}
