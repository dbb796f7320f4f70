// A thread of the program's own, started, joined or let go as std::thread
// is. On Windows it is started with _beginthreadex: under Wine, on a busy
// machine, a thread started through the C++ library's threads (winpthreads)
// was seen, about once in a thousand starts, never to run at all, leaving a
// call that waits for it to miss its deadline.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vindrel {

class Thread {
public:
    Thread();
    // Runs `work` on a new thread; throws std::system_error when the system
    // cannot start one. An exception leaving `work` ends the program.
    explicit Thread(std::function<void()> work);
    Thread(Thread&& other) noexcept;
    Thread& operator=(Thread&& other) noexcept;
    // A thread neither joined nor let go is let go: it runs on by itself.
    ~Thread();

    bool Joinable() const { return state_ != nullptr; }
    // Waits until the thread has ended.
    void Join();
    // Lets the thread run on by itself; it ends with `work` or the process.
    void Detach();

private:
    // What each system keeps of a running thread; letting it go (the
    // deleter) lets the thread run on by itself.
    struct State;
    struct Release {
        void operator()(State* state) const;
    };
    // Starts `work` on a new thread; throws std::system_error when it cannot.
    static State* Start(std::function<void()> work);
    static void Wait(State& state);

    std::unique_ptr<State, Release> state_;
};

// Runs each job at once on a thread of its own, reusing a thread that has
// finished its job and waits a while for the next: under Wine starting a
// thread costs as much as the call to another program's window it makes.
// A job that never returns keeps its thread and no other job.
class Workers {
public:
    explicit Workers(std::chrono::milliseconds linger = std::chrono::seconds(2));
    // Throws std::system_error when no thread waits and none can be started.
    void Run(std::function<void()> job);

private:
    struct Shared;  // with the threads, which outlive this object
    std::shared_ptr<Shared> shared_;
};

}  // namespace vindrel
