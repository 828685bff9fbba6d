// A file whose operations never throw: failures give 0, and opening or
// creating a file that cannot be had tells the user why.
#pragma once
#include <cstdint>
#include <string>

class CFileX {
  public:
    enum : int { modeRead = 0, modeWrite = 1, modeReadWrite = 2 };

    CFileX();
    // Opens name by mode index; a failure adds "Cannot open File: <name>".
    CFileX(const std::string& name, int modeIndex);
    // Attaches to an open descriptor (not closed by this object).
    CFileX(int fd, int mode);
    CFileX(const CFileX&) = delete;
    CFileX& operator=(const CFileX&) = delete;
    virtual ~CFileX();

    int Create(const std::string& name);
    // modeIsIndex: mode 0..2 (clamped) is read, write, read/write; otherwise
    // mode holds open(2) flags. A null name reopens the stored one.
    int Open(const char* name, int mode, bool modeIsIndex = true);
    bool IsOpen() const { return m_fd >= 0; }
    virtual void Close();
    virtual void Flush();
    bool SeekTo(uint32_t pos);
    int SeekToEnd();
    uint32_t GetPosition() const;
    uint32_t GetLength();
    bool IsAtEnd() const;
    // 1 only when exactly count bytes moved; position -1 means here.
    int ReadAt(void* buf, uint16_t count, int32_t position = -1);
    int WriteAt(const void* buf, uint16_t count, int32_t position = -1);
    // Reads one line from here, keeping its terminator: a line ends at CR LF or
    // at a lone CR (an LF alone does not end it). 1 when something was read.
    int ReadLine(std::string& out);
    // Writes the characters unchanged, no terminator added; 1 on success.
    int WriteString(const std::string& text);
    // Copies the whole file to dest in 100-byte chunks, keeping its times and
    // permission bits; 0, touching nothing, when dest is this very file.
    virtual int CopyTo(const std::string& dest);

    std::string GetName(bool stripFolder = false) const;
    std::string ChangeExt(const std::string& ext, bool stripFolder = false) const;
    std::string GetDir(bool keepSeparator = false) const;
    int CheckDiskSpace(int32_t neededKB) const;
    int ReportError(const std::string& detail, unsigned flags = 0) const;
    int ReportError(const std::string& text, int number) const;

    int GetMode() const { return m_mode; }
    uint32_t GetBasePosition() const { return m_basePos; }
    int GetFd() const { return m_fd; }

  private:
    int OpenFlags(int flags, const std::string& name, bool lockForWrite, const char* what);
    // Box "<system text> - <what> - <number>"; returns 0.
    static int ShowOpenFailure(int error, const char* what);

    int m_fd = -1;
    bool m_ownsFd = true;
    int m_mode = 0;
    int m_openedByName = 1;
    uint32_t m_basePos = 0;
    std::string m_name;
};

// Remembers a file's position and seeks back to it on destruction.
class CFilePosKeeper {
  public:
    explicit CFilePosKeeper(CFileX& file)
        : m_file(file), m_pos(file.IsOpen() ? int64_t(file.GetPosition()) : -1) {}
    ~CFilePosKeeper() {
        if (m_pos >= 0) m_file.SeekTo(uint32_t(m_pos));
    }
    CFilePosKeeper(const CFilePosKeeper&) = delete;
    CFilePosKeeper& operator=(const CFilePosKeeper&) = delete;

  private:
    CFileX& m_file;
    int64_t m_pos;
};
