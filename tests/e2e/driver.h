// Drives a running Vindrel.exe from another process the way a user or a
// test tool would: through its windows, by control identifier, with
// SendMessage and PostMessage, and reads back what the window manager says.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace vindrel::e2e {

using namespace std::chrono_literals;

// Polls until the condition holds or the deadline passes; true if it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 5000ms);

// The full path of a program built next to the test driver.
std::wstring SiblingPath(const wchar_t* exeName);

// A started process, ended (if still running) when this goes.
class Process {
public:
    Process() = default;
    // Starts a command line and, unless told not to, waits until the
    // program waits for input (a program that never reads input would make
    // that wait last its whole timeout). Throws std::runtime_error when it
    // cannot start it.
    explicit Process(const std::wstring& commandLine, bool waitForInputIdle = true);
    ~Process();
    Process(Process&&) = default;
    Process& operator=(Process&&) = default;

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.Get(); }
    bool Running() const;
    // Waits for the process to end: its exit code, or nothing when it is
    // still running after the deadline.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds deadline = 5000ms) const;
    // The first visible (or any) top-level window of the process with that
    // class (any class when empty), waited for.
    HWND WaitForWindow(const wchar_t* windowClass = nullptr,
                       std::chrono::milliseconds deadline = 10000ms, bool visibleOnly = true) const;
    void Terminate();

private:
    win32::UniqueProcessHandle process_;
    DWORD id_ = 0;
};

// A new empty folder under the temporary folder.
std::wstring NewFolder();

// A command line run to its end with its standard output (and errors) in a
// file, as a batch file's redirection gives it, and the program's local
// application data in `appData`: its exit code (none if it ran on past
// 20 s) and the bytes it wrote.
struct Ran {
    std::optional<DWORD> exitCode;
    std::string output;
};
Ran RunToEnd(const std::wstring& commandLine, const std::wstring& appData);

// The Vindrel main window and its controls, found by control identifier.
class Vindrel {
public:
    // Starts the program built next to the driver, or another copy of it,
    // with the arguments given (the command line after the program's name).
    // Its local application data (where it keeps its change record) is a
    // folder of its own unless another copy's is given.
    explicit Vindrel(const std::wstring& exePath = SiblingPath(L"Vindrel.exe"),
                     const std::wstring& arguments = L"",
                     const std::wstring& appData = NewFolder());
    HWND Main() const { return main_; }
    const Process& Program() const { return process_; }
    // The control of a layout row, by its design name.
    HWND Control(std::string_view name) const;

    std::vector<std::wstring> Rows(std::string_view list) const;
    int Selected(std::string_view list) const;
    std::wstring Text(std::string_view control) const;
    // Sets an edit box's text as typing would (WM_SETTEXT; the box reports
    // the change to its parent).
    void SetText(std::string_view edit, const std::wstring& text) const;
    // A click that returns when the handling has ended.
    void Click(std::string_view button) const;
    // A click for a handling that opens a modal message box.
    void PostClick(std::string_view button) const;
    // A user's click on a row: the mouse pressed and released inside it;
    // twice for a double-click.
    void ClickRow(std::string_view list, int row, bool twice = false) const;
    // Types a text into an edit box character by character, after emptying it.
    void Type(std::string_view edit, const std::wstring& text) const;
    // What a scroll bar tells its container when the user moves it: a step
    // or a thumb released, then the end of the gesture (SB_ENDSCROLL).
    void Scroll(std::string_view bar, int code, int position = 0) const;
    // The same, posted, for a handling that opens a modal message box.
    void PostScroll(std::string_view bar, int code, int position = 0) const;
    // Whether the program answers a message within two seconds.
    bool Responsive() const;
    // Brings the main window to the foreground, so that keys reach it;
    // false when it did not get there.
    bool Activate() const;
    // The control that has the keyboard focus in the program.
    HWND Focus() const;
    // Presses and releases a key as the keyboard would (SendInput), with
    // Shift held when asked, and waits until the focus has moved from where
    // it was (or a second has passed).
    void PressKey(WORD key, bool shift = false) const;
    // Presses a key with a modifier (Alt, Shift ...) held, as the keyboard would.
    void PressChord(WORD modifier, WORD key) const;
    // Clicks a control, or the main window's close box, with the mouse.
    void MouseClick(std::string_view control) const;
    // Presses the left button on the centre of a control and keeps it down.
    void MousePress(std::string_view control) const;
    void ClickCloseBox() const;

    // The window list, once shown; nullptr when it does not show.
    HWND WindowList() const;
    // A control of the window list, by its design name.
    HWND ListControl(std::string_view name) const;
    // The window list's rows as drawn, each with its cells joined by " | ".
    std::vector<std::wstring> ListRows() const;
    // Chooses the main window's system-menu item (0: the put-back item),
    // as a click on it would.
    void ChooseMenuItem(int index) const;
    // Selects and focuses a row of the window list, as the keyboard would.
    void SelectListRow(int row) const;
    // Clicks a row of the window list with the mouse, twice for a double-click.
    void ClickListRow(int row, bool twice = false) const;

private:
    Process process_;
    HWND main_ = nullptr;
};

// Moves the mouse to a point of the screen in a few steps, as a hand
// would, with the buttons as they are; then lets the program see the moves.
void MoveMouseTo(POINT point);
// Lets go of the left button there (the release says where it happens).
void ReleaseMouse(POINT at);
// The centre of a window's rectangle.
POINT Centre(HWND hwnd);

// A test window of our own in another process: one top-level window with a
// given title, logging what it receives to a file.
class Target {
public:
    // Posted to the target, it makes its thread stop answering for good.
    static constexpr UINT kHangMessage = WM_APP + 1;
    // Posted to the target, it shows another top-level window, "后来的窗口".
    static constexpr UINT kNewWindowMessage = WM_APP + 2;

    // A callback target sends a message to Vindrel's main window, and
    // waits for the answer, while it handles WM_SHOWWINDOW, WM_SIZE,
    // WM_SETTEXT and WM_STYLECHANGED. While it is being hidden, a clicking
    // target clicks the peer button with a sent BM_CLICK, and a closing
    // target sends WM_CLOSE to the peer window. A two-window target also
    // has a hidden top-level window titled "<title> 的隐藏窗口".
    enum class Mode { Plain, Callback, ClickOnHide, CloseOnHide, TwoWindows, Lost, Minimised };
    // Started from `exe` when given (a copy of the target elsewhere).
    explicit Target(const std::wstring& title, Mode mode = Mode::Plain, HWND peer = nullptr,
                    const std::wstring& exe = {});
    HWND Window() const { return window_; }
    const Process& Program() const { return process_; }
    Process& Program() { return process_; }
    std::string Log() const;

private:
    std::wstring logPath_;
    Process process_;
    HWND window_ = nullptr;
};

// Ctrl+Alt and a key, all in one SendInput call (a focus change between
// would reset the modifiers), the key pressed `downs` times before its
// release, as a held key repeats.
void PressCtrlAlt(WORD key, int downs = 1);

// A window handle as the program writes it: decimal text.
inline std::wstring HandleText(HWND hwnd) {
    return std::to_wstring(reinterpret_cast<std::intptr_t>(hwnd));
}

// Text of any window (W call, correct across processes under Wine).
std::wstring WindowText(HWND hwnd);
// Text of another process's control, asked of it (WM_GETTEXT).
std::wstring EditText(HWND hwnd);

// A message box of another process, found by its title.
struct MessageBoxSeen {
    HWND box = nullptr;
    std::wstring title;
    std::wstring text;
};
// Waits for a message box (dialog class #32770) owned by the process.
MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds deadline = 5000ms);
// Presses one of its buttons (OK unless told) and waits for it to go.
bool CloseMessageBox(const MessageBoxSeen& seen, int button = IDOK);
// Any message box of the process currently open.
bool AnyMessageBox(DWORD processId);

}  // namespace vindrel::e2e
