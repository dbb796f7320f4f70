// The texts several commands share, the formats that name a process or a
// window in them, and what a command hands the form to show.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace vindrel {

// The title of the commands' result messages.
inline constexpr wchar_t kResultTitle[] = L"Tamsk提示";
inline constexpr wchar_t kSucceeded[] = L"成功";
inline constexpr wchar_t kFailed[] = L"失败";
// Hiding one of the program's own windows would hide the box that holds
// the handle needed to show it again.
inline constexpr wchar_t kOwnWindowHidden[] = L"这是本程序自己的窗口：隐藏后将无法再把它找回。";
// A close request destroys a control or popup of the program's for the
// rest of the run.
inline constexpr wchar_t kOwnWindowClosed[] =
    L"这是本程序自己的窗口：它收到关闭请求就会被销毁，在本程序重新启动前都无法再用。";

// What a command has to tell the user; the form shows it.
struct Report {
    std::wstring text;  // empty: nothing to tell
    std::optional<std::wstring> title = std::wstring(kResultTitle);
    // Set when the text ends with the offer to start this program again as
    // administrator: the argument the new program gets (empty for none).
    std::optional<std::wstring> restart{};
};

// A process inside a sentence: “x.exe”（进程 N）.
std::wstring ProcessInSentence(const std::wstring& name, Pid pid);

// A window on a line of a list: x.exe  “title”  N, the title cut to keep
// the box readable.
std::wstring WindowInList(const std::wstring& process, const std::wstring& title, Hwnd window);

// A part of a message about many windows: its heading (none: the lines
// follow what comes before) and one line per window.
struct WindowSection {
    std::wstring heading;
    std::vector<std::wstring> lines;
};

// A message about many windows, kept to the screen: the head, then each
// section that has lines, its heading after a blank line, then its lines,
// each after a line break; 15 lines at most in all, a section cut short
// ending with how many more it has ("……另有 N 个"); then the tail.
std::wstring WindowsMessage(const std::wstring& head, const std::vector<WindowSection>& sections,
                            const std::wstring& tail = {});

}  // namespace vindrel
