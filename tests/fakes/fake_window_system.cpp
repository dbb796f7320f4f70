#include "fakes/fake_window_system.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/step_error.h"
#include "platform/text.h"

namespace vindrel::testing {

namespace {

// Each thread has its own, as on Windows; a new thread starts with 0.
thread_local std::uint32_t lastError = 0;
constexpr std::uint32_t kInvalidWindowHandle = 1400;
constexpr std::uint32_t kInvalidIndex = 1413;

// Whether a change to the window is refused; it then fails as Windows
// fails it, with access denied.
bool Refused(const FakeWindow& w) {
    if (!w.refuses) return false;
    lastError = FakeWindowSystem::kAccessDenied;
    return true;
}

[[noreturn]] void FailWmi(const std::wstring& call, std::uint32_t code) {
    throw StepError(L"无法列出正在运行的进程",
                    L"WMI 调用 " + call + L" 失败（HRESULT " + HexCode(code) + L"）", code);
}

// Takes the first of the failures waiting, if any, and throws it.
void FailIfAsked(std::vector<std::uint32_t>& failures, const std::wstring& call) {
    if (failures.empty()) return;
    const std::uint32_t code = failures.front();
    failures.erase(failures.begin());
    FailWmi(call, code);
}

// As GetWindowText copies a title: what fits, then a NUL; the count copied.
template <class Char>
std::int32_t CopyTitle(const std::basic_string<Char>& title, Char* buffer, std::int32_t size) {
    const auto count = std::min<std::size_t>(title.size(), static_cast<std::size_t>(size - 1));
    std::copy_n(title.data(), count, buffer);
    buffer[count] = Char();
    return static_cast<std::int32_t>(count);
}

class FakeWmiCollection : public WmiCollection {
public:
    FakeWmiCollection(std::vector<WmiObject> objects, std::optional<std::size_t> failAfter,
                      std::uint32_t failure, std::function<void(std::size_t)> during, int& live)
        : objects_(std::move(objects)),
          failAfter_(failAfter),
          failure_(failure),
          during_(std::move(during)),
          live_(live) {
        ++live_;
    }
    ~FakeWmiCollection() override { --live_; }

    bool Next(WmiObject& object) override {
        if (during_) during_(next_);
        if (failAfter_ && next_ == *failAfter_) FailWmi(L"IEnumWbemClassObject::Next", failure_);
        if (next_ == objects_.size()) return false;
        object = objects_[next_++];
        return true;
    }

private:
    std::vector<WmiObject> objects_;
    std::optional<std::size_t> failAfter_;
    std::uint32_t failure_;
    std::function<void(std::size_t)> during_;
    std::size_t next_ = 0;
    int& live_;
};

}  // namespace

FakeWindow& FakeWindowSystem::AddWindow(Hwnd hwnd, Pid pid, std::string title) {
    FakeWindow window;
    window.hwnd = hwnd;
    window.pid = pid;
    window.title = FromAnsi(title);
    windows.push_back(window);
    return windows.back();
}

void FakeWindowSystem::Mark(const std::string& line) {
    const Lock lock(mutex_);
    log.push_back(line);
}

FakeWindow* FakeWindowSystem::Find(Hwnd hwnd) {
    if (hwnd == 0) return nullptr;
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [hwnd](const FakeWindow& w) { return w.hwnd == hwnd; });
    return found == windows.end() ? nullptr : &*found;
}

FakeWindowSystem::Lock FakeWindowSystem::Record(const std::string& name, const std::string& args) {
    Lock lock(mutex_);
    lastCaller = std::this_thread::get_id();
    ++calls[name];
    log.push_back(name + "(" + args + ")");
    return lock;
}

void FakeWindowSystem::WaitWhileHung(Lock& lock, Hwnd hwnd) {
    const FakeWindow* w = Find(hwnd);
    if (w == nullptr) return;
    const std::uint32_t thread = ThreadOf(*w);
    ++blocked_;
    // Looks again every few milliseconds, so that a wake-up that never
    // arrives costs no more than that.
    while (!recovered_.wait_for(lock, std::chrono::milliseconds(10),
                                [&] { return hungThreads_.count(thread) == 0; })) {
    }
    --blocked_;
}

void FakeWindowSystem::Hang(Hwnd hwnd) {
    const Lock lock(mutex_);
    if (const FakeWindow* w = Find(hwnd)) {
        hungThreads_.insert(ThreadOf(*w));
        hungBy_[hwnd] = ThreadOf(*w);
    }
}

void FakeWindowSystem::SetVisible(FakeWindow& w, bool visible) {
    if (visible && !w.visible) w.shownAs = FakeWindow::Seen{w.rect, w.alpha, w.iconic};
    w.visible = visible;
}

void FakeWindowSystem::Recover(Hwnd hwnd) {
    {
        const Lock lock(mutex_);
        const FakeWindow* w = Find(hwnd);
        const auto hung = hungBy_.find(hwnd);
        if (w != nullptr) hungThreads_.erase(ThreadOf(*w));
        if (hung != hungBy_.end()) hungThreads_.erase(hung->second);
    }
    recovered_.notify_all();
}

int FakeWindowSystem::Blocked() {
    const Lock lock(mutex_);
    return blocked_;
}

Pid FakeWindowSystem::GetCurrentProcessId() {
    const auto lock = Record("GetCurrentProcessId", "");
    return kOwnPid;
}

KernelHandle FakeWindowSystem::CreateToolhelp32Snapshot(std::uint32_t dwFlags, Pid th32ProcessID) {
    const auto lock = Record("CreateToolhelp32Snapshot",
                             std::to_string(dwFlags) + "," + std::to_string(th32ProcessID));
    if (snapshotFails) return kInvalidHandle;
    const KernelHandle handle = nextSnapshot_++;
    snapshots_[handle] = Snapshot{processes, 0};
    return handle;
}

const FakeProcess* FakeWindowSystem::Walk(KernelHandle hSnapshot, std::uint32_t size,
                                          std::uint32_t expected, bool first) {
    const auto found = snapshots_.find(hSnapshot);
    if (found == snapshots_.end() || size != expected) return nullptr;
    Snapshot& snapshot = found->second;
    if (first) snapshot.next = 0;
    if (snapshot.next >= snapshot.records.size()) return nullptr;
    return &snapshot.records[snapshot.next++];
}

namespace {

std::int32_t Fill(const FakeProcess* process, ProcessEntry32& entry) {
    if (process == nullptr) return 0;
    entry.th32ProcessID = static_cast<std::uint32_t>(process->pid);
    std::memset(entry.szExeFile, 0, sizeof entry.szExeFile);
    std::memcpy(entry.szExeFile, process->exeFile.data(),
                std::min(process->exeFile.size(), sizeof entry.szExeFile - 1));
    return 1;
}

std::int32_t Fill(const FakeProcess* process, ProcessEntry32W& entry) {
    if (process == nullptr) return 0;
    entry.th32ProcessID = static_cast<std::uint32_t>(process->pid);
    const std::wstring name =
        process->wideExe.empty() ? FromAnsi(process->exeFile) : process->wideExe;
    std::fill(std::begin(entry.szExeFile), std::end(entry.szExeFile), L'\0');
    std::copy_n(name.data(), std::min<std::size_t>(name.size(), 259), entry.szExeFile);
    return 1;
}

}  // namespace

std::int32_t FakeWindowSystem::Process32First(KernelHandle hSnapshot, ProcessEntry32& entry) {
    const auto lock = Record("Process32First", std::to_string(hSnapshot));
    return Fill(Walk(hSnapshot, entry.dwSize, sizeof entry, true), entry);
}

std::int32_t FakeWindowSystem::Process32Next(KernelHandle hSnapshot, ProcessEntry32& entry) {
    const auto lock = Record("Process32Next", std::to_string(hSnapshot));
    return Fill(Walk(hSnapshot, entry.dwSize, sizeof entry, false), entry);
}

std::int32_t FakeWindowSystem::Process32FirstW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    const auto lock = Record("Process32FirstW", std::to_string(hSnapshot));
    return Fill(Walk(hSnapshot, entry.dwSize, sizeof entry, true), entry);
}

std::int32_t FakeWindowSystem::Process32NextW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    const auto lock = Record("Process32NextW", std::to_string(hSnapshot));
    return Fill(Walk(hSnapshot, entry.dwSize, sizeof entry, false), entry);
}

std::int32_t FakeWindowSystem::CloseHandle(KernelHandle handle) {
    const auto lock = Record("CloseHandle", std::to_string(handle));
    return snapshots_.erase(handle) ? 1 : 0;
}

std::uint32_t FakeWindowSystem::GetLastError() {
    return lastError;
}

void FakeWindowSystem::SetLastError(std::uint32_t dwErrCode) {
    lastError = dwErrCode;
}

class FakeWindowSystem::Connection : public WmiConnection {
public:
    explicit Connection(FakeWindowSystem& ws) : ws_(ws) { ++ws_.liveWmiConnections; }
    ~Connection() override {
        const Lock lock(ws_.mutex_);
        --ws_.liveWmiConnections;
    }

    std::unique_ptr<WmiCollection> ExecQuery(const std::wstring& wql) override {
        const auto lock = ws_.Record("ExecQuery", std::string(wql.begin(), wql.end()));
        FailIfAsked(ws_.wmiQueryFailures, L"ExecQuery");
        return std::make_unique<FakeWmiCollection>(ws_.wmiObjects, ws_.wmiFailAfter,
                                                   ws_.wmiWalkFailure, ws_.duringWmiWalk,
                                                   ws_.liveWmiCollections);
    }

private:
    FakeWindowSystem& ws_;
};

int FakeWindowSystem::LiveWmiConnections() {
    const Lock lock(mutex_);
    return liveWmiConnections;
}

std::unique_ptr<WmiConnection> FakeWindowSystem::ConnectWmi() {
    if (duringWmiConnect) duringWmiConnect();
    const auto lock = Record("ConnectWmi", "");
    FailIfAsked(wmiConnectFailures, L"ConnectServer");
    return std::make_unique<Connection>(*this);
}

Hwnd FakeWindowSystem::FindWindowA(const char* lpClassName, const char* lpWindowName) {
    const auto lock = Record("FindWindowA", std::string(lpClassName ? lpClassName : "null") + "," +
                                                (lpWindowName ? lpWindowName : "null"));
    for (const FakeWindow& w : windows) {
        if (w.parent == 0) return w.hwnd;
    }
    return 0;
}

Hwnd FakeWindowSystem::GetParent(Hwnd hWnd) {
    const auto lock = Record("GetParent", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    if (w->parent != 0) return w->parent;
    if (w->popup) return w->owner;
    return 0;
}

Hwnd FakeWindowSystem::WindowFromPoint(std::int32_t x, std::int32_t y) {
    const auto lock = Record("WindowFromPoint", std::to_string(x) + "," + std::to_string(y));
    // The first window in window-manager order that holds the point and
    // is shown, its parents included: list a child before its parent.
    const auto shown = [this](const FakeWindow* w) {
        for (; w != nullptr; w = w->parent != 0 ? Find(w->parent) : nullptr) {
            if (!w->visible) return false;
        }
        return true;
    };
    for (const FakeWindow& w : windows) {
        if (shown(&w) && x >= w.rect.left && x < w.rect.right && y >= w.rect.top &&
            y < w.rect.bottom) {
            return w.hwnd;
        }
    }
    return 0;
}

Hwnd FakeWindowSystem::GetAncestor(Hwnd hwnd, std::uint32_t gaFlags) {
    const auto lock = Record("GetAncestor", std::to_string(hwnd) + "," + std::to_string(gaFlags));
    const FakeWindow* w = Find(hwnd);
    if (w == nullptr) return 0;
    if (gaFlags == api::kGaRootOwner) {  // up the parents, then the owners
        while ((w->parent != 0  ? Find(w->parent)
                : w->owner != 0 ? Find(w->owner)
                                : nullptr) != nullptr)
            w = w->parent != 0 ? Find(w->parent) : Find(w->owner);
        return w->hwnd;
    }
    if (gaFlags != api::kGaRoot) return 0;
    while (w->parent != 0 && Find(w->parent) != nullptr)
        w = Find(w->parent);
    return w->hwnd;
}

std::uint32_t FakeWindowSystem::GetWindowThreadProcessId(Hwnd hWnd, Pid* lpdwProcessId) {
    const auto lock = Record("GetWindowThreadProcessId", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    if (lpdwProcessId != nullptr) *lpdwProcessId = w->pid;
    return ThreadOf(*w);
}

Hwnd FakeWindowSystem::GetWindow(Hwnd hWnd, std::uint32_t uCmd) {
    const auto lock = Record("GetWindow", std::to_string(hWnd) + "," + std::to_string(uCmd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    if (uCmd == api::kGwOwner) return w->owner;
    if (uCmd != api::kGwHwndNext) return 0;
    // The next sibling: the next window in order with the same parent.
    const Hwnd level = w->parent;
    auto it = windows.begin() + (w - windows.data()) + 1;
    for (; it != windows.end(); ++it) {
        if (it->parent == level) return it->hwnd;
    }
    return 0;
}

std::int32_t FakeWindowSystem::GetWindowTextA(Hwnd hWnd, char* lpString, std::int32_t nMaxCount) {
    const auto lock =
        Record("GetWindowTextA", std::to_string(hWnd) + "," + std::to_string(nMaxCount));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr || nMaxCount <= 0) return 0;
    return CopyTitle(ToAnsi(w->title), lpString, nMaxCount);
}

std::int32_t FakeWindowSystem::SetWindowTextA(Hwnd hWnd, const char* lpString) {
    auto lock = Record("SetWindowTextA", std::to_string(hWnd) + "," + lpString);
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || Refused(*w)) return 0;
    if (!w->ignores) w->title = FromAnsi(lpString);
    return 1;
}

std::int32_t FakeWindowSystem::GetWindowTextW(Hwnd hWnd, wchar_t* lpString,
                                              std::int32_t nMaxCount) {
    const auto lock =
        Record("GetWindowTextW", std::to_string(hWnd) + "," + std::to_string(nMaxCount));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr || nMaxCount <= 0) return 0;
    return CopyTitle(w->title, lpString, nMaxCount);
}

std::int32_t FakeWindowSystem::GetClassNameW(Hwnd hWnd, wchar_t* lpClassName,
                                             std::int32_t nMaxCount) {
    const auto lock = Record("GetClassNameW", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr || nMaxCount <= 0) return 0;
    return CopyTitle(w->className, lpClassName, nMaxCount);
}

std::int32_t FakeWindowSystem::SetWindowTextW(Hwnd hWnd, const wchar_t* lpString) {
    auto lock = Record("SetWindowTextW", std::to_string(hWnd) + "," + ToAnsi(lpString));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || Refused(*w) || w->keepsTitle) return 0;
    if (!w->ignores) w->title = lpString;
    return 1;
}

std::int32_t FakeWindowSystem::ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) {
    if (whileShowing) whileShowing(hWnd);
    auto lock = Record("ShowWindow", std::to_string(hWnd) + "," + std::to_string(nCmdShow));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    const bool wasVisible = w->visible;
    if (Refused(*w)) return 0;
    if (w->ignores) return wasVisible ? 1 : 0;
    if (nCmdShow == api::kSwShowNoActivate && (w->iconic || w->maximised)) {
        Restore(*w);  // to its normal position
    } else if (nCmdShow == api::kSwShowMaximized) {
        // On the monitor it lies on; its normal position is kept.
        if (!w->normal) w->normal = Placed(*w, w->rect, false);
        Maximise(*w, w->rect);
    }
    SetVisible(*w, nCmdShow != api::kSwHide);
    return wasVisible ? 1 : 0;
}

// As on Windows: ShowWindow(SW_MINIMIZE), which shows a hidden window too;
// a child window is refused.
std::int32_t FakeWindowSystem::CloseWindow(Hwnd hWnd) {
    auto lock = Record("CloseWindow", std::to_string(hWnd));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || w->parent != 0 || Refused(*w)) return 0;
    if (!w->ignores) {
        w->iconic = true;
        SetVisible(*w, true);
    }
    return 1;
}

std::int32_t FakeWindowSystem::OpenIcon(Hwnd hWnd) {
    auto lock = Record("OpenIcon", std::to_string(hWnd));
    WaitWhileHung(lock, hWnd);
    // As on Windows: only a minimised window is restored (and shown).
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || !w->iconic || Refused(*w)) return 0;
    if (!w->ignores) {
        w->iconic = false;
        SetVisible(*w, true);
    }
    return 1;
}

std::int32_t FakeWindowSystem::SetForegroundWindow(Hwnd hWnd) {
    const auto lock = Record("SetForegroundWindow", std::to_string(hWnd));
    if (Find(hWnd) == nullptr) return 0;
    foreground = hWnd;
    return 1;
}

std::int32_t FakeWindowSystem::PostMessageA(Hwnd hWnd, std::uint32_t Msg, std::int32_t wParam,
                                            std::int32_t lParam) {
    const auto lock =
        Record("PostMessageA", std::to_string(hWnd) + "," + std::to_string(Msg) + "," +
                                   std::to_string(wParam) + "," + std::to_string(lParam));
    // As on Windows: window 0 queues a thread message, the broadcast handle
    // reaches every top-level window; both succeed.
    if (hWnd != 0 && hWnd != api::kHwndBroadcast && Find(hWnd) == nullptr) return 0;
    if (const FakeWindow* w = Find(hWnd); w != nullptr && Refused(*w)) return 0;
    posted.push_back({hWnd, Msg, wParam, lParam});
    return 1;
}

std::int32_t FakeWindowSystem::IsWindow(Hwnd hWnd) {
    const auto lock = Record("IsWindow", std::to_string(hWnd));
    return Find(hWnd) != nullptr ? 1 : 0;
}

std::int32_t FakeWindowSystem::IsWindowVisible(Hwnd hWnd) {
    const auto lock = Record("IsWindowVisible", std::to_string(hWnd));
    // Its own flag, and its parents'.
    for (const FakeWindow* w = Find(hWnd);; w = Find(w->parent)) {
        if (w == nullptr || !w->visible) return 0;
        if (w->parent == 0) return 1;
    }
}

std::int32_t FakeWindowSystem::IsIconic(Hwnd hWnd) {
    const auto lock = Record("IsIconic", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    return w != nullptr && w->iconic ? 1 : 0;
}

std::int32_t FakeWindowSystem::FlashWindow(Hwnd hWnd, std::int32_t bInvert) {
    auto lock = Record("FlashWindow", std::to_string(hWnd) + "," + std::to_string(bInvert));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    // Returns whether the caption looked active before the call; invert 0
    // puts the caption back as it was.
    const bool wasInverted = w->flashes % 2 == 1;
    if (bInvert != 0) {
        ++w->flashes;
    } else {
        w->flashes = 0;
    }
    return wasInverted ? 1 : 0;
}

std::int32_t FakeWindowSystem::GetWindowLongA(Hwnd hWnd, std::int32_t nIndex) {
    const auto lock = Record("GetWindowLongA", std::to_string(hWnd) + "," + std::to_string(nIndex));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    if (nIndex == api::kGwlStyle) {
        return (w->visible ? api::kWsVisible : 0) | (w->parent != 0 ? api::kWsChild : 0) |
               (w->iconic ? api::kWsMinimize : 0) | (w->maximised ? api::kWsMaximize : 0) |
               (w->sizable ? api::kWsThickFrame : 0) | (w->captioned ? api::kWsCaption : 0);
    }
    return nIndex == api::kGwlExStyle ? w->exStyle : 0;
}

std::int32_t FakeWindowSystem::SetWindowLongA(Hwnd hWnd, std::int32_t nIndex,
                                              std::int32_t dwNewLong) {
    auto lock = Record("SetWindowLongA", std::to_string(hWnd) + "," + std::to_string(nIndex) + "," +
                                             std::to_string(dwNewLong));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr) {
        lastError = kInvalidWindowHandle;
        return 0;
    }
    if (nIndex != api::kGwlExStyle) {
        lastError = kInvalidIndex;
        return 0;
    }
    // As on Windows, success leaves the last error as it was.
    if (Refused(*w)) return 0;
    const std::int32_t previous = w->exStyle;
    if (w->ignores) return previous;
    w->exStyle = dwNewLong;
    if ((dwNewLong & api::kWsExLayered) == 0) w->alpha.reset();  // the attributes go with the style
    return previous;
}

std::int32_t FakeWindowSystem::SetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t crKey,
                                                          std::uint8_t bAlpha,
                                                          std::uint32_t dwFlags) {
    const auto lock = Record("SetLayeredWindowAttributes",
                             std::to_string(hwnd) + "," + std::to_string(crKey) + "," +
                                 std::to_string(bAlpha) + "," + std::to_string(dwFlags));
    FakeWindow* w = Find(hwnd);
    if (w == nullptr || (w->exStyle & api::kWsExLayered) == 0 || Refused(*w) || w->keepsAlpha) {
        return 0;
    }
    if (w->ignores) return 1;
    w->alpha = bAlpha;
    w->layeredKey = crKey;
    w->layeredFlags = dwFlags;
    return 1;
}

std::int32_t FakeWindowSystem::GetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t* pcrKey,
                                                          std::uint8_t* pbAlpha,
                                                          std::uint32_t* pdwFlags) {
    const auto lock = Record("GetLayeredWindowAttributes", std::to_string(hwnd));
    const FakeWindow* w = Find(hwnd);
    if (w == nullptr || (w->exStyle & api::kWsExLayered) == 0 || !w->alpha) return 0;
    if (pcrKey != nullptr) *pcrKey = w->layeredKey;
    if (pbAlpha != nullptr) *pbAlpha = *w->alpha;
    if (pdwFlags != nullptr) *pdwFlags = w->layeredFlags;
    return 1;
}

std::int32_t FakeWindowSystem::EnumWindows(const std::function<bool(Hwnd)>& lpEnumFunc) {
    std::vector<Hwnd> topLevel;
    {
        const auto lock = Record("EnumWindows", "");
        std::vector<const FakeWindow*> order;
        for (const FakeWindow& w : windows) {
            if (w.parent == 0) order.push_back(&w);
        }
        // Those raised on top, the latest first; then the others in order.
        std::stable_sort(order.begin(), order.end(), [](const FakeWindow* a, const FakeWindow* b) {
            return a->raised > b->raised;
        });
        for (const FakeWindow* w : order)
            topLevel.push_back(w->hwnd);
    }
    // The callback runs without the lock, as it may call the fake.
    for (const Hwnd hwnd : topLevel) {
        if (!lpEnumFunc(hwnd)) break;
    }
    return 1;
}

Hwnd FakeWindowSystem::FindWindowExW(Hwnd hWndParent, Hwnd hWndChildAfter, const wchar_t* lpszClass,
                                     const wchar_t* lpszWindow) {
    const auto lock = Record("FindWindowExW", std::to_string(hWndParent));
    bool after = hWndChildAfter == 0;
    for (const FakeWindow& w : windows) {
        if (w.parent != hWndParent) continue;
        if (!after) {
            after = w.hwnd == hWndChildAfter;
            continue;
        }
        if ((lpszClass == nullptr || w.className == lpszClass) &&
            (lpszWindow == nullptr || w.title == lpszWindow)) {
            return w.hwnd;
        }
    }
    return 0;
}

std::int32_t FakeWindowSystem::GetWindowRect(Hwnd hWnd, ScreenRect* lpRect) {
    const auto lock = Record("GetWindowRect", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    *lpRect = w->rect;
    return 1;
}

std::int32_t FakeWindowSystem::GetWindowPlacement(Hwnd hWnd, WindowPlacement* lpwndpl) {
    const auto lock = Record("GetWindowPlacement", std::to_string(hWnd));
    const FakeWindow* w = Find(hWnd);
    if (w == nullptr) return 0;
    lpwndpl->showCmd = w->iconic ? 2 : w->maximised ? 3 : 1;
    if (w->normal) {
        lpwndpl->rcNormalPosition = *w->normal;
    } else {
        lpwndpl->rcNormalPosition = Placed(*w, w->rect, false);
    }
    return 1;
}

std::int32_t FakeWindowSystem::IsHungAppWindow(Hwnd hwnd) {
    const auto lock = Record("IsHungAppWindow", std::to_string(hwnd));
    const FakeWindow* w = Find(hwnd);
    return w != nullptr && hungThreads_.count(ThreadOf(*w)) != 0 ? 1 : 0;
}

std::int32_t FakeWindowSystem::DwmGetWindowAttribute(Hwnd hwnd, std::uint32_t dwAttribute,
                                                     void* pvAttribute, std::uint32_t cbAttribute) {
    const auto lock = Record("DwmGetWindowAttribute", std::to_string(hwnd));
    constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001);
    constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057);
    if (!dwm) return kNotImplemented;
    const FakeWindow* w = Find(hwnd);
    if (w == nullptr || dwAttribute != api::kDwmwaCloaked || cbAttribute != sizeof(std::uint32_t)) {
        return kInvalidArgument;
    }
    std::memcpy(pvAttribute, &w->cloaked, sizeof w->cloaked);
    return 0;
}

std::int32_t FakeWindowSystem::SetWindowPos(Hwnd hWnd, Hwnd hWndInsertAfter, std::int32_t X,
                                            std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                            std::uint32_t uFlags) {
    auto lock = Record("SetWindowPos",
                       std::to_string(hWnd) + "," + std::to_string(hWndInsertAfter) + "," +
                           std::to_string(X) + "," + std::to_string(Y) + "," + std::to_string(cx) +
                           "," + std::to_string(cy) + "," + std::to_string(uFlags));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || Refused(*w)) return 0;
    if (w->ignores) return 1;
    if ((uFlags & api::kSwpNoZOrder) == 0) {
        if (hWndInsertAfter == api::kHwndTop) w->raised = ++raises_;
        if (hWndInsertAfter == api::kHwndTopmost) w->exStyle |= api::kWsExTopmost;
        if (hWndInsertAfter == api::kHwndNoTopmost) w->exStyle &= ~api::kWsExTopmost;
    }
    if ((uFlags & api::kSwpNoMove) == 0 && !w->pinned) {
        w->rect = {X, Y, X + w->rect.right - w->rect.left, Y + w->rect.bottom - w->rect.top};
    }
    if ((uFlags & api::kSwpNoSize) == 0 && !w->pinned) {
        w->rect.right = w->rect.left + cx;
        w->rect.bottom = w->rect.top + cy;
    }
    return 1;
}

ScreenRect FakeWindowSystem::Placed(const FakeWindow& w, const ScreenRect& rect, bool toScreen) {
    if ((w.exStyle & api::kWsExToolWindow) != 0) return rect;
    if (toScreen) return FromWorkspace(rect, monitors);
    const MonitorInfo* on = MonitorOf(rect, monitors);
    return on != nullptr ? ToWorkspace(rect, *on) : rect;
}

void FakeWindowSystem::Maximise(FakeWindow& w, const ScreenRect& at) {
    const MonitorInfo* on = MonitorOf(at, monitors);
    if (on != nullptr) w.rect = on->work;
    w.iconic = false;
    w.maximised = true;
}

void FakeWindowSystem::Restore(FakeWindow& w) {
    if (w.normal) w.rect = Placed(w, *w.normal, true);
    w.normal.reset();
    w.iconic = w.maximised = false;
}

// The normal position is in workspace coordinates (screen coordinates for
// a tool window). A restoring command restores the window there; as on
// Windows, SW_SHOWMAXIMIZED maximises a window not maximised yet on that
// position's monitor, and leaves one maximised already where it is.
std::int32_t FakeWindowSystem::SetWindowPlacement(Hwnd hWnd, const WindowPlacement* lpwndpl) {
    auto lock =
        Record("SetWindowPlacement", std::to_string(hWnd) + "," + std::to_string(lpwndpl->showCmd));
    WaitWhileHung(lock, hWnd);
    FakeWindow* w = Find(hWnd);
    if (w == nullptr || Refused(*w)) return 0;
    if (w->ignores) return 1;
    const auto command = static_cast<std::int32_t>(lpwndpl->showCmd);
    w->normal = lpwndpl->rcNormalPosition;
    if (command == api::kSwShowMaximized) {
        if (!w->maximised) Maximise(*w, Placed(*w, *w->normal, true));
        SetVisible(*w, true);
    } else if (command == api::kSwShowNormal || command == api::kSwShowNoActivate) {
        Restore(*w);
        SetVisible(*w, true);
    } else if (!w->iconic && !w->maximised) {
        Restore(*w);
    }
    return 1;
}

std::int32_t FakeWindowSystem::IsWindowOnCurrentVirtualDesktop(Hwnd hWnd,
                                                               std::int32_t* onCurrentDesktop) {
    const auto lock = Record("IsWindowOnCurrentVirtualDesktop", std::to_string(hWnd));
    constexpr auto kClassNotRegistered = static_cast<std::int32_t>(0x80040154);
    const FakeWindow* w = Find(hWnd);
    if (!desktops || w == nullptr) return kClassNotRegistered;
    *onCurrentDesktop = w->otherDesktop ? 0 : 1;
    return 0;
}

std::int32_t FakeWindowSystem::GetCursorPos(std::int32_t* x, std::int32_t* y) {
    const auto lock = Record("GetCursorPos", "");
    *x = cursorX;
    *y = cursorY;
    return 1;
}

Hwnd FakeWindowSystem::GetForegroundWindow() {
    const auto lock = Record("GetForegroundWindow", "");
    return foreground;
}

std::optional<std::wstring> FakeWindowSystem::ProcessImagePath(Pid pid) {
    const auto lock = Record("ProcessImagePath", std::to_string(pid));
    for (const FakeProcess& process : processes) {
        if (process.pid != pid) continue;
        if (!process.path.empty()) return process.path;
        return L"C:\\Programs\\" +
               (process.wideExe.empty() ? FromAnsi(process.exeFile) : process.wideExe);
    }
    return std::nullopt;
}

std::vector<MonitorInfo> FakeWindowSystem::DisplayMonitors() {
    const auto lock = Record("DisplayMonitors", "");
    return monitors;
}

}  // namespace vindrel::testing
