#include "actions/messages.h"

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

std::wstring CappedLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size() && i < kListLines; ++i)
        text += L"\r\n" + lines[i];
    if (lines.size() > kListLines) {
        text += L"\r\n……另有 " + DecimalText(static_cast<std::int32_t>(lines.size() - kListLines)) +
                L" 个";
    }
    return text;
}

}  // namespace vindrel
