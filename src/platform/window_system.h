// The window-system and process services: the Tool Help snapshot, the WMI
// process listing and the user32 calls made on other programs' windows.
// The operations keep the platform's names, arguments and results; handles
// and ids are signed 32-bit integers, text crosses in the ANSI code page
// (the `A` calls) or as the platform's wide characters (the `W` calls).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/outline_geometry.h"
#include "platform/types.h"

namespace vindrel {

// PROCESSENTRY32 as on 32-bit Windows, the executable's name in ANSI
// bytes (296 bytes in all) or in wide characters (PROCESSENTRY32W: the
// ANSI name turns what the code page lacks into "?").
template <class Char>
struct BasicProcessEntry32 {
    std::uint32_t dwSize;
    std::uint32_t cntUsage;
    std::uint32_t th32ProcessID;
    std::uint32_t th32DefaultHeapID;
    std::uint32_t th32ModuleID;
    std::uint32_t cntThreads;
    std::uint32_t th32ParentProcessID;
    std::int32_t pcPriClassBase;
    std::uint32_t dwFlags;
    Char szExeFile[260];
};
using ProcessEntry32 = BasicProcessEntry32<char>;
using ProcessEntry32W = BasicProcessEntry32<wchar_t>;
static_assert(sizeof(ProcessEntry32) == 296);

// WINDOWPLACEMENT. The normal position of a top-level window without
// WS_EX_TOOLWINDOW is in workspace coordinates: relative to the work area
// of the monitor it lies on (MonitorOf its position in screen coordinates).
struct WindowPlacement {
    std::uint32_t length = 44;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    std::int32_t ptMinPosition[2]{};
    std::int32_t ptMaxPosition[2]{};
    ScreenRect rcNormalPosition{};
};

// One display monitor: its rectangle and work area (screen coordinates,
// physical pixels), and whether it is the primary one.
struct MonitorInfo {
    ScreenRect monitor{};
    ScreenRect work{};
    bool primary = false;
};

// As MonitorFromRect with MONITOR_DEFAULTTOPRIMARY: the monitor the
// rectangle shares most with, or the primary one; nullptr for no monitors.
inline const MonitorInfo* MonitorOf(const ScreenRect& rect,
                                    const std::vector<MonitorInfo>& monitors) {
    const MonitorInfo* best = nullptr;
    long long most = 0;
    for (const MonitorInfo& each : monitors) {
        const long long width =
            std::min(rect.right, each.monitor.right) - std::max(rect.left, each.monitor.left);
        const long long height =
            std::min(rect.bottom, each.monitor.bottom) - std::max(rect.top, each.monitor.top);
        if (width > 0 && height > 0 && width * height > most) {
            most = width * height;
            best = &each;
        }
    }
    if (best != nullptr) return best;
    for (const MonitorInfo& each : monitors) {
        if (each.primary) return &each;
    }
    return monitors.empty() ? nullptr : &monitors.front();
}

// A rectangle in workspace coordinates (a normal position) in screen
// coordinates: moved back by the offset of the work area of the monitor
// whose offset puts it on that monitor (the primary one where none does).
inline ScreenRect FromWorkspace(const ScreenRect& rect, const std::vector<MonitorInfo>& monitors) {
    const auto shifted = [&rect](const MonitorInfo& m) {
        const int dx = m.work.left - m.monitor.left, dy = m.work.top - m.monitor.top;
        return ScreenRect{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    };
    for (const MonitorInfo& monitor : monitors) {
        if (MonitorOf(shifted(monitor), monitors) == &monitor) return shifted(monitor);
    }
    const MonitorInfo* primary = MonitorOf({}, monitors);
    return primary != nullptr ? shifted(*primary) : rect;
}

// A rectangle on that monitor in its workspace coordinates.
inline ScreenRect ToWorkspace(const ScreenRect& rect, const MonitorInfo& on) {
    const int dx = on.work.left - on.monitor.left, dy = on.work.top - on.monitor.top;
    return {rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy};
}

// What the listing reads of one Win32_Process object.
struct WmiObject {
    std::wstring Name;
    // Empty where the object has no ProcessId or one that is not an integer.
    std::optional<Pid> ProcessId = std::nullopt;
};

// The objects a WMI query yields, walked once in the order WMI yields them
// (fetched in batches behind the walk). Next throws StepError, with the
// HRESULT as its code, when WMI fails (reading Name included); the objects
// held are released when the collection is destroyed, whether or not the
// walk completed.
class WmiCollection {
public:
    virtual ~WmiCollection() = default;
    // The next object's Name and ProcessId; false at the end of the collection.
    virtual bool Next(WmiObject& object) = 0;
};

// A connection to WMI's namespace root\cimv2, made on a listing worker and
// used from it alone.
class WmiConnection {
public:
    virtual ~WmiConnection() = default;
    // Runs a WQL query, forward-only and returning at once. Throws StepError
    // with the HRESULT as its code when the query is refused.
    virtual std::unique_ptr<WmiCollection> ExecQuery(const std::wstring& wql) = 0;
};

// The one query of the process listing: what each row needs, no more.
inline constexpr wchar_t kProcessQuery[] = L"SELECT Name, ProcessId FROM Win32_Process";

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // kernel32: the program's own process, and the Tool Help snapshot.
    virtual Pid GetCurrentProcessId() = 0;
    virtual KernelHandle CreateToolhelp32Snapshot(std::uint32_t dwFlags, Pid th32ProcessID) = 0;
    virtual std::int32_t Process32First(KernelHandle hSnapshot, ProcessEntry32& entry) = 0;
    virtual std::int32_t Process32Next(KernelHandle hSnapshot, ProcessEntry32& entry) = 0;
    virtual std::int32_t Process32FirstW(KernelHandle hSnapshot, ProcessEntry32W& entry) = 0;
    virtual std::int32_t Process32NextW(KernelHandle hSnapshot, ProcessEntry32W& entry) = 0;
    virtual std::int32_t CloseHandle(KernelHandle handle) = 0;
    // The calling thread's last error. A call that runs on a worker of the
    // deadline layer leaves it on the caller's thread as the call left it.
    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t dwErrCode) = 0;

    // WMI: connects to root\cimv2 (locator, ConnectServer, proxy security)
    // from the calling thread, which joins the multithreaded apartment.
    // Throws StepError with the HRESULT as its code when any step fails.
    virtual std::unique_ptr<WmiConnection> ConnectWmi() = 0;

    // user32. Text arguments of the `A` calls are ANSI bytes.
    virtual Hwnd FindWindowA(const char* lpClassName, const char* lpWindowName) = 0;
    virtual Hwnd GetParent(Hwnd hWnd) = 0;
    // Screen coordinates in physical pixels; asks no other thread.
    virtual Hwnd WindowFromPoint(std::int32_t x, std::int32_t y) = 0;
    virtual Hwnd GetAncestor(Hwnd hwnd, std::uint32_t gaFlags) = 0;
    virtual std::uint32_t GetWindowThreadProcessId(Hwnd hWnd, Pid* lpdwProcessId) = 0;
    virtual Hwnd GetWindow(Hwnd hWnd, std::uint32_t uCmd) = 0;
    virtual std::int32_t GetWindowTextA(Hwnd hWnd, char* lpString, std::int32_t nMaxCount) = 0;
    virtual std::int32_t SetWindowTextA(Hwnd hWnd, const char* lpString) = 0;
    // Another process's title is read from the system's copy, without
    // waiting on that process (GetWindowTextLengthW would send it a message).
    virtual std::int32_t GetWindowTextW(Hwnd hWnd, wchar_t* lpString, std::int32_t nMaxCount) = 0;
    virtual std::int32_t SetWindowTextW(Hwnd hWnd, const wchar_t* lpString) = 0;
    // Asks nothing of the window's thread.
    virtual std::int32_t GetClassNameW(Hwnd hWnd, wchar_t* lpClassName, std::int32_t nMaxCount) = 0;
    virtual std::int32_t ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) = 0;
    virtual std::int32_t CloseWindow(Hwnd hWnd) = 0;
    virtual std::int32_t OpenIcon(Hwnd hWnd) = 0;
    virtual std::int32_t SetForegroundWindow(Hwnd hWnd) = 0;
    virtual std::int32_t PostMessageA(Hwnd hWnd, std::uint32_t Msg, std::int32_t wParam,
                                      std::int32_t lParam) = 0;
    virtual std::int32_t IsWindow(Hwnd hWnd) = 0;
    virtual std::int32_t IsWindowVisible(Hwnd hWnd) = 0;
    virtual std::int32_t IsIconic(Hwnd hWnd) = 0;
    virtual std::int32_t FlashWindow(Hwnd hWnd, std::int32_t bInvert) = 0;
    virtual std::int32_t GetWindowLongA(Hwnd hWnd, std::int32_t nIndex) = 0;
    // The old value, which may be 0: failure is 0 with a last error set, so
    // the caller clears the last error first.
    virtual std::int32_t SetWindowLongA(Hwnd hWnd, std::int32_t nIndex, std::int32_t dwNewLong) = 0;
    virtual std::int32_t SetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t crKey,
                                                    std::uint8_t bAlpha, std::uint32_t dwFlags) = 0;
    // Fails for a window that is not layered or whose layering came from
    // UpdateLayeredWindow.
    virtual std::int32_t GetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t* pcrKey,
                                                    std::uint8_t* pbAlpha,
                                                    std::uint32_t* pdwFlags) = 0;

    // Moving and restoring a window, and its Z order: these wait on its thread.
    virtual std::int32_t SetWindowPos(Hwnd hWnd, Hwnd hWndInsertAfter, std::int32_t X,
                                      std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                      std::uint32_t uFlags) = 0;
    virtual std::int32_t SetWindowPlacement(Hwnd hWnd, const WindowPlacement* lpwndpl) = 0;
    // IVirtualDesktopManager::IsWindowOnCurrentVirtualDesktop; an HRESULT.
    // The calling thread joins the multithreaded apartment for the call, so
    // it is made on a thread of its own. Fails where the system has no
    // virtual desktops (Windows 7 and 8.1, Wine).
    virtual std::int32_t IsWindowOnCurrentVirtualDesktop(Hwnd hWnd,
                                                         std::int32_t* onCurrentDesktop) = 0;

    // What the window list reads; none of these asks the window's thread.
    // The top-level windows, top of the Z order first, until the callback
    // says false.
    virtual std::int32_t EnumWindows(const std::function<bool(Hwnd)>& lpEnumFunc) = 0;
    virtual Hwnd FindWindowExW(Hwnd hWndParent, Hwnd hWndChildAfter, const wchar_t* lpszClass,
                               const wchar_t* lpszWindow) = 0;
    virtual std::int32_t GetWindowRect(Hwnd hWnd, ScreenRect* lpRect) = 0;
    virtual std::int32_t GetWindowPlacement(Hwnd hWnd, WindowPlacement* lpwndpl) = 0;
    virtual std::int32_t IsHungAppWindow(Hwnd hwnd) = 0;
    // dwmapi's; an HRESULT. Fails (E_NOTIMPL) where the system has no
    // desktop composition to ask.
    virtual std::int32_t DwmGetWindowAttribute(Hwnd hwnd, std::uint32_t dwAttribute,
                                               void* pvAttribute, std::uint32_t cbAttribute) = 0;
    // Every monitor (EnumDisplayMonitors, GetMonitorInfoW), in the system's
    // order.
    virtual std::vector<MonitorInfo> DisplayMonitors() = 0;
    virtual Hwnd GetForegroundWindow() = 0;
    // Where the mouse pointer is, in screen coordinates.
    virtual std::int32_t GetCursorPos(std::int32_t* x, std::int32_t* y) = 0;
    // The full path of the process's executable (OpenProcess with the
    // least rights, QueryFullProcessImageNameW); empty where it cannot be
    // read.
    virtual std::optional<std::wstring> ProcessImagePath(Pid pid) = 0;
};

// The process that owns the window; empty when there is no such window.
inline std::optional<Pid> WindowOwner(WindowSystem& ws, Hwnd window) {
    Pid owner = 0;
    if (ws.GetWindowThreadProcessId(window, &owner) == 0) return std::nullopt;
    return owner;
}

// Whether the window exists and belongs to the program's own process.
inline bool IsOwnWindow(WindowSystem& ws, Hwnd window) {
    const std::optional<Pid> owner = WindowOwner(ws, window);
    return owner && *owner == ws.GetCurrentProcessId();
}

// Owns a process snapshot taken through a WindowSystem and closes it once.
class ScopedSnapshot {
public:
    ScopedSnapshot(WindowSystem& ws, std::uint32_t flags, Pid pid)
        : ws_(ws), handle_(ws.CreateToolhelp32Snapshot(flags, pid)) {}
    ~ScopedSnapshot() {
        if (handle_ != kInvalidHandle) ws_.CloseHandle(handle_);
    }
    ScopedSnapshot(const ScopedSnapshot&) = delete;
    ScopedSnapshot& operator=(const ScopedSnapshot&) = delete;

    bool Valid() const { return handle_ != kInvalidHandle; }
    KernelHandle Get() const { return handle_; }

private:
    WindowSystem& ws_;
    KernelHandle handle_;
};

}  // namespace vindrel
