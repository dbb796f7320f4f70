#include "platform/win32/completion_win32.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "platform/step_error.h"
#include "platform/win32/unique_handle.h"

namespace vindrel::win32 {

namespace {

class AnsweringCompletion : public Completion {
public:
    AnsweringCompletion() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        if (!event_) {
            throw StepError(L"无法等待目标窗口",
                            L"CreateEventW 失败，错误 " + HexCode(GetLastError()));
        }
    }

    void Signal() override { SetEvent(event_.Get()); }

    bool Wait(std::chrono::milliseconds timeout) override {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + timeout;
        const HANDLE event = event_.Get();
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
            const DWORD wait = static_cast<DWORD>(std::max<long long>(left.count(), 0));
            // MWMO_INPUTAVAILABLE: also wake for sent messages that were
            // already waiting before this call.
            const DWORD woke =
                MsgWaitForMultipleObjectsEx(1, &event, wait, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0) return true;
            if (woke == WAIT_OBJECT_0 + 1) {
                // Peeking with PM_QS_SENDMESSAGE runs the sent messages'
                // window procedures and takes nothing from the posted queue.
                MSG msg;
                PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                continue;
            }
            if (woke == WAIT_TIMEOUT) break;
            // WAIT_FAILED: no way to answer messages; wait plainly.
            return WaitForSingleObject(event, wait) == WAIT_OBJECT_0;
        }
        return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    }

private:
    UniqueEventHandle event_;
};

}  // namespace

std::shared_ptr<Completion> AnsweringCompletions::Make() {
    return std::make_shared<AnsweringCompletion>();
}

}  // namespace vindrel::win32
