#pragma once
// A FIFO for tests of code that must never wait for one. Should the code under test still be
// waiting on it after a generous while, the guard opens it for writing and closes it again, which
// ends the wait, and the test fails instead of hanging.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace zib::test {

class FifoGuard {
  public:
    explicit FifoGuard(std::string path) : path_(std::move(path)) {
        made_ = ::mkfifo(path_.c_str(), 0644) == 0;
        EXPECT_TRUE(made_) << "cannot make the FIFO " << path_;
        watcher_ = std::thread([this] { watch(); });
    }
    ~FifoGuard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watcher_.join();
        EXPECT_FALSE(released_) << "the code waited for a writer of the FIFO " << path_;
    }
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

  private:
    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, std::chrono::seconds(20), [this] { return done_; })) return;
        released_ = true;
        // A reader waiting in open() or read() gets its writer and then the end of the file.
        while (!done_) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
        }
    }

    std::string path_;
    bool made_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool released_ = false;
    std::thread watcher_;
};

}  // namespace zib::test
