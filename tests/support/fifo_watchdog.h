// Opens the writing end of a named pipe after a delay, so a reader that blocks on it returns and fails.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class FifoWatchdog {
public:
    // After the delay, keeps opening and closing the writing end until destroyed; a reader blocked in
    // open() then wakes and reads an empty pipe.
    FifoWatchdog(std::string path, int delayMilliseconds);
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // True once the writing end has been opened: someone was waiting on the pipe.
    bool fired() const { return fired_; }

private:
    void watch(int delayMilliseconds);

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};
