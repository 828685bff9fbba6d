#include "support/FixStr.h"

#include <cstring>
#include <string>

char* CFixStr::Copy(const char* text, int n) {
    char* p = new char[std::size_t(n) + 1];
    if (n > 0) std::memcpy(p, text, std::size_t(n));
    p[n] = '\0';
    return p;
}

CFixStr::CFixStr(const char* text)
    : m_text(Copy(text ? text : "", text ? int(std::strlen(text)) : 0)) {}

CFixStr::CFixStr(const char* field, int width) {
    int len = 0;
    if (field)
        for (int i = width - 1; i >= 0; --i)
            if (field[i] != ' ' && field[i] != '\0') {
                len = i + 1;
                break;
            }
    m_text = Copy(field, len);
}

CFixStr::CFixStr(const CFixStr& other) : m_text(Copy(other.m_text, other.GetLength())) {}

CFixStr& CFixStr::operator=(const CFixStr& other) {
    if (this != &other) {
        char* p = Copy(other.m_text, other.GetLength());
        delete[] m_text;
        m_text = p;
    }
    return *this;
}

CFixStr::~CFixStr() {
    delete[] m_text;
}

int CFixStr::GetLength() const {
    return int(std::strlen(m_text));
}

int CFixStr::SetWidth(int n) {
    if (n < 0) n = 0;
    if (n < GetLength()) *this = CFixStr(m_text, n);
    int len = GetLength();
    if (len < n) {
        char* p = new char[std::size_t(n) + 1];
        std::memcpy(p, m_text, std::size_t(len));
        std::memset(p + len, ' ', std::size_t(n - len));
        p[n] = '\0';
        delete[] m_text;
        m_text = p;
    }
    return GetLength();
}

void CFixStr::RightAlign(int n) {
    int len = GetLength();
    if (n > len) {
        CFixStr blanks;
        blanks.SetWidth(n - len);
        *this = blanks + *this;
    } else {
        SetWidth(n);
    }
}

int CFixStr::FindNth(char c, int n) const {
    if (n < 0) return -1;
    for (int i = 0; m_text[i]; ++i)
        if (m_text[i] == c && n-- == 0) return i;
    return -1;
}

int CFixStr::ReverseFind(char c) const {
    const char* p = std::strrchr(m_text, c);
    return p && c ? int(p - m_text) : -1;
}

bool CFixStr::operator==(const CFixStr& other) const {
    return m_text && other.m_text && std::strcmp(m_text, other.m_text) == 0;
}

CFixStr& CFixStr::operator+=(const CFixStr& other) {
    *this = *this + other;
    return *this;
}

CFixStr CFixStr::operator+(const CFixStr& other) const {
    std::string s = std::string(m_text) + other.m_text;
    return CFixStr(s.c_str());
}
