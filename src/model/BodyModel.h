// The body model of a data file: its title, numbered joints with their names,
// and the segments joining them (owned).
#pragma once
#include "model/Segment.h"
#include "support/FileUtil.h"
#include "support/ObContainers.h"
#include "support/TypedArray.h"

#include <string>

class BODY_MODEL {
  public:
    // Header words used by BuildSegments (32-bit words of the data-file header).
    enum : int {
        kJointCountWord = 140,
        kPairCountWord = 141,
        kFirstPairWord = 142,
        kMaxPairs = 50,
        kTitleByte = 904, // word 226
        kTitleWidth = 78,
        kHeaderWords = 246, // the words up to the end of the title
        kMaxJoints = 255,   // joint numbers are single bytes
    };

    BODY_MODEL() = default;
    BODY_MODEL(const BODY_MODEL&) = delete;
    BODY_MODEL& operator=(const BODY_MODEL&) = delete;

    // "FixedPt" below 0, the joint's name for 0 .. joint count - 1, "C.G." above.
    std::string GetJointName(int index) const;
    // The segment's name, or empty when index is out of range.
    std::string GetSegmentName(int index) const;
    // Names the joints from "jnames" in the companion folder (one name per joint
    // number, at least 40 lines). 0 when the file is missing or short, or when a
    // joint number has no line (the names taken so far remain).
    int LoadJointNames();
    // Takes the joint count, title and joint pairs from the header words: joints
    // are named "Joint%d", and every pair of two different non-zero joints becomes
    // a segment "Seg%d" (larger joint first, reversed). 1 when done; 0, with the
    // model unchanged, for a header shorter than kHeaderWords or a joint count
    // outside 0 .. 255.
    int BuildSegments(const INT_ARRAY& header);

    // 1-based joint numbers, one per joint; the joint count follows the list.
    void SetJointNumbers(const INT_ARRAY& numbers);
    const INT_ARRAY& GetJointNumbers() const { return m_iJointNums; }
    int GetJointCount() const { return m_nJoints; }
    int GetSegmentCount() const { return m_cSegments.GetSize(); }
    tagSEGMENT* GetSegment(int index) const;
    const std::string& GetTitle() const { return m_strTitle; }

  private:
    // Keeps the joint-number list as long as the joint count; joints without an
    // entry get their own 1-based index.
    void UpdateDerived();

    std::string m_strTitle;
    int m_nJoints = 0;
    INT_ARRAY m_iJointNums;
    CStringArray m_strJointNames;
    CObArrayX m_cSegments;
};
