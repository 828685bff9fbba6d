// Packed bit array, most significant bit first: bit i lives in byte i / 8
// under the mask 0x80 >> (i % 8).
#pragma once
#include "support/TypedArray.h"

// One bit of a BIT_ARRAY: reads as a truth value, takes a truth value, and
// copies the value (not the reference) from another BIT_REF.
class BIT_REF {
  public:
    BIT_REF(uint8_t* byte, int bit) : m_pByte(byte), m_nBit(bit) {}
    operator bool() const { return (*m_pByte & Mask()) != 0; }
    BIT_REF& operator=(bool b) {
        if (b)
            *m_pByte = uint8_t(*m_pByte | Mask());
        else
            *m_pByte = uint8_t(*m_pByte & ~Mask());
        return *this;
    }
    BIT_REF& operator=(const BIT_REF& other) { return *this = bool(other); }

  private:
    uint8_t Mask() const { return uint8_t(0x80u >> m_nBit); }
    uint8_t* m_pByte;
    int m_nBit;
};

class BIT_ARRAY : public BYTE_ARRAY {
  public:
    BIT_ARRAY() = default;
    explicit BIT_ARRAY(int32_t nBits);
    BIT_ARRAY(const BIT_ARRAY& other) = default;
    BIT_ARRAY& operator=(const BIT_ARRAY& other);

    // Records n and sizes the storage to (n + 7) / 8 cleared bytes.
    int SetNumBits(int32_t n);
    int32_t GetNumBits() const { return m_nBits; }
    BIT_REF operator[](int32_t i) { return BIT_REF(Data() + i / 8, i % 8); }
    bool operator[](int32_t i) const { return (Data()[i / 8] & (0x80u >> (i % 8))) != 0; }

  private:
    int32_t m_nBits = 0;
};
