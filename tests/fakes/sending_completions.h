// Completions whose wait also runs what other threads send to the waiting
// thread, as a wait of the user-interface thread on Windows answers the
// messages sent to its windows. A worker's Send returns once the waiting
// thread has run what it sent, as SendMessage does.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/completion.h"

namespace vindrel::testing {

class SendingCompletions : public CompletionSource {
public:
    std::shared_ptr<Completion> Make() override;
    // From a worker: runs `message` on the thread waiting in one of these
    // completions, and returns when it has run.
    void Send(std::function<void()> message);

private:
    struct Channel {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::function<void()>> sent;
        int ran = 0;  // messages run so far
        int queued = 0;
    };
    class Waiting;
    std::shared_ptr<Channel> channel_ = std::make_shared<Channel>();
};

}  // namespace vindrel::testing
