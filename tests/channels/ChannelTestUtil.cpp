#include "ChannelTestUtil.h"

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

bool CanLimitAddressSpace() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

namespace {
size_t CurrentAddressSpace() {
    unsigned long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return size_t(pages) * size_t(sysconf(_SC_PAGESIZE));
}
} // namespace

LimitedRun RunWithAddressLimit(size_t headroom, const std::function<std::string()>& body) {
    LimitedRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return run;
    }
    if (pid == 0) {
        close(fds[0]);
        rlimit lim{};
        getrlimit(RLIMIT_AS, &lim);
        lim.rlim_cur = rlim_t(CurrentAddressSpace() + headroom);
        if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(3);
        const std::string text = body();
        size_t done = 0;
        while (done < text.size()) {
            ssize_t n = write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0) _exit(4);
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        run.out.append(buf, size_t(n));
    close(fds[0]);
    int wstatus = 0;
    if (waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
        run.exited = true;
        run.status = WEXITSTATUS(wstatus);
    }
    return run;
}

std::string JoinFields(std::initializer_list<std::string> parts) {
    std::string s;
    for (const std::string& p : parts) {
        if (!s.empty()) s += '|';
        s += p;
    }
    return s;
}
