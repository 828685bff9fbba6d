#include "channels/GMemBlock.h"

#include "platform/MessageBox.h"

GMEM_BLOCK::GMEM_BLOCK(unsigned size, int lock) {
    Alloc(size, lock);
}

GMEM_BLOCK::~GMEM_BLOCK() {
    Free();
}

void GMEM_BLOCK::Attach(HGLOBAL h, int lock) {
    if (h && h == m_hMem) return; // its own handle: freeing it first would lose it
    Free();
    if (!h) return;
    m_hMem = h;
    m_nState = GMEM_UNLOCKED;
    m_pPtr = nullptr;
    m_nSize = unsigned(GlobalSize(h));
    if (lock) Lock();
}

int GMEM_BLOCK::Alloc(unsigned size, int lock) {
    if (m_nState != GMEM_EMPTY && m_hMem && size == m_nSize) return 1;
    if (m_nState != GMEM_EMPTY || m_hMem) Free();
    m_nSize = size ? size : 1;
    m_hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, m_nSize);
    if (!m_hMem) {
        AfxMessageBox("Memory Allocation Error: GMEM", MB_OK);
        return 0;
    }
    m_nState = GMEM_UNLOCKED;
    if (lock) Lock();
    return 1;
}

void GMEM_BLOCK::Lock() {
    if (m_hMem && m_nState == GMEM_UNLOCKED) {
        m_pPtr = GlobalLock(m_hMem);
        m_nState = GMEM_LOCKED;
    }
}

void GMEM_BLOCK::Unlock() {
    if (m_hMem && m_nState == GMEM_LOCKED) {
        GlobalUnlock(m_hMem);
        m_nState = GMEM_UNLOCKED;
    }
}

void* GMEM_BLOCK::GetPtr() {
    if (m_nState == GMEM_EMPTY || !m_hMem) return nullptr;
    if (m_nState == GMEM_UNLOCKED) Lock();
    return m_pPtr;
}

void GMEM_BLOCK::Free() {
    Unlock();
    if (m_hMem && m_nState == GMEM_UNLOCKED) GlobalFree(m_hMem);
    m_nState = GMEM_EMPTY;
    m_pPtr = nullptr;
    m_hMem = nullptr;
    m_nSize = 0;
}
