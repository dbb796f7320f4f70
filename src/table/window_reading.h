// Reading every top-level window for the window list: one pass of the
// enumeration and, for each window, only calls that send nothing to its
// thread (a window that does not answer cannot hold the list up).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/window_system.h"
#include "table/window_rows.h"
#include "table/window_state.h"

namespace vindrel {

// The process of the program a UWP frame (ApplicationFrameWindow) holds, by
// its core window; empty for any other window, or a frame holding none.
std::optional<Pid> HostedProgram(WindowSystem& ws, Hwnd window, Pid pid,
                                 const std::wstring& className);

// Where a window lies: its rectangle, or for a minimised one its normal
// position, which (but for a tool window) is in workspace coordinates.
ScreenRect WindowExtent(WindowSystem& ws, Hwnd window, const WindowStyle& style,
                        const std::vector<MonitorInfo>& monitors);

// The DWM's cloak reasons (0: not cloaked); empty where it cannot say.
std::optional<std::uint32_t> CloakOf(WindowSystem& ws, Hwnd window);

// The work areas of the monitors.
std::vector<ScreenRect> WorkAreas(const std::vector<MonitorInfo>& monitors);

// Each top-level window of every process but the program's own, top of the
// Z order first; `changed` says which the program's change record holds.
std::vector<WindowFacts> ReadWindows(WindowSystem& ws,
                                     const std::function<bool(Hwnd, Pid)>& changed);

}  // namespace vindrel
