#include "flow/WorkerThread.h"

#include <system_error>
#include <utility>

namespace tvl {

WorkerThread::WorkerThread()
{
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had: wait() does the parts.
    }
}

WorkerThread::~WorkerThread()
{
    if (!thread_.joinable())
        return;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WorkerThread::start(std::function<void()> job)
{
    {
        const std::lock_guard lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
        failure_ = nullptr;
    }
    changed_.notify_all();
}

void WorkerThread::wait()
{
    if (!thread_.joinable()) {
        std::function<void()> job = std::move(job_);
        busy_ = false;
        if (job)
            job();
        return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

void WorkerThread::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (busy_) {
            std::function<void()> job = std::move(job_);
            lock.unlock();
            std::exception_ptr failure;
            try {
                job();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            failure_ = failure;
            busy_ = false;
            changed_.notify_all();
        } else {
            return;
        }
    }
}

} // namespace tvl
