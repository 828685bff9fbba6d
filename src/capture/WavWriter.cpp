#include "capture/WavWriter.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
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

// A new file beside path, created exclusively; -1 on failure. Its name is
// short and of its own (not path with a suffix), so that a target whose name
// is as long as the file system allows still gets a temporary file.
int CreateTemp(const std::string& path, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath =
            dir + ".vok-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".tmp";
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

int WAVWriter::Save(const char* path, const WAVEFORMATEX* pFormat, const void* pData, int nBytes) {
    int result = 1;
    std::string tempPath;
    try {
        if (!path || !*path || !pFormat || nBytes < 0 || (nBytes > 0 && !pData))
            throw int(kErrOpen);
        if (uint64_t(nBytes) + 38u + 1u > UINT32_MAX) throw int(kErrOpen);
        int fd = CreateTemp(path, tempPath);
        if (fd < 0) {
            tempPath.clear();
            throw int(kErrOpen);
        }
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
        // On disk before the rename, so the name never points at a partial file.
        if (std::fflush(m_hmmio) != 0 || fsync(fileno(m_hmmio)) != 0) throw int(kErrFinish);
        FILE* f = m_hmmio;
        m_hmmio = nullptr;
        if (std::fclose(f) != 0) throw int(kErrFinish);
        if (std::rename(tempPath.c_str(), path) != 0) throw int(kErrFinish);
        tempPath.clear();
    } catch (int) {
        result = 0;
    }
    if (m_hmmio) std::fclose(m_hmmio);
    m_hmmio = nullptr;
    if (!tempPath.empty()) unlink(tempPath.c_str());
    return result;
}
