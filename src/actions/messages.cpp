#include "actions/messages.h"

#include "platform/conversions.h"

namespace vindrel {

namespace {

constexpr std::size_t kLineTitle = 60;

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

}  // namespace vindrel
