// The lookups behind the process table: the running processes, the process
// id of an executable name, the first top-level window of a process, and a
// window's title.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

// Appends the Name of every running process to the list, in the order WMI
// yields them, without clearing it first. A WMI failure throws StepError;
// the names listed before it are appended all the same.
void ProcessListing(WindowSystem& ws, ListBox& List4);

// The running processes in WMI's order, each with its Name and the
// ProcessId WMI gives with it (empty where the object had none usable).
// When WMI fails, `listedBeforeFailure` is given the processes listed
// before the failure, and then the StepError is thrown.
std::vector<WmiObject> ListProcesses(
    WindowSystem& ws,
    const std::function<void(const std::vector<WmiObject>&)>& listedBeforeFailure);

// Appends the names of the listed processes to a list, in their order.
void AppendNames(ListBox& list, const std::vector<WmiObject>& listed);

// The id of the last process in snapshot order whose executable name equals
// sProcess, ignoring case; 0 when none does or the snapshot fails.
Pid GetPsPid(WindowSystem& ws, const std::wstring& sProcess);

// The first window in window-manager order whose GetParent is 0 and that
// belongs to the process, whatever its visibility; 0 when there is none.
Hwnd InstanceToWnd(WindowSystem& ws, Pid target_pid);

// At most 255 bytes of the window's ANSI title, up to its first NUL; empty
// when the window has no title or does not exist.
std::wstring HwndToTitle(WindowSystem& ws, Hwnd hwnd);

// One walk of a fresh process snapshot: each record's id and executable
// name (cut at its first NUL), in snapshot order. Nothing when the snapshot
// fails.
void ForEachProcess(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit);

// One walk of the top-level windows in window-manager order, visiting those
// whose GetParent is 0 with their process id, until visit returns false.
void ForEachTopLevelWindow(WindowSystem& ws, const std::function<bool(Hwnd, Pid)>& visit);

}  // namespace vindrel
