#include "model/SegDefs.h"

#include "model/DefFile.h"
#include "support/AppPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int8_t FindLink(const JOINT_LINK& link, int8_t key, int kind) {
    switch (kind) {
    case 1:
        return link.key1 == key ? link.value1 : 0;
    case 2:
        return link.key2 == key ? link.value2 : 0;
    case 3:
    case 4:
    case 5: {
        if (kind == 4 && !(key < link.joint)) return 0;
        if (kind == 5 && !(key > link.joint)) return 0;
        const int want = kind == 3 ? key : -int(key);
        for (const auto& pair : link.pairs)
            if (pair[0] == want) return pair[1];
        return 0;
    }
    default:
        return 0;
    }
}

SEG_DEFS::SEG_DEFS(const INT_ARRAY& jointNums, int jointCount)
    : m_iJointNums(jointNums), m_nJoints(jointCount) {}

int SEG_DEFS::LoadDefs() {
    m_strNames.clear();
    if (!ReadFirstTokens(GetAppFile("SNAMES"), m_strNames)) return 0;
    if (!OpenDefFile(*this, GetAppFile("CONFILE"))) return 0;
    int ok = ReadConnections();
    Close();
    return ok;
}

// 39 link lines, a line starting with "**", then 29 parameter lines.
int SEG_DEFS::ReadConnections() {
    std::string line;
    for (int j = 1; j <= kLinks; ++j) {
        int a[8];
        if (!ReadLine(line) || ScanInts(line, a, 8) != 8) return 0;
        if (std::any_of(a, a + 8, [](int v) { return v < INT8_MIN || v > INT8_MAX; })) return 0;
        JOINT_LINK& l = m_cLinks[j - 1];
        l.joint = int8_t(j);
        l.key1 = int8_t(j - 2);
        l.value1 = int8_t(a[0]);
        l.key2 = int8_t(j + 2);
        l.value2 = int8_t(a[1]);
        for (int p = 0; p < 3; ++p) {
            l.pairs[p][0] = int8_t(a[2 + 2 * p]);
            l.pairs[p][1] = int8_t(a[3 + 2 * p]);
        }
    }
    if (!ReadLine(line) || line.compare(0, 2, "**") != 0) return 0;
    for (int r = 0; r < kParamRows; ++r) {
        int f[5];
        if (!ReadLine(line) || ScanInts(line, f, 5) != 5) return 0;
        // f[1] and f[2] are part of the line but not used.
        m_cParams[r].fValue = float(f[0]) / 10000.0f;
        m_cParams[r].fPosRatio = float(f[3]) / 1000.0f;
        m_cParams[r].fRadiusRatio = float(f[4]) / 1000.0f;
    }
    return 1;
}

int8_t SEG_DEFS::FindSegment(int i, int kind, tagSEGMENT& out) const {
    const int joints = std::min<int>(m_nJoints, m_iJointNums.GetSize());
    if (i < 0 || i >= joints) return 0;
    const int8_t key = int8_t(m_iJointNums[i] & 0xFF);
    for (int m = 0; m < joints; ++m) {
        if (m == i) continue;
        const int32_t number = m_iJointNums[m];
        if (number < 1 || number > kLinks) continue; // no link record for it
        const int v = -int(FindLink(m_cLinks[number - 1], key, kind));
        if (v == 0) continue;
        const int seg = std::abs(v);
        // A link naming a segment without a name or parameter row is unusable.
        if (seg > 2 * kParamRows || seg > int(m_strNames.size())) return 0;
        const SEG_PARAMS& row = m_cParams[(seg - 1) / 2];
        out.m_strName = m_strNames[std::size_t(seg - 1)];
        out.m_nFirstJoint = uint8_t(i + 1);
        out.m_nSecondJoint = uint8_t(m + 1);
        out.m_fValue = row.fValue;
        out.m_fPosRatio = row.fPosRatio;
        out.m_fRadiusRatio = row.fRadiusRatio;
        if (v < 0) {
            // Seen from the other end: the radius moves to that end (never below
            // zero for inconsistent rows) and the position ratio is mirrored.
            const float c = row.fPosRatio, k = row.fRadiusRatio;
            out.m_fRadiusRatio = std::sqrt(std::max(0.0f, k * k + 1.0f - 2.0f * c));
            out.m_fPosRatio = 1.0f - c;
        }
        return int8_t(v);
    }
    return 0;
}
