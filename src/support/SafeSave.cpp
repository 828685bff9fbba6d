#include "support/SafeSave.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kPrefix = ".vok-", kSuffix = ".tmp";

std::string TempName() {
    static std::atomic<unsigned> counter{0};
    return std::string(kPrefix) + std::to_string(getpid()) + "-" + std::to_string(++counter) +
           std::string(kSuffix);
}

// The process id in a temporary name ".vok-PID-N.tmp"; 0 for any other name.
long PidOfTemp(std::string_view name) {
    if (name.size() <= kPrefix.size() + kSuffix.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kSuffix))
        return 0;
    name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return 0;
    for (size_t i = 0; i < name.size(); ++i)
        if (i != dash && (name[i] < '0' || name[i] > '9')) return 0;
    if (dash > 9) return 0;
    return std::atol(std::string(name.substr(0, dash)).c_str());
}

bool ProcessGone(long pid) {
    return pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// Opens the folder of name below dirFd, one component at a time, never
// following a symbolic link and never going up; leaf gets the last component.
// With make, a missing folder on the way is made first.
int OpenBeneath(int dirFd, std::string_view name, std::string& leaf, bool make) {
    if (name.empty() || name.front() == '/') return -1;
    int cur = dup(dirFd);
    for (;;) {
        const size_t slash = name.find('/');
        const std::string part(name.substr(0, slash));
        if (slash == std::string_view::npos) {
            if (part.empty() || part == "." || part == "..") break;
            leaf = part;
            return cur;
        }
        name.remove_prefix(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") break;
        if (make && mkdirat(cur, part.c_str(), 0777) != 0 && errno != EEXIST) break;
        const int next = openat(cur, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        close(cur);
        cur = next;
        if (cur < 0) return -1;
    }
    if (cur >= 0) close(cur);
    return -1;
}

} // namespace

SafeSave::~SafeSave() {
    if (!m_temp.empty()) unlinkat(m_dirFd, m_temp.c_str(), 0);
    if (m_dirFd >= 0) close(m_dirFd);
}

int SafeSave::Begin(const std::string& folder, const std::string& name, bool makeFolders) {
    if (m_dirFd >= 0 || folder.empty()) return -1;
    const int top = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (top < 0) return -1;
    m_dirFd = OpenBeneath(top, name, m_leaf, makeFolders);
    close(top);
    if (m_dirFd < 0) return -1;
    RemoveStaleAt(m_dirFd);
    int fd = openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    m_unnamed = fd >= 0;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        // No unnamed files here: a named one of its own, removed unless committed.
        std::string temp = TempName();
        fd = openat(m_dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd >= 0)
            m_temp = std::move(temp);
        else if (errno != EEXIST)
            break;
    }
    return fd;
}

// Gives the unnamed file fd a temporary name in the folder.
bool SafeSave::LinkTemp(int fd) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TempName();
        if (linkat(fd, "", m_dirFd, temp.c_str(), AT_EMPTY_PATH) == 0 ||
            linkat(AT_FDCWD, self.c_str(), m_dirFd, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_temp = std::move(temp);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool SafeSave::Commit(int fd) {
    if (m_dirFd < 0 || fd < 0) return false;
    // On disk before it has a name, so the name never points at a partial file.
    if (fsync(fd) != 0) return false;
    if (m_unnamed && !LinkTemp(fd)) return false;
    if (m_temp.empty() || renameat(m_dirFd, m_temp.c_str(), m_dirFd, m_leaf.c_str()) != 0)
        return false;
    m_temp.clear();
    return true;
}

int SafeSave::RemoveStale(const std::string& folder) {
    const int dirFd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return 0;
    const int n = RemoveStaleAt(dirFd);
    close(dirFd);
    return n;
}

int SafeSave::RemoveStaleAt(int dirFd) {
    const int fd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return 0;
    }
    int removed = 0;
    while (const dirent* e = readdir(dir)) {
        if (ProcessGone(PidOfTemp(e->d_name)) && unlinkat(dirFd, e->d_name, 0) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}
