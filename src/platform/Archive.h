// Object archive: a byte stream of plain values and of objects stored with
// their class name and schema, so that loading re-creates them by name.
//
// Layout of an object reference: 0 for null; 0xFFFF, schema (WORD), name length
// (WORD) and name for a class met for the first time, then the object's data;
// 0x8000|index for a class already stored, then the object's data; the index
// alone for an object already stored. Classes and objects share one index
// sequence starting at 1; indices from 0x7FFE on use the tag 0x7FFF followed
// by a DWORD (class references then carry 0x80000000). Counts are a WORD, or
// 0xFFFF followed by a DWORD. Values are little-endian.
#pragma once
#include "platform/Export.h"
#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

class CObject;
struct CRuntimeClass;

// Thrown while loading malformed data; the Load helpers catch it.
class VOK_API CArchiveException : public std::runtime_error {
  public:
    enum Cause { endOfFile = 1, badClass, badSchema, badIndex, tooDeep, badCount };
    CArchiveException(Cause cause, const std::string& what)
        : std::runtime_error(what), m_cause(cause) {}
    Cause m_cause;
};

class VOK_API CArchive {
  public:
    enum Mode { store = 0, load = 1 };
    // How a loaded object reference is held by its reader.
    enum class Hold {
        Reader, // the reader decides (user classes); back-references allowed
        Owned,  // the reader owns and deletes it; back-references rejected
        Shared, // non-owning container; deleted by the archive when loading fails
    };

    // A storing archive writing into memory (see Data / SaveToFile).
    CArchive();
    // A loading archive over a copy of the given bytes.
    CArchive(const void* data, std::size_t size);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    const std::vector<std::uint8_t>& Data() const { return m_data; }
    std::size_t Remaining() const { return m_data.size() - m_pos; }
    bool SaveToFile(const std::string& path) const;

    void Write(const void* p, std::size_t n);
    void Read(void* p, std::size_t n); // throws endOfFile when fewer bytes remain

    void WriteCount(std::uint32_t n);
    std::uint32_t ReadCount();

    void WriteObject(const CObject* obj);
    // Reads one object reference; it must be of required (or derived) when given.
    CObject* ReadObject(const CRuntimeClass* required, Hold hold = Hold::Reader);

    template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) CArchive& operator<<(T v) {
        Write(&v, sizeof v);
        return *this;
    }
    template <class T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) CArchive& operator>>(T& v) {
        Read(&v, sizeof v);
        return *this;
    }
    CArchive& operator<<(bool v) { return *this << std::uint8_t(v ? 1 : 0); }
    CArchive& operator>>(bool& v);
    // Strings: BYTE length, or 0xFF then WORD, or 0xFFFF after that then DWORD.
    CArchive& operator<<(const std::string& s);
    CArchive& operator>>(std::string& s);
    CArchive& operator<<(const char* s) { return *this << std::string(s ? s : ""); }
    CArchive& operator<<(const CObject* obj) {
        WriteObject(obj);
        return *this;
    }
    CArchive& operator>>(CObject*& obj) {
        obj = ReadObject(nullptr);
        return *this;
    }

    // After a failed load: deletes the objects created for non-owning containers.
    void DeleteOrphans();

  private:
    void WriteTag(std::uint32_t index, bool isClass);
    std::uint16_t ReadWord();
    std::uint32_t ReadDWord();
    [[noreturn]] static void Fail(CArchiveException::Cause cause, const std::string& what);

    struct LoadEntry {
        const CRuntimeClass* cls = nullptr; // set for a class entry
        CObject* obj = nullptr;             // set for a live object entry
    };

    Mode m_mode;
    std::vector<std::uint8_t> m_data;
    std::size_t m_pos = 0;
    std::uint32_t m_nextIndex = 1;
    std::map<const CObject*, std::uint32_t> m_storedObjects;
    std::map<const CRuntimeClass*, std::uint32_t> m_storedClasses;
    std::vector<LoadEntry> m_loadMap; // index 0 unused (null)
    std::vector<CObject*> m_orphans;
    int m_depth = 0;
};

// Stores obj (may be null) into path; 1 on success, 0 when the file cannot be written.
VOK_API int StoreObject(const std::string& path, const CObject* obj);
// Loads one object from path or from memory; it must be of required when given.
// 1 on success with out set; 0 for a missing, truncated or malformed archive,
// with out null and every object created on the way deleted again.
VOK_API int LoadObject(const std::string& path, CObject*& out,
                       const CRuntimeClass* required = nullptr);
VOK_API int LoadObject(const void* data, std::size_t size, CObject*& out,
                       const CRuntimeClass* required = nullptr);
