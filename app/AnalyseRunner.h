// Runs the files of `vokrec analyse` on worker threads and hands the results
// back in input order, with at most a fixed window of results waiting.
#pragma once
#include "AnalyseFile.h"

#include <cstddef>
#include <functional>

// Calls work(i) for i = 0 ... count - 1 on up to jobs threads (on the calling
// thread alone when jobs is 1) and done(i, result) on the calling thread in
// order of i. A worker starts file i only when fewer than 4 * jobs results are
// ahead of the one done next, so memory holds at most jobs files being read
// and that many small results. tick, when set, is called on the calling thread
// about every 100 ms while it waits.
void RunInOrder(size_t count, int jobs, const std::function<ANALYSE_RESULT(size_t)>& work,
                const std::function<void(size_t, ANALYSE_RESULT&)>& done,
                const std::function<void()>& tick);

// Cores this process may run on (at least 1).
int CoreCount();
