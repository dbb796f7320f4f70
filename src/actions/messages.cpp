#include "actions/messages.h"

#include <algorithm>

#include "platform/conversions.h"

namespace vindrel {

namespace {

constexpr std::size_t kLineTitle = 60;
constexpr std::size_t kListLines = 15;

}  // namespace

std::wstring ProcessInSentence(const std::wstring& name, Pid pid) {
    return L"“" + (name.empty() ? L"未知进程" : name) + L"”（进程 " + DecimalText(pid) + L"）";
}

std::wstring WindowInList(const std::wstring& process, const std::wstring& title, Hwnd window) {
    std::wstring shown = title;
    if (shown.size() > kLineTitle) {
        // Not between the two halves of a UTF-16 surrogate pair.
        const bool split = shown[kLineTitle - 1] >= 0xD800 && shown[kLineTitle - 1] <= 0xDBFF;
        shown = shown.substr(0, split ? kLineTitle - 1 : kLineTitle) + L"…";
    }
    return (process.empty() ? L"（未知进程）" : process) + L"  “" + shown + L"”  " +
           DecimalText(window);
}

std::wstring WindowsMessage(const std::wstring& head, const std::vector<WindowSection>& sections,
                            const std::wstring& tail) {
    std::wstring text = head;
    std::size_t room = kListLines;
    for (const WindowSection& section : sections) {
        if (section.lines.empty()) continue;
        if (!section.heading.empty()) text += L"\r\n\r\n" + section.heading;
        const std::size_t shown = std::min(room, section.lines.size());
        for (std::size_t i = 0; i < shown; ++i)
            text += L"\r\n" + section.lines[i];
        if (shown < section.lines.size()) {
            text += L"\r\n……另有 " +
                    DecimalText(static_cast<std::int32_t>(section.lines.size() - shown)) + L" 个";
        }
        room -= shown;
    }
    return text + tail;
}

}  // namespace vindrel
