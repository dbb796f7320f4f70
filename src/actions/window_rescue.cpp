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
    std::vector<RescueResult> results;
    for (const LostWindow& lost : windows)
        results.push_back(One(lost, onto, names));
    return results;
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

RescueResult WindowRescue::One(const LostWindow& lost, const MonitorInfo& onto,
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
    bool opacityMended = false;
    result.outcome = path_.Run(window,
                               {.refuseOwn = true,
                                .owner = lost.pid,
                                .shows = true,
                                .call = [&](Hwnd w) { return Mend(w, onto, opacityMended); },
                                .readBack = [&](Hwnd w) { return TookIf(!StillLost(w)); }},
                               names);
    // The record no longer claims an opacity the user took back.
    if (opacityMended && !TooFaint(LayeringOf(ws_, window))) {
        record_.Forget(ChangeRecord::Aspect::Opacity, window);
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

bool WindowRescue::Mend(Hwnd window, const MonitorInfo& onto, bool& opacityMended) {
    // Its position and opacity first, so that it never shows off screen or
    // transparent.
    bool mended = false;
    const Layering layering = LayeringOf(ws_, window);
    if (TooFaint(layering)) {
        // The layered style stays, and so does a colour key.
        ws_.SetLayeredWindowAttributes(window, layering.key.value_or(0), 255, *layering.flags);
        opacityMended = mended = true;
    }
    const std::int32_t style = ws_.GetWindowLongA(window, api::kGwlStyle);
    const std::int32_t exStyle = ws_.GetWindowLongA(window, api::kGwlExStyle);
    const bool minimised = (style & api::kWsMinimize) != 0;
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    bool shown = false;
    if (OffScreen(WindowExtent(ws_, window, minimised, exStyle, monitors), WorkAreas(monitors))) {
        shown = MoveOnScreen(window, onto, style, exStyle, monitors);
        mended = true;
    }
    if (!shown && (minimised || (style & api::kWsVisible) == 0)) {
        // Without activating it: the last window handled comes to the front.
        ws_.ShowWindow(window, minimised ? api::kSwShowNoActivate : api::kSwShowNa);
        mended = true;
    }
    if (!mended) {
        ws_.SetWindowPos(window, api::kHwndTop, 0, 0, 0, 0,
                         api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
    }
    return mended;
}

bool WindowRescue::MoveOnScreen(Hwnd window, const MonitorInfo& onto, std::int32_t style,
                                std::int32_t exStyle, const std::vector<MonitorInfo>& monitors) {
    const bool resizable = (style & api::kWsThickFrame) != 0;
    const bool minimised = (style & api::kWsMinimize) != 0;
    if (!minimised && (style & api::kWsMaximize) == 0) {
        ScreenRect rect{};
        ws_.GetWindowRect(window, &rect);
        const ScreenRect to = PlaceOnWorkArea(rect, onto.work, resizable);
        ws_.SetWindowPos(
            window, 0, to.left, to.top, to.right - to.left, to.bottom - to.top,
            api::kSwpNoActivate | api::kSwpNoZOrder | (resizable ? 0 : api::kSwpNoSize));
        return false;
    }
    // A new normal position, in workspace coordinates but for a tool
    // window: a minimised window is restored there in the same call. A
    // maximised one is restored there too, then maximised again on that
    // monitor: a window maximised already would only go back to its old
    // maximised position.
    WindowPlacement placement{};
    if (ws_.GetWindowPlacement(window, &placement) == 0) return false;
    const bool tool = (exStyle & api::kWsExToolWindow) != 0;
    const ScreenRect normal =
        tool ? placement.rcNormalPosition : FromWorkspace(placement.rcNormalPosition, monitors);
    const ScreenRect to = PlaceOnWorkArea(normal, onto.work, resizable);
    placement.rcNormalPosition = tool ? to : ToWorkspace(to, onto);
    placement.flags = 0;
    placement.showCmd =
        static_cast<std::uint32_t>(minimised ? api::kSwShowNormal : api::kSwShowNoActivate);
    ws_.SetWindowPlacement(window, &placement);
    if (!minimised) ws_.ShowWindow(window, api::kSwShowMaximized);
    return true;
}

bool WindowRescue::StillLost(Hwnd window) {
    const std::int32_t style = ws_.GetWindowLongA(window, api::kGwlStyle);
    if ((style & api::kWsVisible) == 0 || (style & api::kWsMinimize) != 0) return true;
    if (TooFaint(LayeringOf(ws_, window))) return true;
    const std::vector<MonitorInfo> monitors = ws_.DisplayMonitors();
    return OffScreen(WindowExtent(ws_, window, false, 0, monitors), WorkAreas(monitors));
}

Report RescueReport(const std::vector<RescueResult>& results, bool offer) {
    const auto count = std::count_if(results.begin(), results.end(), [](const auto& result) {
        return !result.cloaked && result.outcome.kind == Outcome::Kind::Done;
    });
    Report report{L"已找回 " + DecimalText(static_cast<std::int32_t>(count)) + L" 个窗口",
                  std::nullopt};
    std::vector<std::wstring> failed;
    const Outcome* offered = nullptr;
    for (const RescueResult& result : results) {
        std::wstring reason;
        const Outcome& outcome = result.outcome;
        if (result.cloaked) {
            reason = *result.cloaked;
        } else if (outcome.kind == Outcome::Kind::Gone) {
            reason = L"已不存在";
        } else if (outcome.kind == Outcome::Kind::OwnWindow) {
            reason = kOwnWindowHidden;
        } else if (outcome.kind == Outcome::Kind::Failed) {
            reason = outcome.failure->What();
        } else if (outcome.kind == Outcome::Kind::Refused || outcome.kind == Outcome::Kind::Sent) {
            reason = ListReason(outcome);
            if (!offered && outcome.RefusedAbove() && RestartCanHelp(outcome.standing)) {
                offered = &outcome;
            }
        } else {
            continue;
        }
        failed.push_back(WindowInList(result.lost.process, result.lost.title, outcome.window) +
                         L"：" + reason);
    }
    if (!failed.empty()) report.text += L"\r\n\r\n未能找回的窗口：" + CappedLines(failed);
    if (offer && offered) OfferRestart(report, offered->window);
    return report;
}

}  // namespace vindrel
