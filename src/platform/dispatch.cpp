#include "platform/dispatch.h"

#include <exception>
#include <utility>

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
    RunOutermost(std::move(handling));
}

void Dispatch::Press(std::function<void()> handling) {
    if (closed_ || !Busy() || asking_ == 0) {
        Command(std::move(handling));
        return;
    }
    // Inside the box's wait, as a handling of its own: meanwhile no other
    // press runs nested in it.
    const int asking = std::exchange(asking_, 0);
    try {
        const Depth depth(depth_);
        handling();
    } catch (...) {
        asking_ = asking;
        throw;
    }
    asking_ = asking;
}

void Dispatch::Tick(const std::function<void()>& handling) {
    if (closed_ || Busy()) return;
    RunOutermost(handling);
}

void Dispatch::Close() {
    closed_ = true;
    kept_.clear();
}

void Dispatch::RunOutermost(std::function<void()> handling) {
    // Then what it kept, in turn, each of which may keep more. A handling
    // that ends by an exception (a fault of the program) does not hold up
    // the others; the first such exception is passed on at the end.
    std::exception_ptr failure;
    for (;;) {
        try {
            const Depth depth(depth_);
            handling();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
        if (closed_ || kept_.empty()) break;
        handling = std::move(kept_.front());
        kept_.pop_front();
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace vindrel
