#include "actions/window_commands.h"

#include "actions/target.h"
#include "platform/text.h"
#include "table/lookup.h"

namespace vindrel {

namespace {

constexpr wchar_t kResultTitle[] = L"Tamsk提示";
// Hiding one of the program's own windows would hide the box that holds the
// handle needed to show it again.
constexpr wchar_t kOwnWindowHidden[] = L"这是本程序自己的窗口：隐藏后将无法再把它找回。";

}  // namespace

void WindowCommands::Report(bool success) {
    interaction_.MsgBox(success ? L"成功" : L"失败", kResultTitle);
}

void WindowCommands::Hide() {
    const Hwnd target = HandleIn(Text2_);
    if (IsOwnWindow(ws_, target)) {
        interaction_.MsgBox(kOwnWindowHidden, kResultTitle);
        return;
    }
    record_.Before(ChangeRecord::Change::Hide, target);
    ws_.ShowWindow(target, api::kSwHide);
    // ShowWindow returns the visibility before the call, so it cannot tell
    // whether hiding worked; the window's state afterwards can.
    Report(ws_.IsWindow(target) != 0 && ws_.IsWindowVisible(target) == 0);
}

void WindowCommands::Show() {
    ws_.ShowWindow(HandleIn(Text2_), api::kSwShow);
}

void WindowCommands::Minimise() {
    ws_.CloseWindow(HandleIn(Text2_));
}

void WindowCommands::Restore() {
    ws_.OpenIcon(HandleIn(Text2_));
}

void WindowCommands::Activate() {
    ws_.SetForegroundWindow(HandleIn(Text2_));
}

void WindowCommands::AskToClose() {
    const Hwnd target = HandleIn(Text2_);
    // Window 0 would queue the request for no window and still succeed, and
    // the broadcast handle would ask every top-level window to close.
    if (target == 0 || target == api::kHwndBroadcast || ws_.IsWindow(target) == 0) {
        Report(false);
        return;
    }
    Report(ws_.PostMessageA(target, api::kWmClose, 0, 0) != 0);
}

void WindowCommands::Rename() {
    const Hwnd target = HandleIn(Text2_);
    const std::string title = ToAnsi(Text5_.Text());
    record_.Before(ChangeRecord::Change::Title, target);
    ws_.SetWindowTextA(target, title.c_str());
}

void WindowCommands::CheckValid() {
    interaction_.MsgBox(ws_.IsWindow(HandleIn(Text2_)) != 0 ? L"有效" : L"无效");
}

void WindowCommands::CheckVisible() {
    interaction_.MsgBox(DecimalText(ws_.IsWindowVisible(HandleIn(Text2_))));
}

void WindowCommands::FindHandle() {
    const Pid pid = HandleIn(Text1_);
    Text2_.SetText(DecimalText(InstanceToWnd(ws_, pid)));
}

}  // namespace vindrel
