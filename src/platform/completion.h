// How a thread waits for a call it handed to a worker thread. The worker
// signals once when the call has returned; the waiting thread blocks until
// then or until a timeout. A completion may do more than block while it
// waits: on Windows the user-interface thread keeps answering the messages
// other threads send to its windows, since the call it waits for may itself
// be waiting on such a message.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <system_error>

namespace vindrel {

class Completion {
public:
    virtual ~Completion() = default;
    // From the worker, once its call has returned.
    virtual void Signal() = 0;
    // On the waiting thread: true once signalled, false when the timeout
    // passed first.
    virtual bool Wait(std::chrono::milliseconds timeout) = 0;
};

// Makes a completion for each call handed to a worker.
class CompletionSource {
public:
    virtual ~CompletionSource() = default;
    virtual std::shared_ptr<Completion> Make() = 0;
};

// Why a worker thread could not be started, in the user's language.
std::wstring WorkerNotStarted(const std::system_error& failure);

// Completions whose wait only blocks.
class PlainCompletions : public CompletionSource {
public:
    std::shared_ptr<Completion> Make() override;
};

}  // namespace vindrel
