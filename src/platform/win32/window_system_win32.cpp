#include <windows.h>
// after windows.h
#include <tlhelp32.h>

// Under UNICODE these name the wide functions; the program walks the
// snapshot in its ANSI form.
#undef Process32First
#undef Process32Next
#undef PROCESSENTRY32

#include <cstring>

#include "platform/step_error.h"
#include "platform/win32/com.h"
#include "platform/win32/handle_cast.h"
#include "platform/win32/system_function.h"
#include "platform/win32/window_system_win32.h"
#include "platform/win32/wmi_win32.h"

namespace vindrel::win32 {

namespace {

// The platform's record differs in size between 32-bit and 64-bit Windows;
// callers see the 32-bit layout whatever the build. The same for the ANSI
// and the wide record.
template <class Native, class Entry>
std::int32_t CopyRecord(BOOL filled, const Native& native, Entry& entry) {
    if (!filled) return 0;
    entry.cntUsage = native.cntUsage;
    entry.th32ProcessID = native.th32ProcessID;
    entry.th32DefaultHeapID = static_cast<std::uint32_t>(native.th32DefaultHeapID);
    entry.th32ModuleID = native.th32ModuleID;
    entry.cntThreads = native.cntThreads;
    entry.th32ParentProcessID = native.th32ParentProcessID;
    entry.pcPriClassBase = native.pcPriClassBase;
    entry.dwFlags = native.dwFlags;
    static_assert(sizeof entry.szExeFile == sizeof native.szExeFile);
    std::memcpy(entry.szExeFile, native.szExeFile, sizeof entry.szExeFile);
    return 1;
}

template <class Native, class Entry>
std::int32_t Fetch(BOOL(WINAPI* walk)(HANDLE, Native*), KernelHandle hSnapshot, Entry& entry) {
    if (entry.dwSize != sizeof(Entry)) {
        SetLastError(ERROR_BAD_LENGTH);
        return 0;
    }
    Native native{};
    native.dwSize = sizeof native;
    return CopyRecord(walk(ToHandle(hSnapshot), &native), native, entry);
}

ScreenRect FromRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK EachWindow(HWND hwnd, LPARAM callback) {
    return (*reinterpret_cast<const std::function<bool(Hwnd)>*>(callback))(FromHwnd(hwnd)) ? TRUE
                                                                                           : FALSE;
}

BOOL CALLBACK EachMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    reinterpret_cast<std::vector<MonitorInfo>*>(list)->push_back(
        {FromRect(info.rcMonitor), FromRect(info.rcWork),
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

Pid Win32WindowSystem::GetCurrentProcessId() {
    return static_cast<Pid>(::GetCurrentProcessId());
}

KernelHandle Win32WindowSystem::CreateToolhelp32Snapshot(std::uint32_t dwFlags, Pid th32ProcessID) {
    return FromHandle(::CreateToolhelp32Snapshot(dwFlags, static_cast<DWORD>(th32ProcessID)));
}

std::int32_t Win32WindowSystem::Process32First(KernelHandle hSnapshot, ProcessEntry32& entry) {
    return Fetch(::Process32First, hSnapshot, entry);
}

std::int32_t Win32WindowSystem::Process32Next(KernelHandle hSnapshot, ProcessEntry32& entry) {
    return Fetch(::Process32Next, hSnapshot, entry);
}

std::int32_t Win32WindowSystem::Process32FirstW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    return Fetch(::Process32FirstW, hSnapshot, entry);
}

std::int32_t Win32WindowSystem::Process32NextW(KernelHandle hSnapshot, ProcessEntry32W& entry) {
    return Fetch(::Process32NextW, hSnapshot, entry);
}

std::int32_t Win32WindowSystem::CloseHandle(KernelHandle handle) {
    return ::CloseHandle(ToHandle(handle));
}

std::uint32_t Win32WindowSystem::GetLastError() {
    return ::GetLastError();
}

void Win32WindowSystem::SetLastError(std::uint32_t dwErrCode) {
    ::SetLastError(dwErrCode);
}

std::unique_ptr<WmiConnection> Win32WindowSystem::ConnectWmi() {
    return OpenWmiConnection();
}

Hwnd Win32WindowSystem::FindWindowA(const char* lpClassName, const char* lpWindowName) {
    return FromHwnd(::FindWindowA(lpClassName, lpWindowName));
}

Hwnd Win32WindowSystem::GetParent(Hwnd hWnd) {
    return FromHwnd(::GetParent(ToHwnd(hWnd)));
}

Hwnd Win32WindowSystem::WindowFromPoint(std::int32_t x, std::int32_t y) {
    return FromHwnd(::WindowFromPoint(POINT{x, y}));
}

Hwnd Win32WindowSystem::GetAncestor(Hwnd hwnd, std::uint32_t gaFlags) {
    return FromHwnd(::GetAncestor(ToHwnd(hwnd), gaFlags));
}

std::uint32_t Win32WindowSystem::GetWindowThreadProcessId(Hwnd hWnd, Pid* lpdwProcessId) {
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(hWnd), &pid);
    if (thread != 0 && lpdwProcessId != nullptr) *lpdwProcessId = static_cast<Pid>(pid);
    return thread;
}

Hwnd Win32WindowSystem::GetWindow(Hwnd hWnd, std::uint32_t uCmd) {
    return FromHwnd(::GetWindow(ToHwnd(hWnd), uCmd));
}

std::int32_t Win32WindowSystem::GetWindowTextA(Hwnd hWnd, char* lpString, std::int32_t nMaxCount) {
    // Windows fails for window 0 and leaves the buffer alone; Wine 8 writes
    // stray bytes into it. Answer as Windows does.
    if (hWnd == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return ::GetWindowTextA(ToHwnd(hWnd), lpString, nMaxCount);
}

std::int32_t Win32WindowSystem::SetWindowTextA(Hwnd hWnd, const char* lpString) {
    return ::SetWindowTextA(ToHwnd(hWnd), lpString);
}

std::int32_t Win32WindowSystem::GetWindowTextW(Hwnd hWnd, wchar_t* lpString,
                                               std::int32_t nMaxCount) {
    if (hWnd == 0) {  // as GetWindowTextA
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return ::GetWindowTextW(ToHwnd(hWnd), lpString, nMaxCount);
}

std::int32_t Win32WindowSystem::GetClassNameW(Hwnd hWnd, wchar_t* lpClassName,
                                              std::int32_t nMaxCount) {
    return ::GetClassNameW(ToHwnd(hWnd), lpClassName, nMaxCount);
}

std::int32_t Win32WindowSystem::SetWindowTextW(Hwnd hWnd, const wchar_t* lpString) {
    return ::SetWindowTextW(ToHwnd(hWnd), lpString);
}

std::int32_t Win32WindowSystem::ShowWindow(Hwnd hWnd, std::int32_t nCmdShow) {
    return ::ShowWindow(ToHwnd(hWnd), nCmdShow);
}

std::int32_t Win32WindowSystem::CloseWindow(Hwnd hWnd) {
    return ::CloseWindow(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::OpenIcon(Hwnd hWnd) {
    return ::OpenIcon(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::SetForegroundWindow(Hwnd hWnd) {
    return ::SetForegroundWindow(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::PostMessageA(Hwnd hWnd, std::uint32_t Msg, std::int32_t wParam,
                                             std::int32_t lParam) {
    return ::PostMessageA(ToHwnd(hWnd), Msg,
                          static_cast<WPARAM>(static_cast<std::uint32_t>(wParam)),
                          static_cast<LPARAM>(lParam));
}

std::int32_t Win32WindowSystem::IsWindow(Hwnd hWnd) {
    return ::IsWindow(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::IsWindowVisible(Hwnd hWnd) {
    return ::IsWindowVisible(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::IsIconic(Hwnd hWnd) {
    return ::IsIconic(ToHwnd(hWnd));
}

std::int32_t Win32WindowSystem::FlashWindow(Hwnd hWnd, std::int32_t bInvert) {
    return ::FlashWindow(ToHwnd(hWnd), bInvert);
}

std::int32_t Win32WindowSystem::GetWindowLongA(Hwnd hWnd, std::int32_t nIndex) {
    return ::GetWindowLongA(ToHwnd(hWnd), nIndex);
}

std::int32_t Win32WindowSystem::SetWindowLongA(Hwnd hWnd, std::int32_t nIndex,
                                               std::int32_t dwNewLong) {
    return ::SetWindowLongA(ToHwnd(hWnd), nIndex, dwNewLong);
}

std::int32_t Win32WindowSystem::SetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t crKey,
                                                           std::uint8_t bAlpha,
                                                           std::uint32_t dwFlags) {
    return ::SetLayeredWindowAttributes(ToHwnd(hwnd), crKey, bAlpha, dwFlags);
}

std::int32_t Win32WindowSystem::GetLayeredWindowAttributes(Hwnd hwnd, std::uint32_t* pcrKey,
                                                           std::uint8_t* pbAlpha,
                                                           std::uint32_t* pdwFlags) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    const BOOL done = ::GetLayeredWindowAttributes(ToHwnd(hwnd), &key, &alpha, &flags);
    if (done) {
        if (pcrKey != nullptr) *pcrKey = key;
        if (pbAlpha != nullptr) *pbAlpha = alpha;
        if (pdwFlags != nullptr) *pdwFlags = flags;
    }
    return done;
}

std::int32_t Win32WindowSystem::EnumWindows(const std::function<bool(Hwnd)>& lpEnumFunc) {
    return ::EnumWindows(EachWindow, reinterpret_cast<LPARAM>(&lpEnumFunc));
}

Hwnd Win32WindowSystem::FindWindowExW(Hwnd hWndParent, Hwnd hWndChildAfter,
                                      const wchar_t* lpszClass, const wchar_t* lpszWindow) {
    return FromHwnd(
        ::FindWindowExW(ToHwnd(hWndParent), ToHwnd(hWndChildAfter), lpszClass, lpszWindow));
}

std::int32_t Win32WindowSystem::GetWindowRect(Hwnd hWnd, ScreenRect* lpRect) {
    RECT rect{};
    const BOOL done = ::GetWindowRect(ToHwnd(hWnd), &rect);
    if (done && lpRect != nullptr) *lpRect = FromRect(rect);
    return done;
}

std::int32_t Win32WindowSystem::GetWindowPlacement(Hwnd hWnd, WindowPlacement* lpwndpl) {
    WINDOWPLACEMENT native{};
    native.length = sizeof native;
    const BOOL done = ::GetWindowPlacement(ToHwnd(hWnd), &native);
    if (done && lpwndpl != nullptr) {
        lpwndpl->flags = native.flags;
        lpwndpl->showCmd = native.showCmd;
        lpwndpl->ptMinPosition[0] = native.ptMinPosition.x;
        lpwndpl->ptMinPosition[1] = native.ptMinPosition.y;
        lpwndpl->ptMaxPosition[0] = native.ptMaxPosition.x;
        lpwndpl->ptMaxPosition[1] = native.ptMaxPosition.y;
        lpwndpl->rcNormalPosition = FromRect(native.rcNormalPosition);
    }
    return done;
}

std::int32_t Win32WindowSystem::SetWindowPos(Hwnd hWnd, Hwnd hWndInsertAfter, std::int32_t X,
                                             std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                             std::uint32_t uFlags) {
    return ::SetWindowPos(ToHwnd(hWnd), ToHwnd(hWndInsertAfter), X, Y, cx, cy, uFlags);
}

std::int32_t Win32WindowSystem::SetWindowPlacement(Hwnd hWnd, const WindowPlacement* lpwndpl) {
    if (lpwndpl == nullptr) return FALSE;
    WINDOWPLACEMENT native{};
    native.length = sizeof native;
    native.flags = lpwndpl->flags;
    native.showCmd = lpwndpl->showCmd;
    native.ptMinPosition = {lpwndpl->ptMinPosition[0], lpwndpl->ptMinPosition[1]};
    native.ptMaxPosition = {lpwndpl->ptMaxPosition[0], lpwndpl->ptMaxPosition[1]};
    const ScreenRect& normal = lpwndpl->rcNormalPosition;
    native.rcNormalPosition = {normal.left, normal.top, normal.right, normal.bottom};
    return ::SetWindowPlacement(ToHwnd(hWnd), &native);
}

namespace {

// The shell's virtual desktop manager (Windows 10 on): only its first
// method is called.
struct IVirtualDesktops : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsWindowOnCurrentVirtualDesktop(HWND window,
                                                                      BOOL* onCurrent) = 0;
};
constexpr CLSID kVirtualDesktopManager{
    0xaa509086, 0x5ca9, 0x4c25, {0x8f, 0x95, 0x58, 0x9d, 0x3c, 0x07, 0xb4, 0x8a}};
constexpr IID kIVirtualDesktopManager{
    0xa5cd92ff, 0x29be, 0x454c, {0x8d, 0x04, 0xd8, 0x28, 0x79, 0xfb, 0x3f, 0x1b}};

}  // namespace

std::int32_t Win32WindowSystem::IsWindowOnCurrentVirtualDesktop(Hwnd hWnd,
                                                                std::int32_t* onCurrentDesktop) {
    try {
        const ComApartment apartment;
        IVirtualDesktops* desktops = nullptr;
        HRESULT result =
            Com().CoCreateInstance(kVirtualDesktopManager, nullptr, CLSCTX_ALL,
                                   kIVirtualDesktopManager, reinterpret_cast<void**>(&desktops));
        if (FAILED(result)) return result;
        BOOL on = FALSE;
        result = desktops->IsWindowOnCurrentVirtualDesktop(ToHwnd(hWnd), &on);
        desktops->Release();
        if (SUCCEEDED(result) && onCurrentDesktop != nullptr) *onCurrentDesktop = on;
        return result;
    } catch (const StepError&) {
        return static_cast<std::int32_t>(E_NOTIMPL);  // no COM to ask
    }
}

std::int32_t Win32WindowSystem::IsHungAppWindow(Hwnd hwnd) {
    return ::IsHungAppWindow(ToHwnd(hwnd));
}

std::int32_t Win32WindowSystem::DwmGetWindowAttribute(Hwnd hwnd, std::uint32_t dwAttribute,
                                                      void* pvAttribute,
                                                      std::uint32_t cbAttribute) {
    // dwmapi exists from Windows Vista on, loaded when first asked for.
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const auto get =
        SystemFunction<DwmGetWindowAttributeFn>(L"dwmapi.dll", "DwmGetWindowAttribute");
    if (get == nullptr) return static_cast<std::int32_t>(E_NOTIMPL);
    return get(ToHwnd(hwnd), dwAttribute, pvAttribute, cbAttribute);
}

Hwnd Win32WindowSystem::GetForegroundWindow() {
    return FromHwnd(::GetForegroundWindow());
}

std::int32_t Win32WindowSystem::GetCursorPos(std::int32_t* x, std::int32_t* y) {
    POINT point{};
    if (!::GetCursorPos(&point)) return 0;
    *x = point.x;
    *y = point.y;
    return 1;
}

std::optional<std::wstring> Win32WindowSystem::ProcessImagePath(Pid pid) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return std::nullopt;
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    const BOOL read = QueryFullProcessImageNameW(process, 0, path.data(), &size);
    ::CloseHandle(process);
    if (!read) return std::nullopt;
    path.resize(size);
    return path;
}

std::vector<MonitorInfo> Win32WindowSystem::DisplayMonitors() {
    std::vector<MonitorInfo> monitors;
    EnumDisplayMonitors(nullptr, nullptr, EachMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace vindrel::win32
