#include "actions/window_commands.h"

#include "actions/explanation.h"
#include "actions/target.h"
#include "platform/conversions.h"
#include "platform/text.h"
#include "table/window_state.h"

namespace vindrel {

Report WindowCommands::Hide() {
    const Hwnd target = HandleIn(Text2_);
    const Outcome outcome = path_.Run(
        target,
        {.refuseOwn = true,
         .records = ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Hide},
         .call =
             [this](Hwnd w) {
                 ws_.ShowWindow(w, api::kSwHide);
                 return true;
             },
         // ShowWindow returns the visibility before the call, so it cannot
         // tell whether hiding worked; the window's state afterwards can.
         .readBack = [this](Hwnd w) { return TookIf(ws_.IsWindow(w) && !OwnVisible(ws_, w)); }});
    if (outcome.kind == Outcome::Kind::OwnWindow) return {kOwnWindowHidden};
    return Reported(outcome, kSucceeded, kFailed, kFailed);
}

Report WindowCommands::Shows(std::wstring_view head, const std::function<void(Hwnd)>& call,
                             const std::function<bool(Hwnd)>& took) {
    const Outcome outcome =
        path_.Run(HandleIn(Text2_), {.shows = true,
                                     .call =
                                         [&](Hwnd w) {
                                             call(w);
                                             return true;
                                         },
                                     .readBack = [&](Hwnd w) { return TookIf(took(w)); }});
    return Reported(outcome, L"", L"", head);
}

Report WindowCommands::Show() {
    return Shows(
        L"无法显示这个窗口。", [this](Hwnd w) { ws_.ShowWindow(w, api::kSwShow); },
        [this](Hwnd w) { return OwnVisible(ws_, w); });
}

Report WindowCommands::Minimise() {
    return Shows(
        L"无法最小化这个窗口。", [this](Hwnd w) { ws_.CloseWindow(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) != 0; });
}

Report WindowCommands::Restore() {
    return Shows(
        L"无法还原这个窗口。", [this](Hwnd w) { ws_.OpenIcon(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) == 0; });
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
    bool queued = false;
    const Outcome outcome = path_.Run(
        target, {.refuseOwn = true,
                 .call =
                     [&](Hwnd w) {
                         queued = ws_.PostMessageA(w, api::kWmClose, 0, 0) != 0;
                         return true;
                     },
                 // Whether a queued request was dropped cannot be seen.
                 .readBack = [&](Hwnd) { return queued ? Effect::Unknown : Effect::NotTaken; }});
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
    const Hwnd target = HandleIn(Text2_);
    const std::string title = ToAnsi(Text5_.Text());
    const Outcome outcome = path_.Run(
        target,
        {.records =
             ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Title, .title = FromAnsi(title)},
         .call =
             [&](Hwnd w) {
                 ws_.SetWindowTextA(w, title.c_str());
                 return true;
             },
         // The title as the code page carried it.
         .readBack = [&](Hwnd w) { return TookIf(WholeTitle(ws_, w) == FromAnsi(title)); }});
    return Reported(outcome, L"", L"", L"无法更改这个窗口的标题。");
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
    // Windows makes a window's owners non-topmost with it, and never gives
    // them back: an owned window's place is its owner's to decide.
    if (ws_.GetWindow(window, api::kGwOwner) != 0) {
        const Hwnd root = ws_.GetAncestor(window, api::kGaRootOwner);
        return {L"它属于另一个窗口（句柄 " + DecimalText(root) + L"）：请对那个窗口" +
                (topmost ? L"置顶" : L"取消置顶")};
    }
    const Outcome outcome = path_.Run(
        window,
        {.owner = pid,
         .records =
             ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Topmost, .topmost = topmost},
         .call =
             [&](Hwnd w) {
                 ws_.SetWindowPos(w, topmost ? api::kHwndTopmost : api::kHwndNoTopmost, 0, 0, 0, 0,
                                  api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
                 return true;
             },
         .readBack = [&](Hwnd w) { return TookIf(Topmost(ws_, w) == topmost); }});
    return Reported(outcome, L"", kFailed,
                    topmost ? L"无法置顶这个窗口。" : L"无法取消置顶这个窗口。");
}

}  // namespace vindrel
