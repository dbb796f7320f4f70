// The rows of the window list, one per top-level window: what the
// platform reads of each window, its state in words, which rows the default
// filter and the search keep. Plain data: nothing here touches a window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outline_geometry.h"
#include "platform/types.h"
#include "table/window_state.h"

namespace vindrel {

// A UWP frame's row names the program it holds, with this after it.
inline constexpr std::wstring_view kFrameHost = L"（由 ApplicationFrameHost.exe 承载）";

struct WindowFacts {
    Hwnd window = 0;
    Pid pid = 0;
    std::wstring process{};  // the executable's name
    // The full path of the executable of the program it stands for (a
    // frame's: the program it holds); empty where it cannot be read.
    std::wstring path{};
    std::wstring className{};
    std::wstring title{};
    bool visible = false;  // its own visible flag
    bool minimised = false;
    bool maximised = false;
    // Empty where the system cannot say (no desktop composition).
    std::optional<bool> cloaked{};
    bool cloakedByApp = false;  // by its own program (DWM_CLOAKED_APP)
    bool captioned = false;     // a title bar (WS_CAPTION)
    bool appWindow = false;     // WS_EX_APPWINDOW
    bool tool = false;          // WS_EX_TOOLWINDOW
    bool owned = false;         // it has an owner window
    // Where it lies, or would lie restored when minimised.
    ScreenRect extent{};
    bool offScreen = false;
    // A layered window's alpha, where one is set (Layering::Alpha).
    std::optional<std::uint8_t> alpha{};
    bool topmost = false;
    bool hung = false;
    bool changed = false;  // in the program's change record
};

// The words that hold, in their order, joined with "，": 可见 or 隐藏,
// 最小化, 最大化, 被遮蔽, 屏幕外, 不透明度 N% (below 255; N rounded down),
// 置顶, 无响应, 已被本程序改动.
std::wstring StateWords(const WindowFacts& facts);

// A window is off screen when no work area holds a piece of it of 40 × 20
// physical pixels (or of all of it, where it is smaller). A window of no
// area is never off screen: there is nothing of it to see anywhere.
bool OffScreen(const ScreenRect& window, const std::vector<ScreenRect>& workAreas);

// Shown without "显示全部窗口": a window visible or titled, and not one of
// the input-method windows.
bool ShownByDefault(const WindowFacts& facts);

// Whether a window is one of the input-method windows every program has.
bool InputMethod(const std::wstring& className);

// Whether a window is the shell's taskbar or desktop, which no command
// hides or closes, even when its program is chosen for its folder windows.
bool ShellWindow(const std::wstring& className);

// Shown in the view of lost windows: a window the user could have seen
// (titled, with a title bar or WS_EX_APPWINDOW, no tool window, at least
// 40 × 20 pixels, no input-method window) and cannot: hidden, cloaked by its
// own program, off screen, or too faint to see. One the program changed
// is shown whenever it cannot be seen.
bool Lost(const WindowFacts& facts);

// One with a button on the taskbar: visible, titled, neither a tool window
// nor owned (unless WS_EX_APPWINDOW), not cloaked by its own program, and
// not the shell's own.
bool TaskbarWindow(const WindowFacts& facts);

// The executable's name of the program a row stands for (a frame's: the
// program it holds).
std::wstring_view ProgramName(const WindowFacts& facts);

// What the search box keeps: a case-insensitive substring of the process,
// process id, handle, class or title; after "pid:" or "hwnd:" exactly that
// number, read as the handle box reads one (also "0x" hexadecimal); after
// "class:" a substring of the class; after "exe:" the program's executable,
// by its name or its full path, exactly, ignoring case. Any text is a
// search; none fails.
class WindowSearch {
public:
    enum class Kind { Anywhere, Pid, Handle, Class, Exe };
    // `programAndTitle`: free text matches the program and the title only
    // (the command line, where a number would pick windows by chance).
    explicit WindowSearch(std::wstring_view text, bool programAndTitle = false);
    bool Matches(const WindowFacts& facts) const;
    Kind Which() const { return kind_; }
    // The text after the prefix, lower-cased.
    const std::wstring& Text() const { return text_; }
    // For Pid and Handle: the number read; empty when there is none.
    std::optional<std::int32_t> Number() const { return number_; }

private:
    Kind kind_ = Kind::Anywhere;
    bool programAndTitle_ = false;
    std::wstring text_;                   // lower-cased
    std::optional<std::int32_t> number_;  // for Pid and Handle; empty: no match
};

enum class WindowColumn { Process, Pid, Handle, Class, Title, State };
inline constexpr std::array<std::wstring_view, 6> kWindowColumns{L"进程", L"进程号", L"句柄",
                                                                 L"类名", L"标题",   L"状态"};

// What a row shows in that column.
std::wstring ColumnText(const WindowFacts& facts, WindowColumn column);

struct WindowOrder {
    WindowColumn column = WindowColumn::Process;
    bool descending = false;
};

// The order after a click on a column's header: by that column, reversed
// when the rows were sorted by it already.
WindowOrder Clicked(const std::optional<WindowOrder>& current, WindowColumn column);
// A column's caption, with ▲ or ▼ where the rows are sorted by it.
std::wstring ColumnCaption(WindowColumn column, const std::optional<WindowOrder>& order);
// Numbers as numbers, texts as the user's locale sorts them; rows that tie
// keep their order.
void SortRows(std::vector<WindowFacts>& rows, const WindowOrder& order);

// "显示 N / 共 M 个窗口".
std::wstring CountText(std::size_t shown, std::size_t all);

}  // namespace vindrel
