// The one path of every change the program makes to a window of another
// program: the commands, the opacity bar and the put-back of what it
// changed. A change says what it calls, what it records and how its result
// is read back; the path runs the steps in one order and returns what
// became of it, for the caller to show (one window) or to gather (many).
#pragma once

#include <functional>
#include <optional>

#include "actions/change_record.h"
#include "actions/outcome.h"
#include "actions/standing.h"
#include "platform/window_system.h"
#include "table/lookup.h"

namespace vindrel {

struct WindowChange {
    // Refused for this program's own windows, which the change would harm.
    bool refuseOwn = false;
    // For a put-back: the process the window must still belong to; a handle
    // since given to another process's window is never touched.
    std::optional<Pid> owner{};
    // The aspect of the window recorded before the call, with what it sets.
    std::optional<ChangeRecord::Setting> records{};
    // The change shows the window (显示, 最小化, 还原, a put-back): one left
    // visible is no longer one the program keeps hidden.
    bool shows = false;
    // The calls, through the deadline layer; false when the window was as
    // wanted already before them (the change then counts as Unchanged).
    // May throw StepError.
    std::function<bool(Hwnd)> call{};
    std::function<Effect(Hwnd)> readBack{};
};

class ChangePath {
public:
    ChangePath(WindowSystem& ws, Standings& standings, ChangeRecord& record)
        : ws_(ws), standings_(standings), record_(record) {}

    // Runs the change on the window; `names` names the processes of the
    // handling (one snapshot for all its windows).
    Outcome Run(Hwnd window, const WindowChange& change, ProcessNames& names);
    // The same for a handling that changes one window.
    Outcome Run(Hwnd window, const WindowChange& change) {
        ProcessNames names(ws_);
        return Run(window, change, names);
    }

private:
    WindowSystem& ws_;
    Standings& standings_;
    ChangeRecord& record_;
};

}  // namespace vindrel
