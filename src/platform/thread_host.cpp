#include <thread>

#include "platform/thread.h"

namespace vindrel {

struct Thread::State {
    std::thread thread;
};

Thread::State* Thread::Start(std::function<void()> work) {
    return new State{std::thread(std::move(work))};
}

void Thread::Wait(State& state) {
    state.thread.join();
}

void Thread::Release::operator()(State* state) const {
    if (state->thread.joinable()) state->thread.detach();
    delete state;
}

}  // namespace vindrel
