// Runs independent rows of work as contiguous slices, one per worker thread.
#pragma once

#include <functional>

class ParallelSlices {
public:
    // Never more workers than this, whatever the hardware offers.
    static constexpr int MaxThreads = 8;
    // Below this much work (items times cost per item) a run stays on the calling thread: starting
    // threads would cost more than they save.
    static constexpr double SmallWork = 10000.0;

    // The workers a large run gets: the set count, else the hardware's, capped.
    static int threadCount();
    // A count above 0 is used for every run, however small (tests and benchmarks); 0 goes back to the
    // hardware's count for large runs only.
    static void setThreadCount(int count);

    // Calls work(first, end) over slices that cover [0, count) in order; the first slice runs on the
    // calling thread. Returns when all are done; the first exception a slice threw is rethrown. Under a
    // WorkProgress::Scope each slice runs in smaller pieces, each reported when done: work must give the
    // same result for any split of its range.
    static void run(int count, double costPerItem, const std::function<void(int first, int end)>& work);
};
