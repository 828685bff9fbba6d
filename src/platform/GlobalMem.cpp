#include "platform/GlobalMem.h"

#include <cstdlib>
#include <new>

struct GlobalMemBlock {
    void* data;
    size_t size;
    int locks;
};

HGLOBAL GlobalAlloc(unsigned flags, size_t size) {
    void* p = (flags & GMEM_ZEROINIT) ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
    if (!p) return nullptr;
    HGLOBAL h = new (std::nothrow) GlobalMemBlock{p, size, 0};
    if (!h) std::free(p);
    return h;
}

void* GlobalLock(HGLOBAL h) {
    if (!h) return nullptr;
    ++h->locks;
    return h->data;
}

int GlobalUnlock(HGLOBAL h) {
    if (!h) return 0;
    if (h->locks > 0) --h->locks;
    return h->locks;
}

size_t GlobalSize(HGLOBAL h) { return h ? h->size : 0; }

HGLOBAL GlobalFree(HGLOBAL h) {
    if (h) {
        std::free(h->data);
        delete h;
    }
    return nullptr;
}
