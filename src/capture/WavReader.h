// Reads a RIFF WAVE file: the first "fmt " chunk and the first "data" chunk.
// Every chunk is checked against the file's end and the RIFF chunk's end, so a
// truncated file or a header with wrong sizes gives an error, never a read
// outside the file.
#pragma once
#include "platform/Export.h"
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class VOK_API WAVReader {
  public:
    // Format fields of the "fmt " chunk.
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    // Format code of an extensible "fmt " chunk (its sub-format GUID's first two
    // bytes); 0 for any other chunk.
    uint16_t wSubFormat = 0;

    // Byte count the "data" chunk declares, and the bytes read from it (at most
    // the limit given to Load).
    uint32_t nDataBytes = 0;
    std::vector<uint8_t> data;

    // 1 on success; 0 with a one-line reason in Error() (without the path: the
    // caller names the file).
    int Load(const std::string& path, uint32_t maxDataBytes = UINT32_MAX);
    // The same on a file image in memory.
    int LoadBytes(const uint8_t* bytes, size_t size, uint32_t maxDataBytes = UINT32_MAX);
    const std::string& Error() const { return m_strError; }

    // Plain PCM, or extensible with a PCM sub-format.
    bool IsPcm() const {
        return wFormatTag == kFormatPcm ||
               (wFormatTag == kFormatExtensible && wSubFormat == kFormatPcm);
    }

    static constexpr uint16_t kFormatPcm = 1;
    static constexpr uint16_t kFormatExtensible = 0xFFFE;

  private:
    int Parse(std::istream& in, std::streamoff fileSize, uint32_t maxDataBytes);
    int Fail(const std::string& why);
    std::string m_strError;
};
