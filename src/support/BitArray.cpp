#include "support/BitArray.h"

BIT_ARRAY::BIT_ARRAY(int32_t nBits) {
    SetNumBits(nBits);
}

BIT_ARRAY& BIT_ARRAY::operator=(const BIT_ARRAY& other) {
    BYTE_ARRAY::operator=(other);
    m_nBits = other.m_nBits;
    return *this;
}

int BIT_ARRAY::SetNumBits(int32_t n) {
    if (n < 0) n = 0;
    int ok = SetSize((n + 7) / 8);
    m_nBits = ok ? n : 0;
    return ok;
}
