// One movable global-memory allocation with its lock state.
#pragma once
#include "platform/Export.h"
#include "platform/GlobalMem.h"

enum GMEM_STATE { GMEM_UNLOCKED = 0, GMEM_LOCKED = 1, GMEM_EMPTY = 2 };

class VOK_API GMEM_BLOCK {
  public:
    GMEM_BLOCK() = default;
    GMEM_BLOCK(unsigned size, int lock);
    ~GMEM_BLOCK();
    GMEM_BLOCK(const GMEM_BLOCK&) = delete;
    GMEM_BLOCK& operator=(const GMEM_BLOCK&) = delete;

    // Takes a foreign handle (unlocked; locked when asked).
    void Attach(HGLOBAL h, int lock);
    // Allocates size bytes (at least 1), zero-filled. Keeps the contents when the
    // size is already held. 0 with "Memory Allocation Error: GMEM" on failure.
    int Alloc(unsigned size, int lock);
    void Lock();
    void Unlock();
    // Null when empty; otherwise locks (if needed) and returns the address.
    void* GetPtr();
    void Free();

    int GetState() const { return m_nState; }
    unsigned GetSize() const { return m_nSize; }
    HGLOBAL GetHandle() const { return m_hMem; }

  private:
    int m_nState = GMEM_EMPTY;
    void* m_pPtr = nullptr;
    HGLOBAL m_hMem = nullptr;
    unsigned m_nSize = 0;
};
