#include "support/TypedArray.h"

#include "platform/MessageBox.h"

#include <algorithm>
#include <cstring>
#include <new>

BASE_ARRAY::BASE_ARRAY(int32_t count, int32_t elemSize) : m_nElemSize(elemSize) {
    if (count > 0) SetSize(count);
}

BASE_ARRAY::BASE_ARRAY(const BASE_ARRAY& other) : m_nElemSize(other.m_nElemSize) {
    if (other.m_nCount > 0 && SetSize(other.m_nCount)) CopyFrom(other);
}

BASE_ARRAY::BASE_ARRAY(BASE_ARRAY&& other) noexcept
    : m_pData(other.m_pData), m_nElemSize(other.m_nElemSize), m_nCount(other.m_nCount) {
    other.m_pData = nullptr;
    other.m_nCount = 0;
}

BASE_ARRAY::~BASE_ARRAY() {
    Free();
}

BASE_ARRAY& BASE_ARRAY::operator=(const BASE_ARRAY& other) {
    if (this == &other) return *this;
    if (m_nCount != other.m_nCount) SetSize(other.m_nCount);
    CopyFrom(other);
    return *this;
}

BASE_ARRAY& BASE_ARRAY::operator=(BASE_ARRAY&& other) noexcept {
    if (this == &other) return *this;
    if (m_nElemSize != other.m_nElemSize) {
        // Different element sizes cannot share storage: copy instead.
        return *this = static_cast<const BASE_ARRAY&>(other);
    }
    Free();
    SwapStorage(other);
    return *this;
}

int BASE_ARRAY::SetSize(int32_t count) {
    Free();
    if (count < 1) return 1;
    int64_t bytes = int64_t(count) * m_nElemSize;
    if (bytes > INT32_MAX) bytes = -1;
    uint8_t* p = bytes < 0 ? nullptr : new (std::nothrow) uint8_t[size_t(bytes)];
    if (!p) {
        AfxMessageBox("Memory Allocation Error", MB_OK);
        return 0;
    }
    std::memset(p, 0, size_t(bytes));
    m_pData = p;
    m_nCount = count;
    return 1;
}

void BASE_ARRAY::Free() {
    delete[] m_pData;
    m_pData = nullptr;
    m_nCount = 0;
}

void BASE_ARRAY::Zero() {
    if (m_pData) std::memset(m_pData, 0, size_t(GetByteSize()));
}

void BASE_ARRAY::CopyFrom(const BASE_ARRAY& other) {
    if (!m_pData || !other.m_pData) return;
    int64_t n = int64_t(std::min(m_nCount, other.m_nCount)) * m_nElemSize;
    n = std::min<int64_t>(n, other.GetByteSize());
    if (n > 0 && m_pData != other.m_pData) std::memmove(m_pData, other.m_pData, size_t(n));
}

int BASE_ARRAY::CopyAt(const BASE_ARRAY& other, int32_t index) {
    int64_t offset = int64_t(index) * m_nElemSize;
    int64_t n = other.GetByteSize();
    int complete = 1;
    if (offset < 0) return 0;
    if (offset + n > GetByteSize()) {
        n = GetByteSize() - offset;
        complete = 0;
    }
    if (n > 0 && m_pData && other.m_pData) std::memmove(m_pData + offset, other.m_pData, size_t(n));
    return complete;
}

bool BASE_ARRAY::IsEqual(const BASE_ARRAY& other) const {
    int32_t n = GetByteSize();
    if (n <= 0) return true;
    if (other.GetByteSize() < n || !other.m_pData) return false;
    return std::memcmp(m_pData, other.m_pData, size_t(n)) == 0;
}

void BASE_ARRAY::SwapStorage(BASE_ARRAY& other) noexcept {
    std::swap(m_pData, other.m_pData);
    std::swap(m_nCount, other.m_nCount);
}
