#include "capture/WaveBuffer.h"

WAVEBUFFER::WAVEBUFFER(int size) : data(size > 0 ? size : 0) {
    hdr.lpData = reinterpret_cast<char*>(data.Data());
    hdr.dwBufferLength = DWORD(data.GetSize());
}
