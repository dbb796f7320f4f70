#include "actions/window_rescue.h"

#include <algorithm>

#include "actions/explanation.h"
#include "platform/conversions.h"
#include "table/window_reading.h"
#include "table/window_state.h"

namespace vindrel {

namespace {

// The HRESULTs after which the shell is not asked about desktops again.
constexpr auto kNoDesktops = static_cast<std::int32_t>(0x80040154);  // class not registered
constexpr auto kNoInterface = static_cast<std::int32_t>(0x80004002);
constexpr auto kNotImplemented = static_cast<std::int32_t>(0x80004001);

}  // namespace

ScreenRect PlaceOnWorkArea(const ScreenRect& window, const ScreenRect& work, bool resizable) {
    const int workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    int width = window.right - window.left, height = window.bottom - window.top;
    if (resizable) {
        width = std::min(width, workWidth);
        height = std::min(height, workHeight);
    }
    if (width > workWidth || height > workHeight) {
        return {work.left, work.top, work.left + width, work.top + height};
    }
    const int left = work.left + (workWidth - width) / 2,
              top = work.top + (workHeight - height) / 2;
    return {left, top, left + width, top + height};
}

std::vector<RescueResult> WindowRescue::Rescue(const std::vector<LostWindow>& windows,
                                               const MonitorInfo& onto) {
    ProcessNames names(ws_);
    askDesktops_ = true;
    // Those that come back maximised go last: SW_SHOWMAXIMIZED activates
    // its window, and only the last window handled is to come forward.
    std::vector<std::pair<LostWindow, bool>> ordered;
    for (const LostWindow& lost : windows)
        ordered.emplace_back(lost, ComesBackMaximised(lost.window));
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const auto& entry) { return !entry.second; });
    std::vector<RescueResult> results;
    for (const auto& [lost, maximise] : ordered)
        results.push_back(One(lost, onto, maximise, names));
    return results;
}

bool WindowRescue::ComesBackMaximised(Hwnd window) {
    const WindowStyle style = StyleOf(ws_, window);
    if (style.Maximised()) return true;
    WindowPlacement placement{};
    return style.Minimised() && ws_.GetWindowPlacement(window, &placement) != 0 &&
           (placement.flags & api::kWpfRestoreToMaximized) != 0;
}

void WindowRescue::BringLastToFront(const std::vector<RescueResult>& results) {
    for (auto result = results.rbegin(); result != results.rend(); ++result) {
        if (!result->cloaked && (result->outcome.kind == Outcome::Kind::Done ||
                                 result->outcome.kind == Outcome::Kind::Unchanged)) {
            ws_.SetForegroundWindow(result->lost.window);
            return;
        }
    }
}

RescueResult WindowRescue::One(const LostWindow& lost, const MonitorInfo& onto, bool maximise,
                               ProcessNames& names) {
    RescueResult result{.lost = lost, .outcome = {}, .cloaked = std::nullopt};
    const Hwnd window = lost.window;
    // A cloaked window is left as it is: its program or the shell keeps it
    // so, and showing it would fight them.
    if (WindowOwner(ws_, window) == lost.pid && !IsOwnWindow(ws_, window)) {
        result.cloaked = CloakReason(window);
        if (result.cloaked) {
            result.outcome.window = window;
            return result;
        }
    }
    const WindowStyle before = StyleOf(ws_, window);
    bool opacityMended = false;
    result.outcome =
        path_.Run(window,
                  {.refuseOwn = true,
                   .owner = lost.pid,
                   .shows = true,
                   .call = [&](Hwnd w) { return Mend(w, lost.pid, onto, maximise, opacityMended); },
                   .readBack = [&](Hwnd w) { return TookIf(!StillLost(w)); }},
                  names);
    // The record no longer claims an opacity the user took back.
    if (opacityMended && !TooFaint(LayeringOf(ws_, window))) {
        record_.Forget(ChangeRecord::Aspect::Opacity, window);
    }
    // Shown, but still not to be seen: said as it is.
    if (result.outcome.kind == Outcome::Kind::Refused &&
        (!before.Visible() || before.Minimised())) {
        const WindowStyle now = StyleOf(ws_, window);
        if (now.Visible() && !now.Minimised()) result.partly = StillLostWhy(window);
    }
    return result;
}

std::optional<std::wstring> WindowRescue::CloakReason(Hwnd window) {
    const std::optional<std::uint32_t> cloak = CloakOf(ws_, window);
    if (!cloak || *cloak == 0) return std::nullopt;
    if ((*cloak & api::kDwmCloakedApp) != 0) return L"它被自己的程序隐藏（被遮蔽）";
    if (askDesktops_) {
        std::int32_t onCurrent = 1;
        const std::int32_t asked = ws_.IsWindowOnCurrentVirtualDesktop(window, &onCurrent);
        // No answer, or no such service (Windows 7 and 8.1): it cannot say
        // for any window, and is not asked again. Otherwise it cannot say
        // for this one only. Either way nothing is claimed.
        if (asked == kNoDesktops || asked == api::kHresultTimeout || asked == kNoInterface ||
            asked == kNotImplemented) {
            askDesktops_ = false;
        } else if (asked >= 0 && onCurrent == 0) {
            return L"它在另一个虚拟桌面上";
        }
    }
    return L"它被系统隐藏（被遮蔽）";
}

bool WindowRescue::Mend(Hwnd window, Pid pid, const MonitorInfo& onto, bool maximise,
                        bool& opacityMended) {
    // Its position and opacity first, so that it never shows off screen or
    // transparent.
    bool mended = false;
    const Layering layering = LayeringOf(ws_, window);
    if (TooFaint(layering)) {
        // The program's own change is undone as it was made; otherwise the
        // window is made opaque, keeping its layered style and colour key.
        const std::optional<Layering> was = record_.LayeringBefore(window, pid);
        if (was && !TooFaint(*was)) {
            PutBackLayering(ws_, window, *was);
        } else {
            ws_.SetLayeredWindowAttributes(window, layering.key.value_or(0), 255, *layering.flags);
        }
        opacityMended = mended = true;
    }
    const WindowStyle style = StyleOf(ws_, window);
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    bool shown = false;
    if (OffScreen(WindowExtent(ws_, window, style, monitors), WorkAreas(monitors))) {
        shown = MoveOnScreen(window, onto, style, maximise, monitors);
        mended = true;
    }
    if (!shown && (style.Minimised() || !style.Visible())) {
        // Without activating it (the last window handled comes to the
        // front), but for one that comes back maximised: that call
        // activates, and such windows are handled last.
        ws_.ShowWindow(window, maximise            ? api::kSwShowMaximized
                               : style.Minimised() ? api::kSwShowNoActivate
                                                   : api::kSwShowNa);
        mended = true;
    }
    if (!mended) {
        ws_.SetWindowPos(window, api::kHwndTop, 0, 0, 0, 0,
                         api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
    }
    return mended;
}

bool WindowRescue::MoveOnScreen(Hwnd window, const MonitorInfo& onto, const WindowStyle& style,
                                bool maximise, const std::vector<MonitorInfo>& monitors) {
    if (!style.Minimised() && !style.Maximised()) {
        ScreenRect rect{};
        ws_.GetWindowRect(window, &rect);
        const ScreenRect to = PlaceOnWorkArea(rect, onto.work, style.Resizable());
        ws_.SetWindowPos(
            window, 0, to.left, to.top, to.right - to.left, to.bottom - to.top,
            api::kSwpNoActivate | api::kSwpNoZOrder | (style.Resizable() ? 0 : api::kSwpNoSize));
        return false;
    }
    // A new normal position, in workspace coordinates but for a tool
    // window, where it is restored without being activated; one that comes
    // back maximised is then maximised on that monitor: a window maximised
    // already would only go back to its old maximised position.
    WindowPlacement placement{};
    if (ws_.GetWindowPlacement(window, &placement) == 0) return false;
    const ScreenRect normal = style.Tool() ? placement.rcNormalPosition
                                           : FromWorkspace(placement.rcNormalPosition, monitors);
    const ScreenRect to = PlaceOnWorkArea(normal, onto.work, style.Resizable());
    placement.rcNormalPosition = style.Tool() ? to : ToWorkspace(to, onto);
    placement.flags = 0;
    placement.showCmd = static_cast<std::uint32_t>(api::kSwShowNoActivate);
    ws_.SetWindowPlacement(window, &placement);
    if (maximise) ws_.ShowWindow(window, api::kSwShowMaximized);
    return true;
}

bool WindowRescue::StillLost(Hwnd window) {
    const WindowStyle style = StyleOf(ws_, window);
    return !style.Visible() || style.Minimised() || StillLostWhy(window).has_value();
}

std::optional<std::wstring> WindowRescue::StillLostWhy(Hwnd window) {
    if (TooFaint(LayeringOf(ws_, window))) return L"已显示，但仍几乎透明";
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    if (OffScreen(WindowExtent(ws_, window, StyleOf(ws_, window), monitors), WorkAreas(monitors))) {
        return L"已显示，但仍在屏幕外";
    }
    return std::nullopt;
}

std::optional<std::wstring> NotRescuedWhy(const RescueResult& result) {
    const Outcome& outcome = result.outcome;
    if (result.cloaked) return *result.cloaked;
    if (result.partly && !outcome.RefusedAbove()) return *result.partly;
    switch (outcome.kind) {
        case Outcome::Kind::Gone:
            return L"已不存在";
        case Outcome::Kind::OwnWindow:
            return kOwnWindowHidden;
        case Outcome::Kind::Failed:
            return outcome.failure->What();
        case Outcome::Kind::Refused:
        case Outcome::Kind::Sent:
            return ListReason(outcome);
        default:
            return std::nullopt;
    }
}

Report RescueReport(const std::vector<RescueResult>& results, bool offer) {
    const auto count = std::count_if(results.begin(), results.end(), [](const auto& result) {
        return !result.cloaked && result.outcome.kind == Outcome::Kind::Done;
    });
    WindowSection failed{L"未能找回的窗口：", {}};
    const Outcome* offered = nullptr;
    for (const RescueResult& result : results) {
        const std::optional<std::wstring> reason = NotRescuedWhy(result);
        if (!reason) continue;
        const Outcome& outcome = result.outcome;
        if (!offered && !result.cloaked && OffersRestart(outcome)) offered = &outcome;
        failed.lines.push_back(
            WindowInList(result.lost.process, result.lost.title, outcome.window) + L"：" + *reason);
    }
    Report report{
        WindowsMessage(L"已找回 " + DecimalText(static_cast<std::int32_t>(count)) + L" 个窗口",
                       {failed}),
        std::nullopt};
    if (offer && offered) OfferRestart(report, offered->window);
    return report;
}

}  // namespace vindrel
