// Getting lost windows back in one step: for each window, what keeps the
// user from seeing it is mended through the change path (its position on
// a monitor, its opacity, then shown and restored), and the last one comes
// to the front. It is itself a put-back: nothing is recorded, and the
// record no longer claims the parts mended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "actions/change_path.h"
#include "actions/change_record.h"
#include "actions/messages.h"
#include "platform/window_system.h"
#include "table/window_state.h"

namespace vindrel {

// A window to get back, as the list showed it.
struct LostWindow {
    Hwnd window = 0;
    Pid pid = 0;
    std::wstring process{};
    std::wstring title{};
};

struct RescueResult {
    LostWindow lost;
    // Done: got back; Unchanged: nothing was lost (only brought forward).
    Outcome outcome;
    // Set for a cloaked window, left as it is: why it cannot be forced.
    std::optional<std::wstring> cloaked{};
    // Set for a window shown that still cannot be seen: what is left.
    std::optional<std::wstring> partly{};
};

// Where a window of that rectangle goes on the work area: centred; one
// larger than the area is shrunk to fit where it can be resized, and is
// put at its top-left where it cannot.
ScreenRect PlaceOnWorkArea(const ScreenRect& window, const ScreenRect& work, bool resizable);

class WindowRescue {
public:
    WindowRescue(WindowSystem& ws, ChangePath& path, ChangeRecord& record)
        : ws_(ws), path_(path), record_(record) {}

    // Gets the windows back, in their order, moving those off screen onto
    // the work area of `onto` (the monitor the user looks at).
    std::vector<RescueResult> Rescue(const std::vector<LostWindow>& windows,
                                     const MonitorInfo& onto);
    // The last window handled comes to the front (once the report of the
    // rescue is closed, so that the list does not cover it again).
    void BringLastToFront(const std::vector<RescueResult>& results);

private:
    RescueResult One(const LostWindow& lost, const MonitorInfo& onto, bool maximise,
                     ProcessNames& names);
    // A maximised window, or a minimised one that restores maximised.
    bool ComesBackMaximised(Hwnd window);
    // Why a cloaked window cannot be forced; empty for one not cloaked.
    std::optional<std::wstring> CloakReason(Hwnd window);
    // The calls that mend the window; false when nothing needed mending.
    bool Mend(Hwnd window, Pid pid, const MonitorInfo& onto, bool maximise, bool& opacityMended);
    // Moves a window off screen onto the work area; true when the calls
    // also showed and restored it.
    bool MoveOnScreen(Hwnd window, const MonitorInfo& onto, const WindowStyle& style, bool maximise,
                      const std::vector<MonitorInfo>& monitors);
    bool StillLost(Hwnd window);
    // Why a window shown still cannot be seen; empty when it can.
    std::optional<std::wstring> StillLostWhy(Hwnd window);

    WindowSystem& ws_;
    ChangePath& path_;
    ChangeRecord& record_;
    // Whether the shell may still be asked about virtual desktops: not once
    // it failed to answer.
    bool askDesktops_ = true;
};

// Why a window was not got back, for a line of a list; empty when it was.
std::optional<std::wstring> NotRescuedWhy(const RescueResult& result);

// "已找回 N 个窗口", then each window that could not be got back with its
// reason; with `offer`, the offer to start this program as administrator
// once, where that helps.
Report RescueReport(const std::vector<RescueResult>& results, bool offer);

}  // namespace vindrel
