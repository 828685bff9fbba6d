#include "support/FileX.h"

#include "platform/MessageBox.h"
#include "support/FileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CFileX::CFileX() = default;

CFileX::CFileX(const std::string& name, int modeIndex) {
    Open(name.c_str(), modeIndex, true);
    if (!IsOpen()) ShowError("Cannot open File: " + name);
}

CFileX::CFileX(int fd, int mode) : m_fd(fd), m_ownsFd(false), m_mode(mode), m_openedByName(0) {
    off_t p = fd >= 0 ? ::lseek(fd, 0, SEEK_CUR) : -1;
    m_basePos = p > 0 ? uint32_t(p) : 0;
}

CFileX::~CFileX() {
    if (IsOpen() && m_ownsFd) ::close(m_fd);
}

void CFileX::Close() {
    if (!IsOpen()) return;
    if (m_ownsFd) ::close(m_fd);
    m_fd = -1;
    m_ownsFd = true;
}

void CFileX::Flush() {
    // Writes go straight to the descriptor; nothing is buffered here.
}

int CFileX::OpenFlags(int flags, const std::string& name, bool lockForWrite, const char* what) {
    Close();
    int fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
    // Writers deny other writers; readers share with everybody.
    if (fd >= 0 && lockForWrite && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        ::close(fd);
        fd = -1;
        errno = e;
    }
    if (fd < 0) return ShowOpenFailure(errno, what);
    m_fd = fd;
    m_ownsFd = true;
    m_name = name;
    return 1;
}

int CFileX::ShowOpenFailure(int error, const char* what) {
    std::string msg = std::string(std::strerror(error)).substr(0, 100);
    ShowError("", (msg + " - " + what + " - " + std::to_string(error)).c_str());
    return 0;
}

int CFileX::Open(const char* name, int mode, bool modeIsIndex) {
    int flags = mode;
    bool write = true;
    if (modeIsIndex) {
        int m = std::clamp(mode, 0, 2);
        flags = m == 0 ? O_RDONLY : m == 1 ? O_WRONLY : O_RDWR;
        write = m != 0;
    } else {
        write = (mode & O_ACCMODE) != O_RDONLY;
    }
    std::string n = name ? std::string(name) : m_name;
    if (!name && n.empty()) return 1;
    if (!OpenFlags(flags, n, write, "Open")) return 0;
    m_mode = mode;
    return 1;
}

int CFileX::Create(const std::string& name) {
    if (!OpenFlags(O_CREAT | O_RDWR, name, true, "Create")) return 0;
    if (::ftruncate(m_fd, 0) != 0) {
        int e = errno;
        Close();
        return ShowOpenFailure(e, "Create");
    }
    m_mode = 2;
    return 1;
}

bool CFileX::SeekTo(uint32_t pos) {
    return IsOpen() && ::lseek(m_fd, off_t(pos), SEEK_SET) == off_t(pos);
}

int CFileX::SeekToEnd() {
    if (IsOpen()) ::lseek(m_fd, 0, SEEK_END);
    return 1;
}

uint32_t CFileX::GetPosition() const {
    off_t p = IsOpen() ? ::lseek(m_fd, 0, SEEK_CUR) : 0;
    return p > 0 ? uint32_t(p) : 0;
}

uint32_t CFileX::GetLength() {
    if (!IsOpen()) return 0;
    if (m_mode) Flush();
    off_t here = ::lseek(m_fd, 0, SEEK_CUR);
    off_t end = ::lseek(m_fd, 0, SEEK_END);
    ::lseek(m_fd, here, SEEK_SET);
    return end > 0 ? uint32_t(end) : 0;
}

bool CFileX::IsAtEnd() const {
    struct stat st;
    return IsOpen() && ::fstat(m_fd, &st) == 0 && off_t(GetPosition()) == st.st_size;
}

int CFileX::ReadAt(void* buf, uint16_t count, int32_t position) {
    if (!IsOpen()) return 0;
    if (position >= 0 && !SeekTo(uint32_t(position))) return 0;
    std::size_t done = 0;
    auto* p = static_cast<char*>(buf);
    while (done < count) {
        ssize_t n = ::read(m_fd, p + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += std::size_t(n);
    }
    return done == count ? 1 : 0;
}

int CFileX::WriteAt(const void* buf, uint16_t count, int32_t position) {
    if (!IsOpen()) return 0;
    if (position >= 0 && !SeekTo(uint32_t(position))) return 0;
    std::size_t done = 0;
    const auto* p = static_cast<const char*>(buf);
    while (done < count) {
        ssize_t n = ::write(m_fd, p + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        done += std::size_t(n);
    }
    return 1;
}

int CFileX::ReadLine(std::string& out) {
    out.clear();
    char prev = ' ';
    while (!IsAtEnd()) {
        char c;
        if (!ReadAt(&c, 1)) return 0;
        if (prev == '\r' && c != '\n') {
            // The byte after a lone CR starts the next line.
            SeekTo(GetPosition() - 1);
            break;
        }
        out += c;
        if (prev == '\r' && c == '\n') break;
        prev = c;
    }
    return out.empty() ? 0 : 1;
}

int CFileX::WriteString(const std::string& text) {
    if (!IsOpen()) return 0;
    for (std::size_t done = 0; done < text.size();) {
        uint16_t n = uint16_t(std::min<std::size_t>(text.size() - done, 0xFFFF));
        if (!WriteAt(text.data() + done, n)) return 0;
        done += n;
    }
    return 1;
}

int CFileX::CopyTo(const std::string& dest) {
    // Creating the destination would truncate a source that is the same file.
    struct stat src, dst;
    if (!IsOpen() || ::fstat(m_fd, &src) != 0) return 0;
    if (::stat(dest.c_str(), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino)
        return 0;
    CFileX out;
    if (!out.Create(dest)) return 0;
    if (::fchmod(out.GetFd(), src.st_mode & 07777) != 0) return 0;
    uint32_t len = GetLength();
    if (!SeekTo(0)) return 0;
    char chunk[100];
    for (uint32_t left = len; left > 0;) {
        uint16_t n = uint16_t(std::min<uint32_t>(left, sizeof chunk));
        if (!ReadAt(chunk, n) || !out.WriteAt(chunk, n)) return 0;
        left -= n;
    }
    out.Close();
    if (::stat(m_name.c_str(), &src) != 0 || ::stat(dest.c_str(), &dst) != 0) return 0;
    if (src.st_size != dst.st_size) return 0;
    struct timespec times[2] = {src.st_atim, src.st_mtim};
    return ::utimensat(AT_FDCWD, dest.c_str(), times, 0) == 0 ? 1 : 0;
}

std::string CFileX::GetName(bool stripFolder) const {
    return stripFolder ? FileNameOf(m_name) : m_name;
}

std::string CFileX::ChangeExt(const std::string& ext, bool stripFolder) const {
    return ChangeExtension(m_name, ext, stripFolder);
}

std::string CFileX::GetDir(bool keepSeparator) const {
    return DirectoryOf(m_name, keepSeparator);
}

int CFileX::CheckDiskSpace(int32_t neededKB) const {
    if (!IsOpen()) return 0;
    std::string dir = DirectoryOf(m_name);
    if (dir.empty()) dir = ".";
    if (GetFreeDiskKB(dir) >= neededKB) return 1;
    AfxMessageBox("Insufficient free disk space on " + dir, MB_ICONEXCLAMATION);
    return 0;
}

int CFileX::ReportError(const std::string& detail, unsigned flags) const {
    return AfxMessageBox(m_name + ":\n\n" + detail, MB_ICONEXCLAMATION | flags);
}

int CFileX::ReportError(const std::string& text, int number) const {
    ReportError(text + " - " + std::to_string(number));
    return 0;
}
