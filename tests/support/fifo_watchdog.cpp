// Unblocks readers of a named pipe after a delay, turning a hang into a test failure.
#include "fifo_watchdog.h"

#include <chrono>

#include <fcntl.h>
#include <unistd.h>

FifoWatchdog::FifoWatchdog(std::string path, int delayMilliseconds)
    : path_(std::move(path)), thread_([this, delayMilliseconds] { watch(delayMilliseconds); }) {}

FifoWatchdog::~FifoWatchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void FifoWatchdog::watch(int delayMilliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::milliseconds(delayMilliseconds), [this] { return stopping_; }))
        return;
    // Non-blocking, so the watchdog itself never waits: with no reader the open fails with ENXIO.
    while (!stopping_) {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            fired_ = true;
            ::close(fd);
        }
        wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping_; });
    }
}
