#include "AnalyseRunner.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sched.h>
#include <thread>
#include <vector>

int CoreCount() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? int(n) : 1;
}

void RunInOrder(size_t count, int jobs, const std::function<ANALYSE_RESULT(size_t)>& work,
                const std::function<void(size_t, ANALYSE_RESULT&)>& done,
                const std::function<void()>& tick) {
    if (jobs <= 1 || count <= 1) {
        for (size_t i = 0; i < count; ++i) {
            ANALYSE_RESULT r = work(i);
            done(i, r);
        }
        return;
    }
    const size_t window = 4 * size_t(jobs);
    std::vector<std::optional<ANALYSE_RESULT>> slots(window); // result i in slot i % window
    std::mutex lock;
    std::condition_variable canStart, finished;
    size_t next = 0, given = 0; // next file to start, next result to hand on

    auto worker = [&] {
        for (;;) {
            size_t i;
            {
                std::unique_lock<std::mutex> l(lock);
                canStart.wait(l, [&] { return next >= count || next < given + window; });
                if (next >= count) return;
                i = next++;
            }
            ANALYSE_RESULT r = work(i);
            {
                std::lock_guard<std::mutex> l(lock);
                slots[i % window] = std::move(r);
            }
            finished.notify_one();
        }
    };
    std::vector<std::thread> threads;
    for (size_t t = 0; t < size_t(jobs) && t < count; ++t)
        threads.emplace_back(worker);

    while (given < count) {
        std::unique_lock<std::mutex> l(lock);
        std::optional<ANALYSE_RESULT>& slot = slots[given % window];
        if (!finished.wait_for(l, std::chrono::milliseconds(100),
                               [&] { return slot.has_value(); })) {
            l.unlock();
            if (tick) tick();
            continue;
        }
        ANALYSE_RESULT r = std::move(*slot);
        slot.reset();
        const size_t i = given++;
        l.unlock();
        canStart.notify_all();
        done(i, r);
    }
    for (std::thread& t : threads)
        t.join();
}
