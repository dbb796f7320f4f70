// The changes of the window commands, each on one window through the change
// path: the buttons name the window by the handle box, the command line by
// its search. `owner`, where given, is the process the window must still
// belong to: a handle read a moment before may name another window since.
#pragma once

#include <optional>
#include <string>

#include "actions/change_path.h"
#include "platform/window_system.h"

namespace vindrel {

class WindowChanges {
public:
    WindowChanges(WindowSystem& ws, ChangePath& path) : ws_(ws), path_(path) {}

    // Hidden, recorded first; the program's own windows are refused.
    Outcome Hide(Hwnd window, std::optional<Pid> owner = {});
    Outcome Show(Hwnd window, std::optional<Pid> owner = {});
    Outcome Minimise(Hwnd window, std::optional<Pid> owner = {});
    // A minimised window restored; any other is left as it is (refused).
    Outcome Restore(Hwnd window, std::optional<Pid> owner = {});
    // WM_CLOSE posted: Sent once queued, since whether the program closes
    // the window cannot be read. The program's own windows are refused.
    Outcome AskToClose(Hwnd window, std::optional<Pid> owner = {});
    // The title, through the ANSI code page, recorded first.
    Outcome Rename(Hwnd window, const std::wstring& title, std::optional<Pid> owner = {});
    // Kept above the others or let go, without moving, sizing or
    // activating it; recorded first.
    Outcome SetTopmost(Hwnd window, std::optional<Pid> owner, bool topmost);

private:
    // A change that shows the window as it goes.
    Outcome Shows(Hwnd window, std::optional<Pid> owner, const std::function<void(Hwnd)>& call,
                  const std::function<bool(Hwnd)>& took);

    WindowSystem& ws_;
    ChangePath& path_;
};

// Why an owned window is not made topmost or let go: Windows makes its
// owners so with it, and never gives them back. Empty for a window with no
// owner.
std::optional<std::wstring> OwnedForTopmost(WindowSystem& ws, Hwnd window, bool topmost);

}  // namespace vindrel
