// WAVWriter: writes one block of PCM samples and its format as a RIFF "WAVE"
// file: a "fmt " chunk with the whole 18-byte format record and a "data" chunk
// (padded to an even size). The file is created through SafeSave: complete or
// not at all, so a failed or interrupted save leaves an earlier file of that
// name as it was and no partial file behind.
#pragma once
#include "platform/Export.h"
#include "platform/MMSystem.h"
#include <cstdio>
#include <string>

class VOK_API WAVWriter {
  public:
    WAVWriter() = default;
    WAVWriter(const WAVWriter&) = default;
    WAVWriter& operator=(const WAVWriter&) = default;

    // 1 when the whole file was written and is in place, 0 otherwise.
    int Save(const char* path, const WAVEFORMATEX* pFormat, const void* pData, int nBytes);
    // As Save, for the file name below folder: 0 when name would leave the
    // folder or passes through a symbolic link on the way. With makeFolders,
    // missing folders of name are made (below folder, not through a link).
    int SaveIn(const std::string& folder, const std::string& name, const WAVEFORMATEX* pFormat,
               const void* pData, int nBytes, bool makeFolders = false);

    FILE* m_hmmio = nullptr; // the open file, null outside Save

  private:
    enum : int { kErrOpen = 10, kErrFormat = 20, kErrData = 30, kErrFinish = 40 };
};
