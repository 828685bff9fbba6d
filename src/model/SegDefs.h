// The joint connections and segment parameters of the body model, read from
// the definition files "SNAMES" and "CONFILE" in the companion program's folder.
#pragma once
#include "model/Segment.h"
#include "support/FileUtil.h"
#include "support/FileX.h"
#include "support/TypedArray.h"

#include <cstdint>

// The connections of one joint: its own number, the keys j - 2 and j + 2 with
// their link values, and three free (key, value) pairs. 11 signed bytes.
struct JOINT_LINK {
    int8_t joint = 0;
    int8_t key1 = 0; // joint - 2
    int8_t value1 = 0;
    int8_t key2 = 0; // joint + 2
    int8_t value2 = 0;
    int8_t pairs[3][2] = {}; // keys 3..5 with their values
};
static_assert(sizeof(JOINT_LINK) == 11);

// The link value that record holds for key under kind 1..5, or 0.
// 1: key j - 2; 2: key j + 2; 3: first free pair with key; 4 and 5: first free
// pair with -key, when key is below (4) or above (5) the record's own joint.
int8_t FindLink(const JOINT_LINK& link, int8_t key, int kind);

struct SEG_PARAMS {
    float fValue = 0;
    float fPosRatio = 0;
    float fRadiusRatio = 0;
};

class SEG_DEFS : public CFileX {
  public:
    enum : int { kLinks = 39, kParamRows = 29 };

    // jointNums (1-based joint numbers, one per joint of the model) must outlive this.
    SEG_DEFS(const INT_ARRAY& jointNums, int jointCount);

    // Reads the segment names from "SNAMES" and the links and parameter rows from
    // "CONFILE". 0 when a file is missing, the "**" separator is missing or a
    // section is short or does not scan; what was read before stays.
    int LoadDefs();
    // Looks for another joint of the model whose link record names joint index i
    // under kind and describes that segment in out: name, joints i + 1 and m + 1,
    // and the parameters of its row (seen from the other end when the stored link
    // is positive). Returns the link (negated), or 0 when none fits.
    int8_t FindSegment(int i, int kind, tagSEGMENT& out) const;

    const JOINT_LINK& GetLink(int index) const { return m_cLinks[index]; }
    const SEG_PARAMS& GetParams(int row) const { return m_cParams[row]; }
    const CStringArray& GetNames() const { return m_strNames; }

  private:
    int ReadConnections();

    const INT_ARRAY& m_iJointNums;
    int m_nJoints;
    JOINT_LINK m_cLinks[kLinks];
    SEG_PARAMS m_cParams[kParamRows];
    CStringArray m_strNames;
};
