#include <windows.h>

#include <process.h>

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

Thread::State* Thread::Start(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const auto handle = _beginthreadex(nullptr, 0, Run, owned.get(), 0, nullptr);
    if (handle == 0) {
        const DWORD error = GetLastError();
        throw std::system_error(static_cast<int>(error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY),
                                std::system_category(), "_beginthreadex");
    }
    owned.release();  // the thread's now
    return new State{reinterpret_cast<HANDLE>(handle)};
}

void Thread::Wait(State& state) {
    WaitForSingleObject(state.handle, INFINITE);
}

void Thread::Release::operator()(State* state) const {
    CloseHandle(state->handle);
    delete state;
}

}  // namespace vindrel
