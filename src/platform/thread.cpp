#include "platform/thread.h"

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

}  // namespace vindrel
