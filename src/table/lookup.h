// The lookups behind the process table: the running processes, the process
// id of an executable name, the first top-level window of a process, and a
// window's title.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/step_error.h"
#include "platform/window_system.h"
#include "platform/wmi_listing.h"

namespace vindrel {

// The running processes, each with its Name and ProcessId (empty where WMI
// gave none usable).
struct ProcessList {
    std::vector<WmiObject> processes;
    // Set when WMI could not be used: why. The processes then come from the
    // Tool Help snapshot, with their executable names and ids, in snapshot
    // order.
    std::optional<StepError> wmiFailure;
};

// Lists the processes through WMI, in WMI's order, or from the snapshot
// when WMI fails or misses its deadline. Throws StepError only when the
// snapshot fails too.
ProcessList ListProcesses(WmiListing& wmi, WindowSystem& ws);

// What the user is told when the processes come from the snapshot: why
// WMI could not be used, and where the list comes from instead.
std::wstring SnapshotNotice(const StepError& wmiFailure);

// Appends the names of the listed processes to a list, in their order.
void AppendNames(ListBox& list, const std::vector<WmiObject>& listed);

// The id of the last process in snapshot order whose executable name equals
// sProcess, ignoring case; 0 when none does or the snapshot fails.
Pid GetPsPid(WindowSystem& ws, const std::wstring& sProcess);

// The executable names of processes, from one wide snapshot taken when a name
// is first asked for: a handling that names many windows takes one.
class ProcessNames {
public:
    explicit ProcessNames(WindowSystem& ws) : ws_(ws) {}
    // Empty when the process is not there (or the snapshot failed).
    std::wstring Of(Pid pid);

private:
    WindowSystem& ws_;
    std::optional<std::map<Pid, std::wstring>> names_;
};

// The first window in window-manager order whose GetParent is 0 and that
// belongs to the process, whatever its visibility; 0 when there is none.
Hwnd InstanceToWnd(WindowSystem& ws, Pid target_pid);

// At most 255 bytes of the window's ANSI title, up to its first NUL; empty
// when the window has no title or does not exist.
std::wstring HwndToTitle(WindowSystem& ws, Hwnd hwnd);

// One walk of a fresh process snapshot: each record's id and executable
// name (cut at its first NUL), in snapshot order. False, with nothing
// visited, when the snapshot cannot be taken.
bool ForEachProcess(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit);
// The same through the wide calls: names outside the ANSI code page intact.
bool ForEachProcessW(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit);

// One walk of the top-level windows in window-manager order, visiting those
// whose GetParent is 0 with their process id, until visit returns false.
void ForEachTopLevelWindow(WindowSystem& ws, const std::function<bool(Hwnd, Pid)>& visit);

// The whole title, however long, from the system's copy.
std::wstring WholeTitle(WindowSystem& ws, Hwnd window);

// The window's class name; empty for a window that does not exist.
std::wstring ClassOf(WindowSystem& ws, Hwnd window);

}  // namespace vindrel
