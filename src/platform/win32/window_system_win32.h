// The window-system and process services over the real user32, Tool Help
// and WMI. WMI is connected from the listing worker, which COM joins to the
// multithreaded apartment; its cost stays out of the program's start-up.
#pragma once

#include <memory>

#include "platform/window_system.h"

namespace vindrel::win32 {

class Win32WindowSystem : public WindowSystem {
public:
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
};

}  // namespace vindrel::win32
