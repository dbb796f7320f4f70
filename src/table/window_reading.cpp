#include "table/window_reading.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "table/lookup.h"
#include "table/window_state.h"

namespace vindrel {

ScreenRect WindowExtent(WindowSystem& ws, Hwnd window, const WindowStyle& style,
                        const std::vector<MonitorInfo>& monitors) {
    ScreenRect rect{};
    if (!style.Minimised()) {
        ws.GetWindowRect(window, &rect);
        return rect;
    }
    WindowPlacement placement{};
    if (ws.GetWindowPlacement(window, &placement) == 0) return rect;
    rect = placement.rcNormalPosition;
    if (style.Tool()) return rect;
    return FromWorkspace(rect, monitors);
}

std::vector<ScreenRect> WorkAreas(const std::vector<MonitorInfo>& monitors) {
    std::vector<ScreenRect> workAreas;
    for (const MonitorInfo& monitor : monitors)
        workAreas.push_back(monitor.work);
    return workAreas;
}

std::optional<std::uint32_t> CloakOf(WindowSystem& ws, Hwnd window) {
    std::uint32_t cloaked = 0;
    if (ws.DwmGetWindowAttribute(window, api::kDwmwaCloaked, &cloaked, sizeof cloaked) < 0) {
        return std::nullopt;
    }
    return cloaked;
}

std::optional<Pid> HostedProgram(WindowSystem& ws, Hwnd window, Pid pid,
                                 const std::wstring& className) {
    if (className != L"ApplicationFrameWindow") return std::nullopt;
    const Hwnd core = ws.FindWindowExW(window, 0, L"Windows.UI.Core.CoreWindow", nullptr);
    const std::optional<Pid> hosted = core != 0 ? WindowOwner(ws, core) : std::nullopt;
    if (!hosted || *hosted == pid) return std::nullopt;
    return hosted;
}

std::vector<WindowFacts> ReadWindows(WindowSystem& ws,
                                     const std::function<bool(Hwnd, Pid)>& changed) {
    const Pid own = ws.GetCurrentProcessId();
    const std::vector<MonitorInfo> monitors = ws.DisplayMonitors();
    const std::vector<ScreenRect> workAreas = WorkAreas(monitors);
    ProcessNames names(ws);
    std::map<Pid, std::wstring> paths;  // read once per process

    std::vector<Hwnd> windows;
    ws.EnumWindows([&](Hwnd window) {
        windows.push_back(window);
        return true;
    });
    std::vector<WindowFacts> rows;
    rows.reserve(windows.size());
    for (const Hwnd window : windows) {
        const std::optional<Pid> pid = WindowOwner(ws, window);
        if (!pid || *pid == own) continue;  // gone since, or the program's own
        WindowFacts facts;
        facts.window = window;
        facts.pid = *pid;
        facts.className = ClassOf(ws, window);
        // A frame names the program it holds.
        const std::optional<Pid> hosted = HostedProgram(ws, window, *pid, facts.className);
        facts.process = hosted ? names.Of(*hosted) + std::wstring(kFrameHost) : names.Of(*pid);
        const auto [path, added] = paths.try_emplace(hosted.value_or(*pid));
        if (added) path->second = ws.ProcessImagePath(path->first).value_or(std::wstring());
        facts.path = path->second;
        facts.title = WholeTitle(ws, window);
        const WindowStyle style = StyleOf(ws, window);
        facts.visible = style.Visible();
        facts.minimised = style.Minimised();
        facts.maximised = style.Maximised();
        const std::optional<std::uint32_t> cloak = CloakOf(ws, window);
        if (cloak) facts.cloaked = *cloak != 0;
        facts.cloakedByApp = cloak && (*cloak & api::kDwmCloakedApp) != 0;
        facts.captioned = style.Captioned();
        facts.appWindow = style.AppWindow();
        facts.tool = style.Tool();
        facts.owned = ws.GetWindow(window, api::kGwOwner) != 0;
        facts.extent = WindowExtent(ws, window, style, monitors);
        facts.offScreen = OffScreen(facts.extent, workAreas);
        facts.alpha = LayeringOf(ws, window, style.exStyle).Alpha();
        facts.topmost = style.Topmost();
        facts.hung = ws.IsHungAppWindow(window) != 0;
        facts.changed = changed && changed(window, *pid);
        rows.push_back(std::move(facts));
    }
    return rows;
}

}  // namespace vindrel
