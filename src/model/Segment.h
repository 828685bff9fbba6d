// One segment of a body model: a named link between two numbered joints with
// three parameters. In the data files it is a fixed 24-byte record; in object
// archives it is stored field by field under the class name "tagSEGMENT".
#pragma once
#include "platform/Archive.h"
#include "platform/Object.h"

#include <cstdint>
#include <string>

class tagSEGMENT : public CObject {
    DECLARE_SERIAL(tagSEGMENT)
  public:
    enum : int { kRecordSize = 24, kNameWidth = 10 };

    tagSEGMENT() = default;
    tagSEGMENT(const tagSEGMENT&) = default;
    tagSEGMENT& operator=(const tagSEGMENT&) = default;

    // The record: name blank-padded to 10 characters, first and second joint,
    // then value (negated when reversed), position ratio and radius ratio as
    // little-endian floats.
    void ToRecord(uint8_t rec[kRecordSize]) const;
    // Reverse of ToRecord: a stored value below 0.001 means reversed, and the
    // value is negated back. The kind is left as it is.
    void FromRecord(const uint8_t rec[kRecordSize]);

    void Serialize(CArchive& ar) override;

    std::string m_strName;
    uint8_t m_nFirstJoint = 1; // 1-based joint numbers
    uint8_t m_nSecondJoint = 1;
    float m_fValue = 0;
    float m_fPosRatio = 0.5f;
    float m_fRadiusRatio = 0.5f;
    int32_t m_iReversed = 1;
    int32_t m_iKind = 4; // carried elsewhere in the data file, not in the record
};
