#include <windows.h>

#include <process.h>

#include <exception>
#include <system_error>

#include "platform/thread.h"

namespace vindrel {

struct Thread::State {
    HANDLE handle = nullptr;
};

namespace {

unsigned __stdcall Run(void* argument) noexcept {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(argument));
    (*work)();  // noexcept: an exception ends the program, as on std::thread
    return 0;
}

}  // namespace

Thread::Thread(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const auto handle = _beginthreadex(nullptr, 0, Run, owned.get(), 0, nullptr);
    if (handle == 0) {
        const DWORD error = GetLastError();
        throw std::system_error(static_cast<int>(error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY),
                                std::system_category(), "_beginthreadex");
    }
    owned.release();  // the thread's now
    state_ = std::make_unique<State>(State{reinterpret_cast<HANDLE>(handle)});
}

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
    WaitForSingleObject(state_->handle, INFINITE);
    Detach();
}

void Thread::Detach() {
    if (!state_) return;
    CloseHandle(state_->handle);
    state_.reset();
}

}  // namespace vindrel
