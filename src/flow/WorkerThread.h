#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace tvl {

// A second thread for work split in two: start() hands one part to it while
// the caller does the other, wait() returns when that part is done. Where no
// thread can be started, wait() runs the part itself, so the work is done
// either way, only not at once. One part at a time; the destructor waits for
// a started part and stops the thread.
class WorkerThread {
public:
    WorkerThread();
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Whether start() hands the part to the second thread at once; if not,
    // wait() does it on the caller's.
    bool isThreaded() const { return thread_.joinable(); }
    void start(std::function<void()> job);
    // Rethrows what the part threw.
    void wait();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    bool busy_ = false;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

} // namespace tvl
