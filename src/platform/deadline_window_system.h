// Keeps a hung target from freezing the program. The calls that wait on
// the target window's thread when it lives in another process (ShowWindow,
// CloseWindow, OpenIcon, SetWindowTextA/W, SetWindowLongA, FlashWindow) run on
// a worker thread of their own; the caller waits for them up to a deadline,
// through a Completion that on Windows keeps answering the messages sent to
// the caller's windows (the call may be waiting on one of them). A call
// that misses the deadline is not withdrawn: it finishes whenever the
// target answers (or dies), and the caller gets a StepError saying the
// target is not responding. While such a call is pending, further waiting
// calls on any window of the same thread fail at once instead of queueing
// behind it: a hung program costs the deadline once, not once per window.
// Other threads' windows are not affected. A waited call's last error reaches the
// caller's thread with its result. FlashWindow with bInvert 0 (a caption put
// back) is never waited for: it runs on a worker of its own (after the call
// pending on that window, if any), the caller goes on at once with 0, and
// it makes no later call fail. Every other call goes straight through
// (SetForegroundWindow and PostMessageA do not wait on the target), as do
// calls on the program's own windows, which a worker could not reach while
// the caller waits.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/completion.h"
#include "platform/thread.h"
#include "platform/window_system.h"

namespace vindrel {

// How long the program waits for a target window: well inside the five
// seconds after which Windows calls a window not responding. The guide
// tells the user this figure.
inline constexpr std::chrono::milliseconds kTargetDeadline{1500};

// "1.5", "2", "0.15": a duration in seconds as the program states it.
std::wstring SecondsText(std::chrono::milliseconds duration);

class DeadlineWindowSystem : public WindowSystem {
public:
    DeadlineWindowSystem(
        WindowSystem& inner, std::chrono::milliseconds deadline,
        std::shared_ptr<CompletionSource> completions = std::make_shared<PlainCompletions>());
    // Gives the calls still running a quarter of a second to finish.
    ~DeadlineWindowSystem() override;

    // Waits until no call is pending (for tests and orderly shutdown);
    // false when calls are still pending after the timeout.
    bool WaitIdle(std::chrono::milliseconds timeout);

    Pid GetCurrentProcessId() override;
    KernelHandle CreateToolhelp32Snapshot(std::uint32_t dwFlags, Pid th32ProcessID) override;
    std::int32_t Process32First(KernelHandle hSnapshot, ProcessEntry32& entry) override;
    std::int32_t Process32Next(KernelHandle hSnapshot, ProcessEntry32& entry) override;
    std::int32_t Process32FirstW(KernelHandle hSnapshot, ProcessEntry32W& entry) override;
    std::int32_t Process32NextW(KernelHandle hSnapshot, ProcessEntry32W& entry) override;
    std::int32_t CloseHandle(KernelHandle handle) override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t dwErrCode) override;
    std::unique_ptr<WmiConnection> ConnectWmi() override;
    Hwnd FindWindowA(const char* lpClassName, const char* lpWindowName) override;
    Hwnd GetParent(Hwnd hWnd) override;
    Hwnd WindowFromPoint(std::int32_t x, std::int32_t y) override;
    Hwnd GetAncestor(Hwnd hwnd, std::uint32_t gaFlags) override;
    std::uint32_t GetWindowThreadProcessId(Hwnd hWnd, Pid* lpdwProcessId) override;
    Hwnd GetWindow(Hwnd hWnd, std::uint32_t uCmd) override;
    std::int32_t GetWindowTextA(Hwnd hWnd, char* lpString, std::int32_t nMaxCount) override;
    std::int32_t SetWindowTextA(Hwnd hWnd, const char* lpString) override;
    std::int32_t GetWindowTextW(Hwnd hWnd, wchar_t* lpString, std::int32_t nMaxCount) override;
    std::int32_t GetClassNameW(Hwnd hWnd, wchar_t* lpClassName, std::int32_t nMaxCount) override;
    std::int32_t SetWindowTextW(Hwnd hWnd, const wchar_t* lpString) override;
    std::int32_t ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) override;
    std::int32_t CloseWindow(Hwnd hWnd) override;
    std::int32_t OpenIcon(Hwnd hWnd) override;
    std::int32_t SetForegroundWindow(Hwnd hWnd) override;
    std::int32_t PostMessageA(Hwnd hWnd, std::uint32_t Msg, std::int32_t wParam,
                              std::int32_t lParam) override;
    std::int32_t IsWindow(Hwnd hWnd) override;
    std::int32_t IsWindowVisible(Hwnd hWnd) override;
    std::int32_t IsIconic(Hwnd hWnd) override;
    std::int32_t FlashWindow(Hwnd hWnd, std::int32_t bInvert) override;
    std::int32_t GetWindowLongA(Hwnd hWnd, std::int32_t nIndex) override;
    std::int32_t SetWindowLongA(Hwnd hWnd, std::int32_t nIndex, std::int32_t dwNewLong) override;
    std::int32_t SetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t crKey, std::uint8_t bAlpha,
                                            std::uint32_t dwFlags) override;
    std::int32_t GetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t* pcrKey, std::uint8_t* pbAlpha,
                                            std::uint32_t* pdwFlags) override;
    std::int32_t SetWindowPos(Hwnd hWnd, Hwnd hWndInsertAfter, std::int32_t X, std::int32_t Y,
                              std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) override;
    std::int32_t SetWindowPlacement(Hwnd hWnd, const WindowPlacement* lpwndpl) override;
    std::int32_t IsWindowOnCurrentVirtualDesktop(Hwnd hWnd,
                                                 std::int32_t* onCurrentDesktop) override;
    std::int32_t EnumWindows(const std::function<bool(Hwnd)>& lpEnumFunc) override;
    Hwnd FindWindowExW(Hwnd hWndParent, Hwnd hWndChildAfter, const wchar_t* lpszClass,
                       const wchar_t* lpszWindow) override;
    std::int32_t GetWindowRect(Hwnd hWnd, ScreenRect* lpRect) override;
    std::int32_t GetWindowPlacement(Hwnd hWnd, WindowPlacement* lpwndpl) override;
    std::int32_t IsHungAppWindow(Hwnd hwnd) override;
    std::int32_t DwmGetWindowAttribute(Hwnd hwnd, std::uint32_t dwAttribute, void* pvAttribute,
                                       std::uint32_t cbAttribute) override;
    std::vector<MonitorInfo> DisplayMonitors() override;
    Hwnd GetForegroundWindow() override;
    std::int32_t GetCursorPos(std::int32_t* x, std::int32_t* y) override;
    std::optional<std::wstring> ProcessImagePath(Pid pid) override;

protected:
    // Runs `work` on a worker thread; throws std::system_error when the
    // system cannot start one.
    virtual void StartWorker(std::function<void()> work);

private:
    struct Pending;
    // A waited call's result and the last error it left on its worker.
    struct Result {
        std::int32_t value = 0;
        std::uint32_t lastError = 0;
    };
    // The thread of a window of another process, which a call on it may
    // wait on; empty for no window, or one of this program's.
    std::optional<std::uint32_t> ThreadElsewhere(Hwnd window);
    // Takes the pending marks off once a call has returned (or could not
    // start); returns the captions put back after it.
    using Release = std::function<std::vector<Hwnd>(Pending&)>;
    // The one way a call reaches a worker: `take`, under the lock, says
    // whether it may run and marks it pending; the worker runs it, then
    // `release` under the lock, then signals `completion` (if any, as
    // `take` left it), then puts back the captions that waited for it.
    // False when `take` refused; std::system_error, with nothing left
    // pending, when no worker can be started.
    bool Hand(const std::function<bool(Pending&)>& take, Release release,
              std::function<void()> call, const std::shared_ptr<Completion>& completion);
    std::int32_t Guarded(Hwnd window, std::function<std::int32_t()> call);
    // FlashWindow(window, 0) on a worker, not waited for.
    std::int32_t PutBackCaption(Hwnd window);

    WindowSystem& inner_;
    std::chrono::milliseconds deadline_;
    std::shared_ptr<CompletionSource> completions_;
    std::shared_ptr<Pending> pending_;
    Workers workers_;
};

}  // namespace vindrel
