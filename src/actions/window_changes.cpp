#include "actions/window_changes.h"

#include "platform/conversions.h"
#include "platform/text.h"
#include "table/window_state.h"

namespace vindrel {

Outcome WindowChanges::Hide(Hwnd window, std::optional<Pid> owner) {
    return path_.Run(
        window,
        {.refuseOwn = true,
         .owner = owner,
         .records = ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Hide},
         .call =
             [this](Hwnd w) {
                 ws_.ShowWindow(w, api::kSwHide);
                 return true;
             },
         // ShowWindow returns the visibility before the call, so it cannot
         // tell whether hiding worked; the window's state afterwards can.
         .readBack = [this](Hwnd w) { return TookIf(ws_.IsWindow(w) && !OwnVisible(ws_, w)); }});
}

Outcome WindowChanges::Shows(Hwnd window, std::optional<Pid> owner,
                             const std::function<void(Hwnd)>& call,
                             const std::function<bool(Hwnd)>& took) {
    return path_.Run(window, {.owner = owner,
                              .shows = true,
                              .call =
                                  [&](Hwnd w) {
                                      call(w);
                                      return true;
                                  },
                              .readBack = [&](Hwnd w) { return TookIf(took(w)); }});
}

Outcome WindowChanges::Show(Hwnd window, std::optional<Pid> owner) {
    return Shows(
        window, owner, [this](Hwnd w) { ws_.ShowWindow(w, api::kSwShow); },
        [this](Hwnd w) { return OwnVisible(ws_, w); });
}

Outcome WindowChanges::Minimise(Hwnd window, std::optional<Pid> owner) {
    return Shows(
        window, owner, [this](Hwnd w) { ws_.CloseWindow(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) != 0; });
}

Outcome WindowChanges::Restore(Hwnd window, std::optional<Pid> owner) {
    return Shows(
        window, owner, [this](Hwnd w) { ws_.OpenIcon(w); },
        [this](Hwnd w) { return ws_.IsIconic(w) == 0; });
}

Outcome WindowChanges::AskToClose(Hwnd window, std::optional<Pid> owner) {
    bool queued = false;
    return path_.Run(
        window, {.refuseOwn = true,
                 .owner = owner,
                 .call =
                     [&](Hwnd w) {
                         queued = ws_.PostMessageA(w, api::kWmClose, 0, 0) != 0;
                         return true;
                     },
                 // Whether a queued request was dropped cannot be seen.
                 .readBack = [&](Hwnd) { return queued ? Effect::Unknown : Effect::NotTaken; }});
}

Outcome WindowChanges::Rename(Hwnd window, const std::wstring& title, std::optional<Pid> owner) {
    const std::string ansi = ToAnsi(title);
    const std::wstring carried = FromAnsi(ansi);  // as the code page carries it
    return path_.Run(
        window,
        {.owner = owner,
         .records = ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Title, .title = carried},
         .call =
             [&](Hwnd w) {
                 ws_.SetWindowTextA(w, ansi.c_str());
                 return true;
             },
         .readBack = [&](Hwnd w) { return TookIf(WholeTitle(ws_, w) == carried); }});
}

Outcome WindowChanges::SetTopmost(Hwnd window, std::optional<Pid> owner, bool topmost) {
    return path_.Run(
        window,
        {.owner = owner,
         .records =
             ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Topmost, .topmost = topmost},
         .call =
             [&](Hwnd w) {
                 ws_.SetWindowPos(w, topmost ? api::kHwndTopmost : api::kHwndNoTopmost, 0, 0, 0, 0,
                                  api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
                 return true;
             },
         .readBack = [&](Hwnd w) { return TookIf(Topmost(ws_, w) == topmost); }});
}

std::optional<std::wstring> OwnedForTopmost(WindowSystem& ws, Hwnd window, bool topmost) {
    if (ws.GetWindow(window, api::kGwOwner) == 0) return std::nullopt;
    const Hwnd root = ws.GetAncestor(window, api::kGaRootOwner);
    return L"它属于另一个窗口（句柄 " + DecimalText(root) + L"）：请对那个窗口" +
           (topmost ? L"置顶" : L"取消置顶");
}

}  // namespace vindrel
