#include "capture/WavReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// A chunk id made printable for messages.
std::string IdText(const uint8_t* id) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += (id[i] >= 32 && id[i] < 127) ? char(id[i]) : '?';
    return s;
}
} // namespace

int WAVReader::Fail(const std::string& why) {
    m_strError = why;
    return 0;
}

int WAVReader::Load(const std::string& path, uint32_t maxDataBytes) {
    *this = WAVReader();
    std::error_code ec;
    const auto st = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(st))
        return Fail("cannot open: " + (ec ? ec.message() : std::string(std::strerror(ENOENT))));
    if (!std::filesystem::is_regular_file(st)) return Fail("not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(std::string("cannot open: ") + std::strerror(errno));
    in.seekg(0, std::ios::end);
    const std::streamoff fileSize = in.tellg();
    in.seekg(0);
    if (fileSize < 0) return Fail("cannot read the file");
    return Parse(in, fileSize, maxDataBytes);
}

int WAVReader::LoadBytes(const uint8_t* bytes, size_t size, uint32_t maxDataBytes) {
    *this = WAVReader();
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), bytes ? size : 0),
                          std::ios::binary);
    return Parse(in, std::streamoff(bytes ? size : 0), maxDataBytes);
}

int WAVReader::Parse(std::istream& in, std::streamoff fileSize, uint32_t maxDataBytes) {
    uint8_t head[12];
    if (fileSize < 12 || !in.read(reinterpret_cast<char*>(head), 12))
        return Fail("not a RIFF/WAVE file (shorter than its 12-byte header)");
    if (std::memcmp(head, "RIFF", 4) != 0) return Fail("not a RIFF file (no RIFF header)");
    if (std::memcmp(head + 8, "WAVE", 4) != 0)
        return Fail("not a WAVE file (RIFF form is not WAVE)");

    // Chunks end at the RIFF chunk's end; a RIFF size beyond the file is taken
    // as the file's end, since each chunk is checked against the file as well.
    std::streamoff end = 8 + std::streamoff(Le32(head + 4));
    if (end > fileSize) end = fileSize;

    bool haveFmt = false, haveData = false;
    std::streamoff pos = 12;
    while (pos + 8 <= end && !(haveFmt && haveData)) {
        uint8_t ch[8];
        in.seekg(pos);
        if (!in.read(reinterpret_cast<char*>(ch), 8)) return Fail("cannot read chunk header");
        const uint32_t size = Le32(ch + 4);
        const std::streamoff body = pos + 8;
        const bool fits = std::streamoff(size) <= end - body;
        const std::string id = IdText(ch);
        if (std::memcmp(ch, "fmt ", 4) == 0 && !haveFmt) {
            if (!fits) return Fail("\"fmt \" chunk runs past the end of the file");
            if (size < 16)
                return Fail("\"fmt \" chunk too short (" + std::to_string(size) + " bytes)");
            uint8_t f[16];
            if (!in.read(reinterpret_cast<char*>(f), 16)) return Fail("cannot read \"fmt \" chunk");
            wFormatTag = Le16(f);
            nChannels = Le16(f + 2);
            nSamplesPerSec = Le32(f + 4);
            nAvgBytesPerSec = Le32(f + 8);
            nBlockAlign = Le16(f + 12);
            wBitsPerSample = Le16(f + 14);
            // Extensible: cbSize 22, valid bits, channel mask, then the sub-format GUID.
            if (wFormatTag == kFormatExtensible && size >= 40) {
                uint8_t x[24];
                if (!in.read(reinterpret_cast<char*>(x), 24))
                    return Fail("cannot read \"fmt \" chunk");
                wSubFormat = Le16(x + 8);
            }
            haveFmt = true;
        } else if (std::memcmp(ch, "data", 4) == 0 && !haveData) {
            if (!fits)
                return Fail("\"data\" chunk declares " + std::to_string(size) +
                            " bytes, but only " + std::to_string(end - body) +
                            " follow (truncated file?)");
            nDataBytes = size;
            data.resize(size < maxDataBytes ? size : maxDataBytes);
            if (!data.empty() &&
                !in.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size())))
                return Fail("cannot read \"data\" chunk");
            haveData = true;
        } else if (!fits) {
            return Fail("chunk \"" + id + "\" runs past the end of the file");
        }
        // Chunk bodies are padded to an even length.
        pos = body + std::streamoff(size) + (size & 1u);
    }
    if (!haveFmt) return Fail("no \"fmt \" chunk");
    if (!haveData) return Fail("no \"data\" chunk");
    return 1;
}
