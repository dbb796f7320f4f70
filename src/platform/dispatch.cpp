#include "platform/dispatch.h"

namespace vindrel {

namespace {

// Counts a handling for as long as it runs, also when it ends by an exception.
class Depth {
public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& depth_;
};

}  // namespace

void Dispatch::Command(std::function<void()> handling) {
    if (closed_) return;
    if (Busy()) {
        kept_.push_back(std::move(handling));
        return;
    }
    Run(handling);
    RunKept();
}

void Dispatch::Tick(const std::function<void()>& handling) {
    if (closed_ || Busy()) return;
    Run(handling);
    RunKept();
}

void Dispatch::Close() {
    closed_ = true;
    kept_.clear();
}

void Dispatch::Run(const std::function<void()>& handling) {
    const Depth depth(depth_);
    handling();
}

void Dispatch::RunKept() {
    // A kept command may keep more; they run in turn. One that ends by an
    // exception leaves the rest kept for the next outermost handling.
    while (!kept_.empty() && !closed_ && !Busy()) {
        const std::function<void()> next = std::move(kept_.front());
        kept_.pop_front();
        Run(next);
    }
}

}  // namespace vindrel
