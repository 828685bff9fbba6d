// Arrays and lists of CObject pointers. Neither owns its elements; archiving
// stores the element count and then every element as an object reference.
#pragma once
#include "platform/Archive.h"
#include "platform/Export.h"
#include "platform/Object.h"

#include <vector>

class VOK_API CObArray : public CObject {
    DECLARE_SERIAL(CObArray)
  public:
    CObArray() = default;
    CObArray(const CObArray&) = delete;
    CObArray& operator=(const CObArray&) = delete;

    int GetSize() const { return int(m_data.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    // Grows with null elements or shrinks (the cut elements are only dropped).
    void SetSize(int newSize, int growBy = -1);
    // Out-of-range indices throw std::out_of_range.
    CObject* GetAt(int i) const { return m_data.at(std::size_t(i)); }
    void SetAt(int i, CObject* obj) { m_data.at(std::size_t(i)) = obj; }
    CObject*& ElementAt(int i) { return m_data.at(std::size_t(i)); }
    CObject* operator[](int i) const { return GetAt(i); }
    CObject*& operator[](int i) { return ElementAt(i); }
    // Sets the element, growing the array when needed.
    void SetAtGrow(int i, CObject* obj);
    int Add(CObject* obj);
    // Inserts count copies of obj at i (i may be past the end: the array grows).
    void InsertAt(int i, CObject* obj, int count = 1);
    void RemoveAt(int i, int count = 1);
    void RemoveAll() { m_data.clear(); }
    void FreeExtra() { m_data.shrink_to_fit(); }

    void Serialize(CArchive& ar) override;

  protected:
    // How loading holds the elements it reads, and what it does with old ones.
    virtual CArchive::Hold ElementHold() const { return CArchive::Hold::Shared; }
    virtual void ClearForLoad() { RemoveAll(); }

  private:
    std::vector<CObject*> m_data;
};

// A position in a CObList; null past either end.
struct VokListNode;
using POSITION = VokListNode*;

class VOK_API CObList : public CObject {
    DECLARE_SERIAL(CObList)
  public:
    explicit CObList(int blockSize = 10);
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;
    ~CObList() override;

    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    // Head and tail access on an empty list throws std::out_of_range.
    CObject* GetHead() const;
    CObject* GetTail() const;
    CObject* RemoveHead();
    CObject* RemoveTail();
    POSITION AddHead(CObject* obj);
    POSITION AddTail(CObject* obj);
    void RemoveAll();

    POSITION GetHeadPosition() const { return m_head; }
    POSITION GetTailPosition() const { return m_tail; }
    // Returns the element at pos and moves pos on (to null after the last).
    CObject* GetNext(POSITION& pos) const;
    CObject* GetPrev(POSITION& pos) const;
    CObject* GetAt(POSITION pos) const;
    void SetAt(POSITION pos, CObject* obj);
    void RemoveAt(POSITION pos);
    POSITION InsertBefore(POSITION pos, CObject* obj);
    POSITION InsertAfter(POSITION pos, CObject* obj);
    POSITION Find(const CObject* obj, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int index) const;

    void Serialize(CArchive& ar) override;

  protected:
    virtual CArchive::Hold ElementHold() const { return CArchive::Hold::Shared; }
    virtual void ClearForLoad() { RemoveAll(); }

  private:
    // Links a new node for obj between prev and next (either may be null for
    // the head or the tail end) and returns it.
    POSITION Link(VokListNode* prev, VokListNode* next, CObject* obj);

    VokListNode* m_head = nullptr;
    VokListNode* m_tail = nullptr;
    int m_count = 0;
};
