#include "platform/deadline_window_system.h"

#include <condition_variable>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <system_error>

#include "platform/conversions.h"
#include "platform/step_error.h"
#include "platform/thread.h"

namespace vindrel {

// Shared with the workers, which may outlive the caller's wait (and this
// object, at the end of the program). A hung program hangs a thread, not
// a window: waited calls are known by the thread of their window, so that
// a call to any window of a thread that has not answered fails at once.
struct DeadlineWindowSystem::Pending {
    std::mutex mutex;
    std::condition_variable idle;
    std::multiset<std::uint32_t> threads;  // with a waited call running
    std::multiset<Hwnd> putBacks;          // with a caption being put back
    // Captions to put back once the waited call on their thread ends.
    std::map<std::uint32_t, std::set<Hwnd>> deferred;
    int asks = 0;  // questions to the shell still running

    bool Idle() const { return threads.empty() && putBacks.empty() && asks == 0; }

    // The waited call on the thread has ended, or will never run. The
    // captions that waited for it are then the caller's to put back.
    std::vector<Hwnd> Release(std::uint32_t thread) {
        threads.erase(threads.find(thread));
        std::vector<Hwnd> putBack;
        if (threads.count(thread) == 0) {
            if (const auto found = deferred.find(thread); found != deferred.end()) {
                putBack.assign(found->second.begin(), found->second.end());
                putBacks.insert(putBack.begin(), putBack.end());
                deferred.erase(found);
            }
        }
        return putBack;
    }

    void PutBackDone(Hwnd window) {
        const std::lock_guard lock(mutex);
        putBacks.erase(putBacks.find(window));
        idle.notify_all();
    }
};

namespace {

// FlashWindow(window, 0), whatever it throws: nobody waits for its answer.
void PutBack(WindowSystem& inner, Hwnd window) {
    try {
        inner.FlashWindow(window, 0);
    } catch (...) {
    }
}

}  // namespace

std::wstring SecondsText(std::chrono::milliseconds duration) {
    const auto ms = duration.count();
    std::wstring text = std::to_wstring(ms / 1000);
    if (const auto fraction = ms % 1000; fraction != 0) {
        std::wstring digits = std::to_wstring(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of(L'0') + 1);
        text += L"." + digits;
    }
    return text;
}

namespace {

// `waited`: this call waited the deadline; otherwise an earlier call to
// the window's thread did, and has not been answered since.
[[noreturn]] void NotResponding(Hwnd window, std::chrono::milliseconds deadline, bool waited) {
    throw StepError(
        L"目标窗口没有响应",
        L"窗口 " + DecimalText(window) + L" 的程序" +
            (waited ? L"等了 " + SecondsText(deadline) + L" 秒仍没有处理请求"
                    : L"还没有处理之前的请求（已等过 " + SecondsText(deadline) + L" 秒）") +
            L"。请求没有撤回：该程序恢复响应后，操作仍可能生效。");
}

}  // namespace

DeadlineWindowSystem::DeadlineWindowSystem(WindowSystem& inner, std::chrono::milliseconds deadline,
                                           std::shared_ptr<CompletionSource> completions)
    : inner_(inner),
      deadline_(deadline),
      completions_(std::move(completions)),
      pending_(std::make_shared<Pending>()) {}

DeadlineWindowSystem::~DeadlineWindowSystem() {
    // Calls not waited for (a caption put back as the program ends) get a
    // moment to finish while what they call still exists; a hung target's
    // call is left to end with the process.
    WaitIdle(std::chrono::milliseconds(250));
}

bool DeadlineWindowSystem::WaitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(pending_->mutex);
    return pending_->idle.wait_for(lock, timeout, [&] { return pending_->Idle(); });
}

void DeadlineWindowSystem::StartWorker(std::function<void()> work) {
    workers_.Run(std::move(work));
}

std::optional<std::uint32_t> DeadlineWindowSystem::ThreadElsewhere(Hwnd window) {
    Pid pid = 0;
    const std::uint32_t thread = inner_.GetWindowThreadProcessId(window, &pid);
    if (thread == 0 || pid == inner_.GetCurrentProcessId()) return std::nullopt;
    return thread;
}

bool DeadlineWindowSystem::Hand(const std::function<bool(Pending&)>& take, Release release,
                                std::function<void()> call,
                                const std::shared_ptr<Completion>& completion) {
    {
        const std::lock_guard lock(pending_->mutex);
        if (!take(*pending_)) return false;
    }
    // Read only now: `take` makes it, for a call that will run.
    auto work = [pending = pending_, &inner = inner_, release, call = std::move(call),
                 completion = completion] {
        call();
        std::vector<Hwnd> putBacks;
        {
            // Off the pending state before the caller hears of the result,
            // so that a call made right after it finds nothing pending.
            const std::lock_guard lock(pending->mutex);
            putBacks = release(*pending);
            pending->idle.notify_all();
        }
        if (completion) completion->Signal();
        // A caption put back while this call was pending comes after it.
        for (const Hwnd window : putBacks) {
            PutBack(inner, window);
            pending->PutBackDone(window);
        }
    };
    try {
        StartWorker(std::move(work));
    } catch (...) {
        // No worker, no call: nothing is left pending.
        const std::lock_guard lock(pending_->mutex);
        for (const Hwnd window : release(*pending_))
            pending_->putBacks.erase(pending_->putBacks.find(window));
        pending_->idle.notify_all();
        throw;
    }
    return true;
}

std::int32_t DeadlineWindowSystem::Guarded(Hwnd window, std::function<std::int32_t()> call) {
    // The call sees the caller's last error and leaves its own on the
    // caller's thread, wherever it runs: a caller clears it before a call
    // whose result 0 may be a value (SetWindowLongA) and reads it after.
    const std::uint32_t before = inner_.GetLastError();
    // No window, or one of ours: nothing to wait for on another thread.
    const std::optional<std::uint32_t> thread = ThreadElsewhere(window);
    if (!thread) {
        inner_.SetLastError(before);
        return call();
    }

    auto done = std::make_shared<std::promise<Result>>();
    std::future<Result> result = done->get_future();
    std::shared_ptr<Completion> completion;
    try {
        const bool started = Hand(
            [&, thread = *thread](Pending& pending) {
                if (pending.threads.count(thread) != 0) return false;
                // Made only for a call that will run (a blink tick at a
                // hung window fails here ten times a second), and before
                // the thread is marked, so that a failure to make it
                // leaves nothing pending.
                completion = completions_->Make();
                pending.threads.insert(thread);
                return true;
            },
            [thread = *thread](Pending& pending) { return pending.Release(thread); },
            [&inner = inner_, call = std::move(call), done, before] {
                try {
                    inner.SetLastError(before);
                    const std::int32_t value = call();
                    done->set_value({value, inner.GetLastError()});
                } catch (...) {
                    done->set_exception(std::current_exception());  // the caller's to see
                }
            },
            completion);
        if (!started) NotResponding(window, deadline_, false);
    } catch (const std::system_error& e) {
        throw StepError(L"无法等待目标窗口", WorkerNotStarted(e));
    }
    if (!completion->Wait(deadline_)) NotResponding(window, deadline_, true);
    const Result got = result.get();
    // Set last: the wait itself may have changed this thread's last error.
    inner_.SetLastError(got.lastError);
    return got.value;
}

Pid DeadlineWindowSystem::GetCurrentProcessId() {
    return inner_.GetCurrentProcessId();
}
KernelHandle DeadlineWindowSystem::CreateToolhelp32Snapshot(std::uint32_t dwFlags,
                                                            Pid th32ProcessID) {
    return inner_.CreateToolhelp32Snapshot(dwFlags, th32ProcessID);
}
std::int32_t DeadlineWindowSystem::Process32First(KernelHandle hSnapshot, ProcessEntry32& entry) {
    return inner_.Process32First(hSnapshot, entry);
}
std::int32_t DeadlineWindowSystem::Process32Next(KernelHandle hSnapshot, ProcessEntry32& entry) {
    return inner_.Process32Next(hSnapshot, entry);
}
std::int32_t DeadlineWindowSystem::CloseHandle(KernelHandle handle) {
    return inner_.CloseHandle(handle);
}
std::uint32_t DeadlineWindowSystem::GetLastError() {
    return inner_.GetLastError();
}
void DeadlineWindowSystem::SetLastError(std::uint32_t dwErrCode) {
    inner_.SetLastError(dwErrCode);
}
std::unique_ptr<WmiConnection> DeadlineWindowSystem::ConnectWmi() {
    return inner_.ConnectWmi();
}
Hwnd DeadlineWindowSystem::FindWindowA(const char* lpClassName, const char* lpWindowName) {
    return inner_.FindWindowA(lpClassName, lpWindowName);
}
Hwnd DeadlineWindowSystem::GetParent(Hwnd hWnd) {
    return inner_.GetParent(hWnd);
}
Hwnd DeadlineWindowSystem::WindowFromPoint(std::int32_t x, std::int32_t y) {
    return inner_.WindowFromPoint(x, y);
}
Hwnd DeadlineWindowSystem::GetAncestor(Hwnd hwnd, std::uint32_t gaFlags) {
    return inner_.GetAncestor(hwnd, gaFlags);
}
std::uint32_t DeadlineWindowSystem::GetWindowThreadProcessId(Hwnd hWnd, Pid* lpdwProcessId) {
    return inner_.GetWindowThreadProcessId(hWnd, lpdwProcessId);
}
Hwnd DeadlineWindowSystem::GetWindow(Hwnd hWnd, std::uint32_t uCmd) {
    return inner_.GetWindow(hWnd, uCmd);
}
std::int32_t DeadlineWindowSystem::GetWindowTextA(Hwnd hWnd, char* lpString,
                                                  std::int32_t nMaxCount) {
    return inner_.GetWindowTextA(hWnd, lpString, nMaxCount);
}
std::int32_t DeadlineWindowSystem::SetWindowTextA(Hwnd hWnd, const char* lpString) {
    // The text is copied: the worker may outlive the caller's buffer.
    return Guarded(hWnd, [&inner = inner_, hWnd, text = std::string(lpString)] {
        return inner.SetWindowTextA(hWnd, text.c_str());
    });
}
std::int32_t DeadlineWindowSystem::GetWindowTextW(Hwnd hWnd, wchar_t* lpString,
                                                  std::int32_t nMaxCount) {
    return inner_.GetWindowTextW(hWnd, lpString, nMaxCount);
}
std::int32_t DeadlineWindowSystem::GetClassNameW(Hwnd hWnd, wchar_t* lpClassName,
                                                 std::int32_t nMaxCount) {
    return inner_.GetClassNameW(hWnd, lpClassName, nMaxCount);
}
std::int32_t DeadlineWindowSystem::SetWindowTextW(Hwnd hWnd, const wchar_t* lpString) {
    return Guarded(hWnd, [&inner = inner_, hWnd, text = std::wstring(lpString)] {
        return inner.SetWindowTextW(hWnd, text.c_str());
    });
}
std::int32_t DeadlineWindowSystem::ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) {
    return Guarded(hWnd,
                   [&inner = inner_, hWnd, nCmdShow] { return inner.ShowWindow(hWnd, nCmdShow); });
}
std::int32_t DeadlineWindowSystem::CloseWindow(Hwnd hWnd) {
    return Guarded(hWnd, [&inner = inner_, hWnd] { return inner.CloseWindow(hWnd); });
}
std::int32_t DeadlineWindowSystem::OpenIcon(Hwnd hWnd) {
    return Guarded(hWnd, [&inner = inner_, hWnd] { return inner.OpenIcon(hWnd); });
}
std::int32_t DeadlineWindowSystem::SetForegroundWindow(Hwnd hWnd) {
    // Activating another thread's window is queued to that thread; the
    // call itself does not wait for it.
    return inner_.SetForegroundWindow(hWnd);
}
std::int32_t DeadlineWindowSystem::PostMessageA(Hwnd hWnd, std::uint32_t Msg, std::int32_t wParam,
                                                std::int32_t lParam) {
    return inner_.PostMessageA(hWnd, Msg, wParam, lParam);
}
std::int32_t DeadlineWindowSystem::IsWindow(Hwnd hWnd) {
    return inner_.IsWindow(hWnd);
}
std::int32_t DeadlineWindowSystem::IsWindowVisible(Hwnd hWnd) {
    return inner_.IsWindowVisible(hWnd);
}
std::int32_t DeadlineWindowSystem::IsIconic(Hwnd hWnd) {
    return inner_.IsIconic(hWnd);
}
std::int32_t DeadlineWindowSystem::FlashWindow(Hwnd hWnd, std::int32_t bInvert) {
    if (bInvert == 0) return PutBackCaption(hWnd);
    return Guarded(hWnd,
                   [&inner = inner_, hWnd, bInvert] { return inner.FlashWindow(hWnd, bInvert); });
}

std::int32_t DeadlineWindowSystem::PutBackCaption(Hwnd window) {
    const std::optional<std::uint32_t> thread = ThreadElsewhere(window);
    if (!thread) return inner_.FlashWindow(window, 0);
    try {
        Hand(
            [thread = *thread, window](Pending& pending) {
                if (pending.threads.count(thread) != 0) {
                    // After the call pending there (a blink that missed its
                    // deadline would invert the caption again when it lands).
                    pending.deferred[thread].insert(window);
                    return false;
                }
                pending.putBacks.insert(window);
                return true;
            },
            [window](Pending& pending) {
                pending.putBacks.erase(pending.putBacks.find(window));
                return std::vector<Hwnd>{};
            },
            [&inner = inner_, window] { PutBack(inner, window); }, nullptr);
    } catch (const std::system_error&) {
        // No worker: the caption stays as it is.
    }
    return 0;
}
std::int32_t DeadlineWindowSystem::GetWindowLongA(Hwnd hWnd, std::int32_t nIndex) {
    return inner_.GetWindowLongA(hWnd, nIndex);
}
std::int32_t DeadlineWindowSystem::SetWindowLongA(Hwnd hWnd, std::int32_t nIndex,
                                                  std::int32_t dwNewLong) {
    return Guarded(hWnd, [&inner = inner_, hWnd, nIndex, dwNewLong] {
        return inner.SetWindowLongA(hWnd, nIndex, dwNewLong);
    });
}
std::int32_t DeadlineWindowSystem::SetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t crKey,
                                                              std::uint8_t bAlpha,
                                                              std::uint32_t dwFlags) {
    return inner_.SetLayeredWindowAttributes(hwnd, crKey, bAlpha, dwFlags);
}

std::int32_t DeadlineWindowSystem::GetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t* pcrKey,
                                                              std::uint8_t* pbAlpha,
                                                              std::uint32_t* pdwFlags) {
    return inner_.GetLayeredWindowAttributes(hwnd, pcrKey, pbAlpha, pdwFlags);
}

std::int32_t DeadlineWindowSystem::Process32FirstW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    return inner_.Process32FirstW(hSnapshot, entry);
}

std::int32_t DeadlineWindowSystem::Process32NextW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    return inner_.Process32NextW(hSnapshot, entry);
}

std::int32_t DeadlineWindowSystem::EnumWindows(const std::function<bool(Hwnd)>& lpEnumFunc) {
    return inner_.EnumWindows(lpEnumFunc);
}

Hwnd DeadlineWindowSystem::FindWindowExW(Hwnd hWndParent, Hwnd hWndChildAfter,
                                         const wchar_t* lpszClass, const wchar_t* lpszWindow) {
    return inner_.FindWindowExW(hWndParent, hWndChildAfter, lpszClass, lpszWindow);
}

std::int32_t DeadlineWindowSystem::GetWindowRect(Hwnd hWnd, ScreenRect* lpRect) {
    return inner_.GetWindowRect(hWnd, lpRect);
}

std::int32_t DeadlineWindowSystem::GetWindowPlacement(Hwnd hWnd, WindowPlacement* lpwndpl) {
    return inner_.GetWindowPlacement(hWnd, lpwndpl);
}

std::int32_t DeadlineWindowSystem::SetWindowPos(Hwnd hWnd, Hwnd hWndInsertAfter, std::int32_t X,
                                                std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                                std::uint32_t uFlags) {
    return Guarded(hWnd, [&inner = inner_, hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags] {
        return inner.SetWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
    });
}

std::int32_t DeadlineWindowSystem::SetWindowPlacement(Hwnd hWnd, const WindowPlacement* lpwndpl) {
    return Guarded(hWnd, [&inner = inner_, hWnd, placement = *lpwndpl] {
        return inner.SetWindowPlacement(hWnd, &placement);
    });
}

std::int32_t DeadlineWindowSystem::IsWindowOnCurrentVirtualDesktop(Hwnd hWnd,
                                                                   std::int32_t* onCurrentDesktop) {
    // Asked on a worker of its own, which joins the multithreaded apartment;
    // a shell that does not answer within the deadline leaves it unsaid.
    struct Answer {
        std::int32_t result = api::kHresultTimeout;
        std::int32_t on = 0;
    };
    const auto answer = std::make_shared<Answer>();
    try {
        std::shared_ptr<Completion> completion;
        const bool asked = Hand(
            [&](Pending& pending) {
                // A shell that has not answered the last question is not
                // asked again.
                if (pending.asks != 0) return false;
                completion = completions_->Make();
                ++pending.asks;
                return true;
            },
            [](Pending& pending) {
                --pending.asks;
                return std::vector<Hwnd>{};
            },
            [&inner = inner_, hWnd, answer] {
                try {
                    answer->result = inner.IsWindowOnCurrentVirtualDesktop(hWnd, &answer->on);
                } catch (...) {
                    answer->result = api::kHresultTimeout;
                }
            },
            completion);
        if (!asked || !completion->Wait(deadline_)) return api::kHresultTimeout;
    } catch (const StepError&) {
        return api::kHresultTimeout;
    } catch (const std::system_error&) {
        return api::kHresultTimeout;
    }
    if (answer->result >= 0 && onCurrentDesktop != nullptr) *onCurrentDesktop = answer->on;
    return answer->result;
}

std::int32_t DeadlineWindowSystem::IsHungAppWindow(Hwnd hwnd) {
    return inner_.IsHungAppWindow(hwnd);
}

std::int32_t DeadlineWindowSystem::DwmGetWindowAttribute(Hwnd hwnd, std::uint32_t dwAttribute,
                                                         void* pvAttribute,
                                                         std::uint32_t cbAttribute) {
    return inner_.DwmGetWindowAttribute(hwnd, dwAttribute, pvAttribute, cbAttribute);
}

std::vector<MonitorInfo> DeadlineWindowSystem::DisplayMonitors() {
    return inner_.DisplayMonitors();
}

Hwnd DeadlineWindowSystem::GetForegroundWindow() {
    return inner_.GetForegroundWindow();
}
std::int32_t DeadlineWindowSystem::GetCursorPos(std::int32_t* x, std::int32_t* y) {
    return inner_.GetCursorPos(x, y);
}

std::optional<std::wstring> DeadlineWindowSystem::ProcessImagePath(Pid pid) {
    return inner_.ProcessImagePath(pid);
}

}  // namespace vindrel
