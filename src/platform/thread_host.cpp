#include <thread>

#include "platform/thread.h"

namespace vindrel {

struct Thread::State {
    std::thread thread;
};

Thread::Thread(std::function<void()> work)
    : state_(std::make_unique<State>(State{std::thread(std::move(work))})) {}

Thread::Thread() = default;
Thread::Thread(Thread&& other) noexcept = default;

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Detach();
        state_ = std::move(other.state_);
    }
    return *this;
}

Thread::~Thread() {
    Detach();
}

void Thread::Join() {
    if (!state_) return;
    state_->thread.join();
    state_.reset();
}

void Thread::Detach() {
    if (!state_) return;
    state_->thread.detach();
    state_.reset();
}

}  // namespace vindrel
