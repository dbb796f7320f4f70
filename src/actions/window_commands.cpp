#include "actions/window_commands.h"

#include "actions/explanation.h"
#include "actions/target.h"
#include "platform/conversions.h"
#include "platform/text.h"
#include "table/window_state.h"

namespace vindrel {

Report WindowCommands::Hide() {
    const Outcome outcome = changes_.Hide(HandleIn(Text2_));
    if (outcome.kind == Outcome::Kind::OwnWindow) return {kOwnWindowHidden};
    return Reported(outcome, kSucceeded, kFailed, kFailed);
}

Report WindowCommands::Show() {
    return Reported(changes_.Show(HandleIn(Text2_)), L"", L"", L"无法显示这个窗口。");
}

Report WindowCommands::Minimise() {
    return Reported(changes_.Minimise(HandleIn(Text2_)), L"", L"", L"无法最小化这个窗口。");
}

Report WindowCommands::Restore() {
    return Reported(changes_.Restore(HandleIn(Text2_)), L"", L"", L"无法还原这个窗口。");
}

void WindowCommands::Activate() {
    ws_.SetForegroundWindow(HandleIn(Text2_));
}

Report WindowCommands::AskToClose() {
    const Hwnd target = HandleIn(Text2_);
    // Window 0 would queue the request for no window and still succeed, and
    // the broadcast handle would ask every top-level window to close.
    if (target == 0 || target == api::kHwndBroadcast || ws_.IsWindow(target) == 0) {
        return {kFailed};
    }
    if (target == form_.hWnd()) {
        form_.Close();
        return {};
    }
    const Outcome outcome = changes_.AskToClose(target);
    switch (outcome.kind) {
        case Outcome::Kind::OwnWindow:
            return {kOwnWindowClosed};
        case Outcome::Kind::Sent:
            // Where it may have been dropped, the user is told so.
            return Reported(outcome, kSucceeded, kSucceeded,
                            L"成功\r\n\r\n请求已发出，但 Windows 可能丢弃它，窗口就不会关闭。");
        default:
            return Reported(outcome, kSucceeded, kFailed, kFailed);
    }
}

Report WindowCommands::Rename() {
    return Reported(changes_.Rename(HandleIn(Text2_), Text5_.Text()), L"", L"",
                    L"无法更改这个窗口的标题。");
}

Report WindowCommands::CheckValid() {
    return {ws_.IsWindow(HandleIn(Text2_)) != 0 ? L"有效" : L"无效", std::nullopt};
}

Report WindowCommands::CheckVisible() {
    return {DecimalText(ws_.IsWindowVisible(HandleIn(Text2_))), std::nullopt};
}

void WindowCommands::FindHandle() {
    const Pid pid = HandleIn(Text1_);
    Text2_.SetText(DecimalText(InstanceToWnd(ws_, pid)));
}

Report WindowCommands::SetTopmost(Hwnd window, Pid pid, bool topmost) {
    if (const auto owned = OwnedForTopmost(ws_, window, topmost)) return {*owned};
    return Reported(changes_.SetTopmost(window, pid, topmost), L"", kFailed,
                    topmost ? L"无法置顶这个窗口。" : L"无法取消置顶这个窗口。");
}

}  // namespace vindrel
