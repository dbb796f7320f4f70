#include "platform/completion.h"

#include <condition_variable>
#include <mutex>

#include "platform/step_error.h"

namespace vindrel {

namespace {

class PlainCompletion : public Completion {
public:
    void Signal() override {
        {
            const std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        done_.notify_all();
    }
    bool Wait(std::chrono::milliseconds timeout) override {
        std::unique_lock lock(mutex_);
        return done_.wait_for(lock, timeout, [this] { return signalled_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool signalled_ = false;
};

}  // namespace

std::shared_ptr<Completion> PlainCompletions::Make() {
    return std::make_shared<PlainCompletion>();
}

std::wstring WorkerNotStarted(const std::system_error& failure) {
    return L"无法启动工作线程，错误 " + HexCode(static_cast<std::uint32_t>(failure.code().value()));
}

}  // namespace vindrel
