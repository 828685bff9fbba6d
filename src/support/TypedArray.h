// Exact-size, zero-filled, owning arrays. The storage is always exactly
// count x element size bytes; every allocation is zero-filled; Add grows by one
// element and copies, so bulk users size once with SetSize.
#pragma once
#include "platform/Export.h"
#include <cstdint>

class VOK_API BASE_ARRAY {
  public:
    BASE_ARRAY(int32_t count, int32_t elemSize);
    BASE_ARRAY(const BASE_ARRAY& other);
    BASE_ARRAY(BASE_ARRAY&& other) noexcept;
    virtual ~BASE_ARRAY();
    BASE_ARRAY& operator=(const BASE_ARRAY& other);
    BASE_ARRAY& operator=(BASE_ARRAY&& other) noexcept;

    // Discards the old contents, allocates count zero-filled elements.
    // 1 on success; 0 (with "Memory Allocation Error" shown, count 0) on failure.
    // A count below 1 leaves the array without storage and returns 1.
    int SetSize(int32_t count);
    // Releases the storage; count becomes 0.
    void Free();
    // Sets every byte of the storage to 0.
    void Zero();
    // Copies min(count, other's count) elements (never more bytes than other holds);
    // no re-sizing.
    void CopyFrom(const BASE_ARRAY& other);
    // Copies all of other's bytes in at element index, truncating at this array's
    // end; 1 when complete, 0 when truncated.
    int CopyAt(const BASE_ARRAY& other, int32_t index);
    // Compares this array's bytes with other's; an empty array equals anything,
    // an other with fewer bytes than this is unequal.
    bool IsEqual(const BASE_ARRAY& other) const;

    int32_t GetSize() const { return m_nCount; }
    int32_t GetByteSize() const { return m_nCount * m_nElemSize; }
    int32_t GetElemSize() const { return m_nElemSize; }
    bool IsValid() const { return m_pData != nullptr; }
    // Storage plus a byte offset.
    void* GetPtr(int32_t byteOffset = 0) const { return m_pData + byteOffset; }

  protected:
    // Takes other's storage and count, giving it this array's; element sizes match.
    void SwapStorage(BASE_ARRAY& other) noexcept;

    uint8_t* m_pData = nullptr;
    int32_t m_nElemSize;
    int32_t m_nCount = 0;
};

template <typename T> class TYPED_ARRAY : public BASE_ARRAY {
  public:
    explicit TYPED_ARRAY(int32_t count = 0) : BASE_ARRAY(count, int32_t(sizeof(T))) {}

    T& operator[](int32_t i) { return reinterpret_cast<T*>(m_pData)[i]; }
    const T& operator[](int32_t i) const { return reinterpret_cast<const T*>(m_pData)[i]; }
    T* Data() { return reinterpret_cast<T*>(m_pData); }
    const T* Data() const { return reinterpret_cast<const T*>(m_pData); }

    // Sets elements 0 .. count-1 to v; returns the count.
    int32_t Fill(T v) {
        T* p = Data();
        for (int32_t i = 0; i < m_nCount; ++i)
            p[i] = v;
        return m_nCount;
    }

    // Appends one element. When the grown storage cannot be had the array keeps
    // its contents and count; returns 1 on success, 0 on failure.
    int Add(T v) {
        TYPED_ARRAY<T> grown;
        if (!grown.SetSize(m_nCount + 1)) return 0;
        grown.CopyFrom(*this);
        grown[m_nCount] = v;
        SwapStorage(grown);
        return 1;
    }
};

class VOK_API BYTE_ARRAY : public TYPED_ARRAY<uint8_t> {
  public:
    using TYPED_ARRAY<uint8_t>::TYPED_ARRAY;
};

class VOK_API SHORT_ARRAY : public TYPED_ARRAY<int16_t> {
  public:
    using TYPED_ARRAY<int16_t>::TYPED_ARRAY;
};

// Lists of channel numbers; -1 marks an empty slot.
class VOK_API INT_ARRAY : public TYPED_ARRAY<int32_t> {
  public:
    using TYPED_ARRAY<int32_t>::TYPED_ARRAY;
};

class VOK_API LONG_ARRAY : public TYPED_ARRAY<int32_t> {
  public:
    using TYPED_ARRAY<int32_t>::TYPED_ARRAY;
};

class VOK_API FLOAT_ARRAY : public TYPED_ARRAY<float> {
  public:
    using TYPED_ARRAY<float>::TYPED_ARRAY;
};
