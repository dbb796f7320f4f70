#include "platform/thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace vindrel {

Thread::Thread() = default;

Thread::Thread(std::function<void()> work) : state_(Start(std::move(work))) {}

Thread::Thread(Thread&& other) noexcept = default;

// The thread held before is let go.
Thread& Thread::operator=(Thread&& other) noexcept = default;

Thread::~Thread() = default;

void Thread::Join() {
    if (!state_) return;
    Wait(*state_);
    state_.reset();
}

void Thread::Detach() {
    state_.reset();
}

struct Workers::Shared {
    std::chrono::milliseconds linger;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    std::size_t waiting = 0;  // threads waiting for a job

    // A thread's life: its first job, then any left for it until none
    // comes within `linger`.
    static void Serve(const std::shared_ptr<Shared>& shared, std::function<void()> job) {
        for (;;) {
            job();
            job = nullptr;  // what it holds goes now, not with the next
            std::unique_lock lock(shared->mutex);
            ++shared->waiting;
            // In short waits: a wake-up the thread library lost would
            // otherwise cost a call the whole linger, past its deadline.
            const auto until = std::chrono::steady_clock::now() + shared->linger;
            while (shared->jobs.empty() && std::chrono::steady_clock::now() < until) {
                shared->wake.wait_for(lock, std::chrono::milliseconds(20));
            }
            --shared->waiting;
            if (shared->jobs.empty()) return;
            job = std::move(shared->jobs.front());
            shared->jobs.pop_front();
        }
    }
};

Workers::Workers(std::chrono::milliseconds linger) : shared_(std::make_shared<Shared>()) {
    shared_->linger = linger;
}

void Workers::Run(std::function<void()> job) {
    {
        // Each job queued has a waiting thread of its own to take it.
        const std::lock_guard lock(shared_->mutex);
        if (shared_->waiting > shared_->jobs.size()) {
            shared_->jobs.push_back(std::move(job));
            shared_->wake.notify_one();
            return;
        }
    }
    Thread([shared = shared_, job = std::move(job)]() mutable {
        Shared::Serve(shared, std::move(job));
    }).Detach();
}

}  // namespace vindrel
