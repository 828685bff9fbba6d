#include "capture/WavWriter.h"
#include "support/FileUtil.h"
#include "support/SafeSave.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

} // namespace

int WAVWriter::Save(const char* path, const WAVEFORMATEX* pFormat, const void* pData, int nBytes) {
    if (!path || !*path) return 0;
    const std::string folder = DirectoryOf(path);
    return SaveIn(folder.empty() ? "." : folder, FileNameOf(path), pFormat, pData, nBytes);
}

int WAVWriter::SaveIn(const std::string& folder, const std::string& name,
                      const WAVEFORMATEX* pFormat, const void* pData, int nBytes,
                      bool makeFolders) {
    int result = 1;
    SafeSave file;
    try {
        if (!pFormat || nBytes < 0 || (nBytes > 0 && !pData)) throw int(kErrOpen);
        if (uint64_t(nBytes) + 38u + 1u > UINT32_MAX) throw int(kErrOpen);
        int fd = file.Begin(folder, name, makeFolders);
        if (fd < 0) throw int(kErrOpen);
        m_hmmio = fdopen(fd, "wb");
        if (!m_hmmio) {
            close(fd);
            throw int(kErrOpen);
        }

        const uint32_t n = uint32_t(nBytes), pad = n & 1u;
        uint8_t head[46];
        std::memcpy(head + 0, "RIFF", 4);
        Put32(head + 4, 38u + n + pad);
        std::memcpy(head + 8, "WAVE", 4);
        std::memcpy(head + 12, "fmt ", 4);
        Put32(head + 16, 18);
        Put16(head + 20, pFormat->wFormatTag);
        Put16(head + 22, pFormat->nChannels);
        Put32(head + 24, pFormat->nSamplesPerSec);
        Put32(head + 28, pFormat->nAvgBytesPerSec);
        Put16(head + 32, pFormat->nBlockAlign);
        Put16(head + 34, pFormat->wBitsPerSample);
        Put16(head + 36, pFormat->cbSize);
        std::memcpy(head + 38, "data", 4);
        Put32(head + 42, n);

        if (std::fwrite(head, 1, 38, m_hmmio) != 38) throw int(kErrFormat);
        if (std::fwrite(head + 38, 1, 8, m_hmmio) != 8) throw int(kErrData);
        if (n > 0 && std::fwrite(pData, 1, n, m_hmmio) != n) throw int(kErrData);
        if (pad) {
            const uint8_t zero = 0;
            if (std::fwrite(&zero, 1, 1, m_hmmio) != 1) throw int(kErrData);
        }
        if (std::fflush(m_hmmio) != 0 || !file.Commit(fileno(m_hmmio))) throw int(kErrFinish);
    } catch (int) {
        result = 0;
    }
    if (m_hmmio) std::fclose(m_hmmio);
    m_hmmio = nullptr;
    return result;
}
