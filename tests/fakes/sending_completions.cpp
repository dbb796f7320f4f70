#include "fakes/sending_completions.h"

namespace vindrel::testing {

class SendingCompletions::Waiting : public Completion {
public:
    explicit Waiting(std::shared_ptr<Channel> channel) : channel_(std::move(channel)) {}

    void Signal() override {
        const std::lock_guard lock(channel_->mutex);
        signalled_ = true;
        channel_->changed.notify_all();
    }

    bool Wait(std::chrono::milliseconds timeout) override {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(channel_->mutex);
        for (;;) {
            const bool woke = channel_->changed.wait_until(
                lock, end, [&] { return signalled_ || !channel_->sent.empty(); });
            if (!woke) return false;
            if (channel_->sent.empty()) return true;
            // A sent message runs here, on the waiting thread, before the
            // wait goes on.
            const std::function<void()> message = std::move(channel_->sent.front());
            channel_->sent.pop_front();
            lock.unlock();
            message();
            lock.lock();
            ++channel_->ran;
            channel_->changed.notify_all();
        }
    }

private:
    std::shared_ptr<Channel> channel_;
    bool signalled_ = false;  // under Channel::mutex
};

std::shared_ptr<Completion> SendingCompletions::Make() {
    return std::make_shared<Waiting>(channel_);
}

void SendingCompletions::Send(std::function<void()> message) {
    std::unique_lock lock(channel_->mutex);
    channel_->sent.push_back(std::move(message));
    const int mine = ++channel_->queued;
    channel_->changed.notify_all();
    channel_->changed.wait(lock, [&] { return channel_->ran >= mine; });
}

}  // namespace vindrel::testing
