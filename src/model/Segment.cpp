#include "model/Segment.h"

#include "support/FixStr.h"

#include <cstring>

IMPLEMENT_SERIAL(tagSEGMENT, CObject, 0)

namespace {
void PutFloat(uint8_t* p, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(bits >> (8 * i));
}

float GetFloat(const uint8_t* p) {
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= uint32_t(p[i]) << (8 * i);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
} // namespace

void tagSEGMENT::ToRecord(uint8_t rec[kRecordSize]) const {
    CFixStr name(m_strName.c_str());
    name.SetWidth(kNameWidth);
    std::memcpy(rec, name.c_str(), kNameWidth);
    rec[10] = m_nFirstJoint;
    rec[11] = m_nSecondJoint;
    PutFloat(rec + 12, m_iReversed ? -m_fValue : m_fValue);
    PutFloat(rec + 16, m_fPosRatio);
    PutFloat(rec + 20, m_fRadiusRatio);
}

void tagSEGMENT::FromRecord(const uint8_t rec[kRecordSize]) {
    m_strName = CFixStr(reinterpret_cast<const char*>(rec), kNameWidth).c_str();
    m_nFirstJoint = rec[10];
    m_nSecondJoint = rec[11];
    m_fValue = GetFloat(rec + 12);
    m_fPosRatio = GetFloat(rec + 16);
    m_fRadiusRatio = GetFloat(rec + 20);
    m_iReversed = 0;
    if (!(m_fValue >= 0.001f)) {
        m_iReversed = 1;
        m_fValue = -m_fValue;
    }
}

void tagSEGMENT::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_strName << m_nFirstJoint << m_nSecondJoint << m_fValue << m_fPosRatio
           << m_fRadiusRatio << m_iReversed << m_iKind;
    } else {
        ar >> m_strName >> m_nFirstJoint >> m_nSecondJoint >> m_fValue >> m_fPosRatio >>
            m_fRadiusRatio >> m_iReversed >> m_iKind;
    }
}
