// The process table: four list boxes whose row i together describe one
// process (name, title, handle, process id).
#pragma once

#include <vector>

#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

struct ProcessTable {
    ListBox& List4;  // executable name
    ListBox& List1;  // title of the first top-level window, or "无"
    ListBox& List2;  // that window's handle, "0" when none
    ListBox& List3;  // process id, "0" when not found
};

void Clear(ProcessTable& table);

// Rebuilds the table from the listed processes, in their order. Each row
// describes its own process: the id listed with the name (GetPsPid of the
// name only where the listing gave none), that process's first top-level
// window (InstanceToWnd) and its title. One window walk in all, plus one
// snapshot walk when some row needs the fallback; the table is exactly that
// of RefreshPerRow. The rows are computed first and the four lists written
// after, in one step; the selection of List4 then rests on its last row.
void Refresh(ProcessTable& table, WindowSystem& ws, const std::vector<WmiObject>& listed);

// The same table computed row by row: for each row a walk of the windows
// (InstanceToWnd), and a fresh snapshot walk (GetPsPid) where the listing
// gave no id; written in one step like Refresh. Quadratic; kept as the
// reference that Refresh is checked against.
void RefreshPerRow(ProcessTable& table, WindowSystem& ws, const std::vector<WmiObject>& listed);

}  // namespace vindrel
