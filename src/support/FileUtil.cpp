#include "support/FileUtil.h"

#include "platform/MessageBox.h"
#include "support/NumUtil.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

int ShowError(const std::string& text, const char* detail, unsigned flags) {
    std::string t = text;
    if (detail) t += std::string(" ") + detail;
    return AfxMessageBox(t, MB_ICONEXCLAMATION | flags);
}

int ShowCode(const std::string& text, int number) {
    AfxMessageBox(text + " - " + std::to_string(number), MB_OK);
    return 0;
}

std::string FileNameOf(const std::string& path) {
    std::size_t i = path.rfind('/');
    return i == std::string::npos ? path : path.substr(i + 1);
}

std::string ChangeExtension(const std::string& path, const std::string& ext, bool stripFolder) {
    std::string s = stripFolder ? FileNameOf(path) : path;
    std::size_t slash = s.rfind('/');
    std::size_t dot = s.rfind('.');
    // Only a dot in the last component starts an extension.
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        s.erase(dot + 1);
    else
        s += '.';
    return s + ext;
}

std::string DirectoryOf(const std::string& path, bool keepSeparator) {
    std::size_t i = path.rfind('/');
    if (i == std::string::npos) return std::string();
    return path.substr(0, keepSeparator || i == 0 ? i + 1 : i);
}

std::string ExtensionOf(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::string();
    std::string e = name.substr(dot + 1);
    for (char& c : e)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

int32_t GetFileSize(const std::string& name) {
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) return 0;
    return int32_t(std::min<off_t>(st.st_size, INT32_MAX));
}

bool IsReadOnly(const std::string& name) {
    bool exists = FileHasAttr(name, 0) || IsDirectory(name);
    return !exists || FileHasAttr(name, FILE_ATTR_READONLY) != 0;
}

int FileHasAttr(const std::string& path, int mask) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
    bool dir = S_ISDIR(st.st_mode);
    if (mask == 0) return dir ? 0 : 1;
    int attr = (dir ? FILE_ATTR_DIRECTORY : 0) | ((st.st_mode & S_IWUSR) ? 0 : FILE_ATTR_READONLY);
    return attr & mask;
}

int IsDirectory(const std::string& path) {
    return FileHasAttr(path, FILE_ATTR_DIRECTORY);
}

int32_t GetFreeDiskKB(const std::string& path) {
    struct statvfs fs;
    if (::statvfs(path.empty() ? "." : path.c_str(), &fs) != 0) return 0;
    double kb = double(fs.f_bavail) * double(fs.f_frsize) / 1024.0;
    return kb > INT32_MAX ? INT32_MAX : Round(kb);
}

int32_t DriveNumber(char letter) {
    return int32_t(std::toupper(static_cast<unsigned char>(letter))) - 64;
}

bool MakeDir(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool ChangeDir(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

void PadString(std::string& s, int width) {
    s.resize(std::size_t(std::max(width, 0)), ' ');
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    // Never replaces: an existing target makes the rename fail.
    if (::renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace flag: check first, then rename.
    struct stat st;
    if (::lstat(newName.c_str(), &st) == 0 || errno != ENOENT) return false;
    return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

bool RemoveFile(const std::string& name) {
    return ::unlink(name.c_str()) == 0;
}

int SortNoCase(CStringArray& list) {
    if (list.empty()) return 0;
    // Exchange sort: stable, and the lists here are short.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = 1; i < list.size(); ++i)
            if (strcasecmp(list[i - 1].c_str(), list[i].c_str()) > 0) {
                std::swap(list[i - 1], list[i]);
                swapped = true;
            }
    }
    return 1;
}

int32_t FindString(const std::string& text, const CStringArray& list) {
    auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? -1 : int32_t(it - list.begin());
}

bool HasString(const std::string& text, const CStringArray& list) {
    return FindString(text, list) >= 0;
}

int FindFiles(const std::string& pattern, CStringArray& list) {
    list.clear();
    // The folder is taken literally; only the last component is a pattern,
    // matched without case.
    std::string dir = DirectoryOf(pattern, true);
    std::string namePattern = FileNameOf(pattern);
    if (DIR* d = ::opendir(dir.empty() ? "." : dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            if (::fnmatch(namePattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) != 0)
                continue;
            if (IsDirectory(dir + name)) continue;
            for (char& c : name)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            list.push_back(name);
        }
        ::closedir(d);
    }
    SortNoCase(list);
    return 1;
}

void CCurDir::Save() {
    char buf[4096];
    m_path = ::getcwd(buf, sizeof buf) ? buf : "";
}

bool CCurDir::Restore() const {
    return ChangeDir(m_path);
}
