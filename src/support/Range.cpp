#include "support/Range.h"

void CRngInt::Order() {
    if (Lo > Hi) {
        int32_t t = Lo;
        Lo = Hi;
        Hi = t;
    }
}

bool CRngInt::IsInside(int32_t v) const {
    CRngInt r = *this;
    r.Order();
    return r.Lo <= v && v <= r.Hi;
}

bool CRngInt::Include(int32_t v) {
    Order();
    if (v < Lo) {
        Lo = v;
        return true;
    }
    if (v > Hi) {
        Hi = v;
        return true;
    }
    return false;
}

void CRngFlt::Order() {
    if (Lo > Hi) {
        float t = Lo;
        Lo = Hi;
        Hi = t;
    }
}

bool CRngFlt::IsInside(float v) const {
    CRngFlt r = *this;
    r.Order();
    return r.Lo <= v && v <= r.Hi;
}

bool CRngFlt::Include(float v) {
    Order();
    if (v < Lo) {
        Lo = v;
        return true;
    }
    if (v > Hi) {
        Hi = v;
        return true;
    }
    return false;
}
