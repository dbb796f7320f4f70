#include "actions/window_commands.h"

#include "actions/target.h"
#include "actions/window_state.h"
#include "platform/text.h"
#include "table/lookup.h"

namespace vindrel {

namespace {

// Hiding one of the program's own windows would hide the box that holds the
// handle needed to show it again.
constexpr wchar_t kOwnWindowHidden[] = L"这是本程序自己的窗口：隐藏后将无法再把它找回。";

}  // namespace

void WindowCommands::Report(bool success) {
    interaction_.MsgBox(success ? L"成功" : L"失败", kResultTitle);
}

void WindowCommands::Change(const wchar_t* failed, const std::function<void(Hwnd)>& call,
                            const std::function<bool(Hwnd)>& took) {
    const Hwnd target = HandleIn(Text2_);
    const Standing standing = rights_.Of(target);
    call(target);
    rights_.Explain(target, standing, failed, [&] { return took(target); });
}

void WindowCommands::Hide() {
    const Hwnd target = HandleIn(Text2_);
    if (IsOwnWindow(ws_, target)) {
        interaction_.MsgBox(kOwnWindowHidden, kResultTitle);
        return;
    }
    const Standing standing = rights_.Of(target);
    record_.Before(ChangeRecord::Change::Hide, target);
    ws_.ShowWindow(target, api::kSwHide);
    // ShowWindow returns the visibility before the call, so it cannot tell
    // whether hiding worked; the window's state afterwards can.
    const bool hidden = ws_.IsWindow(target) != 0 && ws_.IsWindowVisible(target) == 0;
    if (!rights_.Explain(target, standing, L"失败", [hidden] { return hidden; })) Report(hidden);
}

void WindowCommands::Show() {
    Change(
        L"无法显示这个窗口。", [this](Hwnd w) { ws_.ShowWindow(w, api::kSwShow); },
        [this](Hwnd w) { return ws_.IsWindowVisible(w) != 0; });
}

void WindowCommands::Minimise() {
    Change(
        L"无法最小化这个窗口。", [this](Hwnd w) { ws_.CloseWindow(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) != 0; });
}

void WindowCommands::Restore() {
    Change(
        L"无法还原这个窗口。", [this](Hwnd w) { ws_.OpenIcon(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) == 0; });
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
    const Standing standing = rights_.Of(target);
    const bool queued = ws_.PostMessageA(target, api::kWmClose, 0, 0) != 0;
    // Whether a queued request was dropped cannot be seen: where it may
    // have been, the user is told so.
    const std::wstring head =
        queued ? L"成功\r\n\r\n请求已发出，但 Windows 可能丢弃它，窗口就不会关闭。" : L"失败";
    if (!rights_.Explain(target, standing, head, [] { return false; })) Report(queued);
}

void WindowCommands::Rename() {
    std::string title;
    Change(
        L"无法更改这个窗口的标题。",
        [&](Hwnd w) {
            title = ToAnsi(Text5_.Text());
            record_.Before(ChangeRecord::Change::Title, w);
            ws_.SetWindowTextA(w, title.c_str());
        },
        // The title as the code page carried it.
        [&](Hwnd w) { return WholeTitle(ws_, w) == FromAnsi(title); });
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
