// An in-memory window manager, process snapshot and WMI for the unit tests.
// Windows are kept in window-manager order (top first); processes in
// snapshot order. Every call is counted and logged.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/outline_geometry.h"
#include "platform/window_system.h"

namespace vindrel::testing {

struct FakeWindow {
    Hwnd hwnd = 0;
    Pid pid = 0;
    std::wstring title;  // Unicode, as the system keeps it; the `A` calls convert
    std::wstring className = L"FakeWindowClass";
    Hwnd parent = 0;  // set for a child window: it is not top-level
    Hwnd owner = 0;
    bool popup = false;
    bool visible = true;  // its own flag (WS_VISIBLE)
    bool iconic = false;
    bool maximised = false;
    ScreenRect rect;  // where it lies on the screen
    // Its normal position in workspace coordinates, where it differs from
    // its rectangle (a minimised or maximised window).
    std::optional<ScreenRect> normal;
    std::uint32_t cloaked = 0;  // the DWM's cloak reasons, where it answers
    std::int32_t exStyle = 0;
    // Set by SetLayeredWindowAttributes, with its colour key and flags;
    // cleared with the layered style. A layered window without them is one
    // drawn by UpdateLayeredWindow.
    std::optional<std::uint8_t> alpha;
    std::uint32_t layeredKey = 0;
    std::uint32_t layeredFlags = 0;
    int flashes = 0;  // caption inversions by FlashWindow since it was put back
    // Brought to the top of the Z order (SetWindowPos with HWND_TOP), the
    // later the higher; 0: where it was added.
    std::uint64_t raised = 0;
    // The thread it belongs to; 0: its process's one thread.
    std::uint32_t thread = 0;
    // A window that refuses every change, as Windows refuses a program the
    // windows of one with more rights: ShowWindow, CloseWindow, OpenIcon,
    // SetWindowText, SetWindowLongA, SetLayeredWindowAttributes and
    // PostMessageA fail with 0 and last error 5 (access denied), leaving it
    // as it is.
    bool refuses = false;
    // A window that takes those calls as done but stays as it is.
    bool ignores = false;
    bool keepsTitle = false;    // only SetWindowTextW is refused
    bool keepsAlpha = false;    // only SetLayeredWindowAttributes is refused
    bool pinned = false;        // puts itself back where it was when moved
    bool sizable = true;        // WS_THICKFRAME
    bool captioned = true;      // WS_CAPTION
    bool otherDesktop = false;  // on another virtual desktop, where the shell says
    // How it looked when it was last made visible by a call.
    struct Seen {
        ScreenRect rect;
        std::optional<std::uint8_t> alpha;
        bool iconic = false;
    };
    std::optional<Seen> shownAs;
};

struct FakeProcess {
    Pid pid = 0;
    std::string exeFile;  // ANSI bytes
    // The name as the wide snapshot gives it, where the ANSI bytes lose it.
    std::wstring wideExe{};
    // Its executable's full path; empty: "C:\\Programs\\" and its name.
    std::wstring path{};
};

struct PostedMessage {
    Hwnd hwnd;
    std::uint32_t msg;
    std::int32_t wParam;
    std::int32_t lParam;
};

class FakeWindowSystem : public WindowSystem {
public:
    // The program's own process, as GetCurrentProcessId gives it.
    static constexpr Pid kOwnPid = 4000;
    static constexpr std::uint32_t kAccessDenied = 5;

    std::vector<FakeWindow> windows;
    std::vector<FakeProcess> processes;
    // The WMI listing, in the order it yields the objects.
    std::vector<WmiObject> wmiObjects;
    // When set, the WMI listing yields this many rows and then fails, with
    // this HRESULT.
    std::optional<std::size_t> wmiFailAfter;
    std::uint32_t wmiWalkFailure = 0x80041001;
    // HRESULTs that fail the next connections and queries, in turn.
    std::vector<std::uint32_t> wmiConnectFailures;
    std::vector<std::uint32_t> wmiQueryFailures;
    // Called by the listing's walk before it yields object i, on the
    // walking thread: where WMI's wait would let other messages in.
    std::function<void(std::size_t i)> duringWmiWalk;
    // Called as a WMI connection is being made, on the connecting thread.
    std::function<void()> duringWmiConnect;
    // Called as ShowWindow starts on a window, before it takes effect: what
    // the caller's wait for it may let in.
    std::function<void(Hwnd)> whileShowing;
    bool snapshotFails = false;
    // Whether the DWM answers (desktop composition); it does not under Wine.
    bool dwm = false;
    // Whether the shell says which virtual desktop a window is on.
    bool desktops = false;
    // One 1920 × 1080 monitor with a taskbar 40 pixels high at the bottom.
    std::vector<MonitorInfo> monitors{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true}};

    // What was called: one line per call, "Name(arg,arg)".
    std::vector<std::string> log;
    std::map<std::string, int> calls;  // calls per operation name
    std::vector<PostedMessage> posted;
    Hwnd foreground = 0;
    std::int32_t cursorX = 0, cursorY = 0;
    std::thread::id lastCaller;  // the thread that made the latest call
    int liveWmiCollections = 0;
    int liveWmiConnections = 0;

    // The title in ANSI bytes, as the `A` calls give it.
    FakeWindow& AddWindow(Hwnd hwnd, Pid pid, std::string title = {});
    // A line of the test's own in the log, in order with the calls.
    void Mark(const std::string& line);
    // The window's thread stops answering: the calls that wait on it
    // (ShowWindow, CloseWindow, OpenIcon, SetWindowTextA/W, SetWindowLongA,
    // FlashWindow, SetWindowPos, SetWindowPlacement), on any of its
    // windows, block until Recover.
    void Hang(Hwnd hwnd);
    // Lets the blocked calls on the window's thread finish (also when the
    // window was removed, as when its process dies).
    void Recover(Hwnd hwnd);
    static std::uint32_t ThreadOf(const FakeWindow& w) {
        return w.thread != 0 ? w.thread : static_cast<std::uint32_t>(w.pid) * 4 + 1;
    }
    // Calls blocked on hung windows right now.
    int Blocked();
    FakeWindow* Find(Hwnd hwnd);
    int OpenSnapshots() const { return static_cast<int>(snapshots_.size()); }
    // The WMI connections not yet let go, read while a worker may hold one.
    int LiveWmiConnections();

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

private:
    class Connection;
    using Lock = std::unique_lock<std::mutex>;
    // Every call locks the fake (workers of the deadline layer call from
    // their own threads) and is counted and logged.
    Lock Record(const std::string& name, const std::string& args);
    // A rectangle between workspace and screen coordinates, as the window's
    // placement reads it.
    ScreenRect Placed(const FakeWindow& w, const ScreenRect& rect, bool toScreen);
    // Puts a minimised or maximised window at its normal position.
    void Restore(FakeWindow& w);
    // Maximises the window on the work area of the monitor that rectangle
    // lies on.
    void Maximise(FakeWindow& w, const ScreenRect& at);
    // Sets the window's own visible flag, noting how it looks when it shows.
    static void SetVisible(FakeWindow& w, bool visible);
    // Blocks, with the lock released, while the window is hung.
    void WaitWhileHung(Lock& lock, Hwnd hwnd);

    struct Snapshot {
        std::vector<FakeProcess> records;
        std::size_t next = 0;
    };
    // The snapshot's next process; nullptr at its end.
    const FakeProcess* Walk(KernelHandle hSnapshot, std::uint32_t size, std::uint32_t expected,
                            bool first);

    std::mutex mutex_;
    std::condition_variable recovered_;
    std::set<std::uint32_t> hungThreads_;
    std::uint64_t raises_ = 0;
    std::map<Hwnd, std::uint32_t> hungBy_;  // the thread each window hung
    int blocked_ = 0;
    std::map<KernelHandle, Snapshot> snapshots_;
    KernelHandle nextSnapshot_ = 0x100;
};

}  // namespace vindrel::testing
