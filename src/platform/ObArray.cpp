#include "platform/ObArray.h"

#include <stdexcept>

IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_SERIAL(CObList, CObject, 0)

void CObArray::SetSize(int newSize, int) {
    m_data.resize(std::size_t(newSize < 0 ? 0 : newSize));
}

void CObArray::SetAtGrow(int i, CObject* obj) {
    if (i < 0) throw std::out_of_range("CObArray::SetAtGrow");
    if (i >= GetSize()) SetSize(i + 1);
    m_data[std::size_t(i)] = obj;
}

int CObArray::Add(CObject* obj) {
    m_data.push_back(obj);
    return GetUpperBound();
}

void CObArray::InsertAt(int i, CObject* obj, int count) {
    if (i < 0 || count < 0) throw std::out_of_range("CObArray::InsertAt");
    if (i > GetSize()) SetSize(i);
    m_data.insert(m_data.begin() + i, std::size_t(count), obj);
}

void CObArray::RemoveAt(int i, int count) {
    if (i < 0 || count < 0 || i + count > GetSize()) throw std::out_of_range("CObArray::RemoveAt");
    m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
}

void CObArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_data.size()));
        for (CObject* o : m_data)
            ar << o;
        return;
    }
    ClearForLoad();
    std::uint32_t n = ar.ReadCount();
    // Every element takes at least two bytes, so a larger count is corrupt.
    if (n > ar.Remaining() / 2) throw CArchiveException(CArchiveException::badCount, "bad count");
    m_data.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        m_data.push_back(ar.ReadObject(nullptr, ElementHold()));
}

struct VokListNode {
    VokListNode* next;
    VokListNode* prev;
    CObject* data;
};

CObList::CObList(int) {}

CObList::~CObList() {
    RemoveAll();
}

static void CheckPos(POSITION pos) {
    if (!pos) throw std::out_of_range("CObList: null position");
}

CObject* CObList::GetHead() const {
    CheckPos(m_head);
    return m_head->data;
}

CObject* CObList::GetTail() const {
    CheckPos(m_tail);
    return m_tail->data;
}

CObject* CObList::RemoveHead() {
    CObject* o = GetHead();
    RemoveAt(m_head);
    return o;
}

CObject* CObList::RemoveTail() {
    CObject* o = GetTail();
    RemoveAt(m_tail);
    return o;
}

POSITION CObList::Link(VokListNode* prev, VokListNode* next, CObject* obj) {
    auto* n = new VokListNode{next, prev, obj};
    if (prev)
        prev->next = n;
    else
        m_head = n;
    if (next)
        next->prev = n;
    else
        m_tail = n;
    ++m_count;
    return n;
}

POSITION CObList::AddHead(CObject* obj) {
    return Link(nullptr, m_head, obj);
}

POSITION CObList::AddTail(CObject* obj) {
    return Link(m_tail, nullptr, obj);
}

void CObList::RemoveAll() {
    while (m_head) {
        VokListNode* n = m_head->next;
        delete m_head;
        m_head = n;
    }
    m_tail = nullptr;
    m_count = 0;
}

CObject* CObList::GetNext(POSITION& pos) const {
    CheckPos(pos);
    CObject* o = pos->data;
    pos = pos->next;
    return o;
}

CObject* CObList::GetPrev(POSITION& pos) const {
    CheckPos(pos);
    CObject* o = pos->data;
    pos = pos->prev;
    return o;
}

CObject* CObList::GetAt(POSITION pos) const {
    CheckPos(pos);
    return pos->data;
}

void CObList::SetAt(POSITION pos, CObject* obj) {
    CheckPos(pos);
    pos->data = obj;
}

void CObList::RemoveAt(POSITION pos) {
    CheckPos(pos);
    if (pos->prev)
        pos->prev->next = pos->next;
    else
        m_head = pos->next;
    if (pos->next)
        pos->next->prev = pos->prev;
    else
        m_tail = pos->prev;
    delete pos;
    --m_count;
}

POSITION CObList::InsertBefore(POSITION pos, CObject* obj) {
    return pos ? Link(pos->prev, pos, obj) : AddHead(obj);
}

POSITION CObList::InsertAfter(POSITION pos, CObject* obj) {
    return pos ? Link(pos, pos->next, obj) : AddTail(obj);
}

POSITION CObList::Find(const CObject* obj, POSITION startAfter) const {
    for (POSITION p = startAfter ? startAfter->next : m_head; p; p = p->next)
        if (p->data == obj) return p;
    return nullptr;
}

POSITION CObList::FindIndex(int index) const {
    if (index < 0) return nullptr;
    POSITION p = m_head;
    while (p && index-- > 0)
        p = p->next;
    return p;
}

void CObList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_count));
        for (POSITION p = m_head; p; p = p->next)
            ar << p->data;
        return;
    }
    ClearForLoad();
    std::uint32_t n = ar.ReadCount();
    if (n > ar.Remaining() / 2) throw CArchiveException(CArchiveException::badCount, "bad count");
    for (std::uint32_t i = 0; i < n; ++i)
        AddTail(ar.ReadObject(nullptr, ElementHold()));
}
