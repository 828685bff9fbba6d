#include "record/TakeLog.h"
#include "capture/WavWriter.h"
#include "support/SafeSave.h"
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int ErrnoOr(int fallback) {
    return errno ? errno : fallback;
}

std::string Fixed(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    return buf;
}

// The whole file at path into text: 0, or an errno value (ENOENT when
// there is none). A manifest that cannot be read is never replaced.
int ReadAll(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return err;
        }
        text.append(buf, size_t(n));
    }
    ::close(fd);
    return 0;
}

// Writes all of s to fd; false with errno set when that fails.
bool WriteAll(int fd, const std::string& s) {
    size_t done = 0;
    while (done < s.size()) {
        const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}
} // namespace

int TAKE_LOG::SaveTake(const std::string& folder, const std::string& item, const WAVEFORMATEX& fmt,
                       const void* data, long nBytes) {
    const std::string name = std::string(kTakes) + item;
    errno = 0;
    WAVWriter writer;
    if (nBytes > INT32_MAX || !writer.SaveIn(folder, name, &fmt, data, int(nBytes), true))
        return ErrnoOr(EIO);
    return 0;
}

int TAKE_LOG::AppendRow(const std::string& folder, const TAKE_ROW& row) {
    std::string text;
    if (const int err = ReadAll(folder + "/" + kManifest, text); err && err != ENOENT) return err;
    if (text.empty())
        text = std::string(kHeader) + "\r\n";
    else if (text.back() != '\n')
        text += "\r\n"; // a last line cut short stays a line
    text += FormatRow(row) + "\r\n";
    errno = 0;
    SafeSave file;
    const int fd = file.Begin(folder, kManifest);
    if (fd < 0) return ErrnoOr(EIO);
    const bool ok = WriteAll(fd, text) && file.Commit(fd);
    const int err = ErrnoOr(EIO);
    ::close(fd);
    return ok ? 0 : err;
}

std::string TAKE_LOG::FormatRow(const TAKE_ROW& r) {
    return CsvField(r.strItem) + ',' + CsvField(r.strFile) + ',' + CsvField(r.strTake) + ',' +
           std::to_string(r.nRate) + ',' + std::to_string(r.nBits) + ',' + Fixed(r.fStart, 6) +
           ',' + Fixed(r.fEnd, 6) + ',' + Fixed(r.fDuration, 6) + ',' + Fixed(r.fPeakDb, 2) + ',' +
           (r.bClipped ? '1' : '0') + ',' + IsoTime(r.tWhen);
}

std::string TAKE_LOG::CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

std::string TAKE_LOG::IsoTime(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
    std::string s = buf; // ...+hhmm: ISO 8601's extended form wants +hh:mm
    if (s.size() >= 5) s.insert(s.size() - 2, ":");
    return s;
}
