// Movable global memory: an allocation behind a handle, reached through a lock
// that yields its address. Here the memory never moves; the lock count is kept
// so that lock and unlock pair up as callers expect.
#pragma once
#include "platform/Export.h"
#include <cstddef>

struct GlobalMemBlock;
using HGLOBAL = GlobalMemBlock*;

enum : unsigned { GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40 };

// A new allocation of size bytes (zero-filled with GMEM_ZEROINIT); null on failure.
VOK_API HGLOBAL GlobalAlloc(unsigned flags, size_t size);
// The allocation's address; null for a null handle.
VOK_API void* GlobalLock(HGLOBAL h);
// Non-zero while the block is still locked afterwards.
VOK_API int GlobalUnlock(HGLOBAL h);
VOK_API size_t GlobalSize(HGLOBAL h);
// Releases the allocation; returns null on success.
VOK_API HGLOBAL GlobalFree(HGLOBAL h);
