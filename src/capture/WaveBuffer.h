// One capture buffer: the header handed to the wave-in device, a sequence word
// and the data bytes the header points to.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"
#include "support/TypedArray.h"

class VOK_API WAVEBUFFER {
  public:
    // size zero bytes; the header's data pointer is their storage and its length
    // the size; every other header word and nSeq are 0.
    explicit WAVEBUFFER(int size);
    WAVEBUFFER(const WAVEBUFFER&) = delete;
    WAVEBUFFER& operator=(const WAVEBUFFER&) = delete;

    bool IsValid() const { return data.IsValid() || data.GetSize() == 0; }

    WAVEHDR hdr{};
    int nSeq = 0;
    BYTE_ARRAY data;
};
