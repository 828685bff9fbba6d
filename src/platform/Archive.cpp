#include "platform/Archive.h"

#include "platform/Object.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint32_t kMaxSmallIndex = 0x7FFE;
// Nesting bound, so a hostile archive cannot exhaust the stack.
constexpr int kMaxDepth = 512;
} // namespace

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(const void* data, std::size_t size) : m_mode(load) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (size) m_data.assign(p, p + size);
    m_loadMap.resize(1);
}

CArchive::~CArchive() = default;

void CArchive::Fail(CArchiveException::Cause cause, const std::string& what) {
    throw CArchiveException(cause, what);
}

bool CArchive::SaveToFile(const std::string& path) const {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(m_data.data()), std::streamsize(m_data.size()));
    f.close();
    return bool(f);
}

void CArchive::Write(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    m_data.insert(m_data.end(), b, b + n);
}

void CArchive::Read(void* p, std::size_t n) {
    if (n > Remaining()) Fail(CArchiveException::endOfFile, "archive ends too early");
    if (n) std::memcpy(p, m_data.data() + m_pos, n);
    m_pos += n;
}

std::uint16_t CArchive::ReadWord() {
    std::uint16_t w;
    *this >> w;
    return w;
}

std::uint32_t CArchive::ReadDWord() {
    std::uint32_t d;
    *this >> d;
    return d;
}

void CArchive::WriteCount(std::uint32_t n) {
    if (n < 0xFFFF) {
        *this << std::uint16_t(n);
    } else {
        *this << std::uint16_t(0xFFFF) << n;
    }
}

std::uint32_t CArchive::ReadCount() {
    std::uint16_t w = ReadWord();
    return w != 0xFFFF ? w : ReadDWord();
}

CArchive& CArchive::operator>>(bool& v) {
    std::uint8_t b;
    *this >> b;
    v = b != 0;
    return *this;
}

CArchive& CArchive::operator<<(const std::string& s) {
    std::size_t n = s.size();
    if (n < 0xFF) {
        *this << std::uint8_t(n);
    } else {
        *this << std::uint8_t(0xFF);
        if (n < 0xFFFF) {
            *this << std::uint16_t(n);
        } else {
            *this << std::uint16_t(0xFFFF) << std::uint32_t(n);
        }
    }
    Write(s.data(), n);
    return *this;
}

CArchive& CArchive::operator>>(std::string& s) {
    std::uint8_t b;
    *this >> b;
    std::uint32_t n = b;
    if (b == 0xFF) {
        n = ReadWord();
        if (n == 0xFFFF) n = ReadDWord();
    }
    if (n > Remaining()) Fail(CArchiveException::endOfFile, "string runs past the archive end");
    s.assign(reinterpret_cast<const char*>(m_data.data() + m_pos), n);
    m_pos += n;
    return *this;
}

void CArchive::WriteTag(std::uint32_t index, bool isClass) {
    if (index < kMaxSmallIndex) {
        *this << std::uint16_t(isClass ? (kClassTag | index) : index);
    } else {
        *this << kBigObjectTag << std::uint32_t(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteObject(const CObject* obj) {
    if (!obj) {
        *this << std::uint16_t(0);
        return;
    }
    if (auto it = m_storedObjects.find(obj); it != m_storedObjects.end()) {
        WriteTag(it->second, false);
        return;
    }
    const CRuntimeClass* cls = obj->GetRuntimeClass();
    if (auto it = m_storedClasses.find(cls); it != m_storedClasses.end()) {
        WriteTag(it->second, true);
    } else {
        std::string name = cls->m_lpszClassName;
        *this << kNewClassTag << std::uint16_t(cls->m_wSchema) << std::uint16_t(name.size());
        Write(name.data(), name.size());
        m_storedClasses[cls] = m_nextIndex++;
    }
    m_storedObjects[obj] = m_nextIndex++;
    const_cast<CObject*>(obj)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* required, Hold hold) {
    std::uint16_t w = ReadWord();
    std::uint32_t index = 0;
    bool isClass = false;
    const CRuntimeClass* cls = nullptr;
    if (w == kNewClassTag) {
        std::uint16_t schema = ReadWord();
        std::uint16_t len = ReadWord();
        std::string name(len, '\0');
        Read(name.data(), len);
        cls = CRuntimeClass::FromName(name);
        if (!cls) Fail(CArchiveException::badClass, "unknown class \"" + name + "\"");
        if (cls->m_wSchema == 0xFFFF || schema != cls->m_wSchema)
            Fail(CArchiveException::badSchema, "schema mismatch for " + name);
        LoadEntry e;
        e.cls = cls;
        m_loadMap.push_back(e);
    } else {
        if (w == kBigObjectTag) {
            std::uint32_t d = ReadDWord();
            isClass = (d & kBigClassTag) != 0;
            index = d & ~kBigClassTag;
        } else {
            isClass = (w & kClassTag) != 0;
            index = w & ~kClassTag;
        }
        if (!isClass && index == 0) return nullptr;
        if (index >= m_loadMap.size())
            Fail(CArchiveException::badIndex, "reference to an index not yet read");
        const LoadEntry& e = m_loadMap[index];
        if (isClass) {
            if (!e.cls) Fail(CArchiveException::badIndex, "class reference to a non-class");
            cls = e.cls;
        } else {
            if (!e.obj) Fail(CArchiveException::badIndex, "object reference to a non-object");
            if (hold == Hold::Owned)
                Fail(CArchiveException::badIndex, "object stored twice in an owning container");
            if (required && !e.obj->IsKindOf(required))
                Fail(CArchiveException::badClass, "object of an unexpected class");
            return e.obj;
        }
    }
    if (required && !cls->IsDerivedFrom(required))
        Fail(CArchiveException::badClass,
             std::string("object of unexpected class ") + cls->m_lpszClassName);
    if (m_depth >= kMaxDepth) Fail(CArchiveException::tooDeep, "objects nested too deeply");
    CObject* obj = cls->CreateObject();
    if (!obj) Fail(CArchiveException::badClass, "class cannot be created");
    std::size_t slot = m_loadMap.size();
    LoadEntry e;
    e.obj = obj;
    m_loadMap.push_back(e);
    if (hold == Hold::Shared) m_orphans.push_back(obj);
    ++m_depth;
    try {
        obj->Serialize(*this);
    } catch (...) {
        --m_depth;
        m_loadMap[slot].obj = nullptr;
        if (hold == Hold::Shared) std::erase(m_orphans, obj);
        delete obj;
        throw;
    }
    --m_depth;
    return obj;
}

void CArchive::DeleteOrphans() {
    std::vector<CObject*> orphans;
    orphans.swap(m_orphans);
    for (CObject* o : orphans)
        delete o;
    for (LoadEntry& e : m_loadMap)
        e.obj = nullptr;
}

int StoreObject(const std::string& path, const CObject* obj) {
    CArchive ar;
    ar << obj;
    return ar.SaveToFile(path) ? 1 : 0;
}

int LoadObject(const void* data, std::size_t size, CObject*& out, const CRuntimeClass* required) {
    out = nullptr;
    CArchive ar(data, size);
    try {
        out = ar.ReadObject(required);
        return 1;
    } catch (const std::exception&) {
        ar.DeleteOrphans();
        return 0;
    }
}

int LoadObject(const std::string& path, CObject*& out, const CRuntimeClass* required) {
    out = nullptr;
    std::ifstream f(path, std::ios::binary);
    if (!f) return 0;
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return LoadObject(bytes.data(), bytes.size(), out, required);
}
