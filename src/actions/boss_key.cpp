#include "actions/boss_key.h"

#include <algorithm>
#include <map>

#include "platform/text.h"
#include "table/lookup.h"
#include "table/window_reading.h"
#include "table/window_rows.h"
#include "table/window_state.h"

namespace vindrel {

namespace {

constexpr std::uint32_t kShowMinimised = 2, kShowMaximised = 3;
constexpr std::int32_t kShowMinNoActive = 7;

// Gives the window its recorded placement where it differs: maximised
// again (which activates it: no other call maximises), minimised or
// restored without activating, never through SW_RESTORE.
void PlaceAsRecorded(WindowSystem& ws, Hwnd window, const BossPlace& was) {
    WindowPlacement now{};
    if (ws.GetWindowPlacement(window, &now) == 0) return;
    if (now.showCmd == was.showCmd && now.rcNormalPosition == was.normal) return;
    WindowPlacement placement = now;
    placement.flags = 0;
    placement.rcNormalPosition = was.normal;
    placement.showCmd =
        static_cast<std::uint32_t>(was.showCmd == kShowMaximised   ? api::kSwShowMaximized
                                   : was.showCmd == kShowMinimised ? kShowMinNoActive
                                                                   : api::kSwShowNoActivate);
    ws.SetWindowPlacement(window, &placement);
}

// The process a window stands for: a store app's frame for the program it
// holds (none when it holds none), never for the host of every frame.
std::optional<Pid> ProgramOf(WindowSystem& ws, Hwnd window, Pid pid,
                             const std::wstring& className) {
    if (std::wstring_view(className) != L"ApplicationFrameWindow") return pid;
    return HostedProgram(ws, window, pid, className);
}

}  // namespace

bool RunningPrograms::Runs(const std::wstring& path) const {
    return paths.count(LowerCase(path)) != 0;
}

RunningPrograms ReadRunningPrograms(WindowSystem& ws) {
    RunningPrograms running;
    const Pid self = ws.GetCurrentProcessId();
    std::map<Pid, std::wstring> pathOf;
    ForEachProcessW(ws, [&](Pid pid, const std::wstring&) {
        if (pid == self) return;
        if (const std::optional<std::wstring> path = ws.ProcessImagePath(pid)) {
            pathOf[pid] = *path;
            running.paths.insert(LowerCase(*path));
        }
    });
    std::set<std::wstring> listed;
    ForEachTopLevelWindow(ws, [&](Hwnd window, Pid pid) {
        if (ws.IsWindowVisible(window) == 0 || WholeTitle(ws, window).empty()) return true;
        const std::optional<Pid> program = ProgramOf(ws, window, pid, ClassOf(ws, window));
        const auto path = program ? pathOf.find(*program) : pathOf.end();
        if (path == pathOf.end() || !listed.insert(LowerCase(path->second)).second) return true;
        running.withWindows.push_back(path->second);
        return true;
    });
    return running;
}

void BossKey::SetPrograms(const std::vector<std::wstring>& paths) {
    programs_ = paths;
    chosen_.clear();
    for (const std::wstring& path : paths)
        chosen_.insert(LowerCase(path));
}

bool BossKey::InSet(Hwnd window, Pid pid, const std::wstring& className,
                    std::map<Pid, bool>& chosenByPid) {
    if (ShellWindow(className)) return false;
    const std::optional<Pid> program = ProgramOf(ws_, window, pid, className);
    if (!program) return false;
    // Each process's path read once per look at the windows.
    const auto [known, added] = chosenByPid.try_emplace(*program, false);
    if (added) {
        const std::optional<std::wstring> path = ws_.ProcessImagePath(*program);
        known->second = path && chosen_.count(LowerCase(*path)) != 0;
    }
    return known->second;
}

std::vector<Hwnd> BossKey::Windows() {
    std::vector<Hwnd> all;
    ws_.EnumWindows([&](Hwnd window) {
        all.push_back(window);
        return true;
    });
    const Pid own = ws_.GetCurrentProcessId();
    std::map<Pid, bool> chosenByPid;
    std::vector<Hwnd> set;
    for (const Hwnd window : all) {
        const std::optional<Pid> pid = WindowOwner(ws_, window);
        if (!pid || *pid == own || !OwnVisible(ws_, window)) continue;
        if (InSet(window, *pid, ClassOf(ws_, window), chosenByPid)) set.push_back(window);
    }
    return set;
}

Hwnd BossKey::NextOutside(const std::vector<Hwnd>& set) {
    Hwnd next = 0;
    ws_.EnumWindows([&](Hwnd window) {
        const WindowStyle style = StyleOf(ws_, window);
        if (std::find(set.begin(), set.end(), window) != set.end() || !style.Visible() ||
            style.Minimised() || style.Tool() || WholeTitle(ws_, window).empty() ||
            CloakOf(ws_, window).value_or(0) != 0) {
            return true;
        }
        next = window;
        return false;
    });
    return next;
}

BossResult BossKey::Hide() {
    if (held_) return {};
    refused_.clear();
    sweeping_ = true;
    return HideAll(Windows(), 0, ws_.GetForegroundWindow());
}

BossResult BossKey::HideAll(const std::vector<Hwnd>& windows, std::uint32_t order,
                            Hwnd foreground) {
    BossResult result;
    if (windows.empty()) return result;
    ProcessNames names(ws_);
    {
        // Every window on disk before any is hidden, in one write.
        const ChangeRecord::Batch batch(record_);
        for (const Hwnd window : windows) {
            WindowPlacement placement{};
            ws_.GetWindowPlacement(window, &placement);
            record_.Before({.aspect = ChangeRecord::Aspect::Hide,
                            .boss = BossPlace{order++, placement.showCmd,
                                              placement.rcNormalPosition, window == foreground}},
                           window, names);
        }
    }
    // The foreground leaves the set first: unlocking the screen would
    // otherwise show the window that had it again.
    if (std::find(windows.begin(), windows.end(), foreground) != windows.end()) {
        if (const Hwnd next = NextOutside(windows); next != 0) ws_.SetForegroundWindow(next);
    }
    for (const Hwnd window : windows) {
        if (held_) {
            // Recorded, not hidden: nothing to keep hidden.
            record_.Forget(ChangeRecord::Aspect::Hide, window);
            continue;
        }
        const std::optional<Pid> pid = WindowOwner(ws_, window);
        const Outcome outcome =
            path_.Run(window,
                      {.refuseOwn = true,
                       .owner = pid,
                       .call =
                           [&](Hwnd w) {
                               ws_.ShowWindow(w, api::kSwHide);
                               return true;
                           },
                       .readBack = [&](Hwnd w) { return TookIf(!OwnVisible(ws_, w)); }},
                      names);
        if (outcome.kind == Outcome::Kind::Done) {
            ++result.changed;
            continue;
        }
        // Refused: nothing the boss key keeps hidden. One whose call missed
        // its deadline may still hide: it stays recorded.
        if (outcome.kind == Outcome::Kind::Refused && OwnVisible(ws_, window)) {
            record_.Forget(ChangeRecord::Aspect::Hide, window);
        }
        refused_.insert(window);
        if (outcome.kind == Outcome::Kind::Gone) continue;  // closed meanwhile
        result.failed.push_back(
            {{window, pid ? names.Of(*pid) : std::wstring(), WholeTitle(ws_, window)}, outcome});
    }
    // The session began to end meanwhile (a wait above let its question
    // in): the windows hidden after its show come back too.
    if (held_) {
        const BossResult shown = Show();
        result.failed.insert(result.failed.end(), shown.failed.begin(), shown.failed.end());
    }
    return result;
}

BossResult BossKey::Show() {
    BossResult result;
    std::vector<RecordedWindow> hidden = record_.BossHidden();
    // Bottom first: each shown one goes on top, and the top one ends there.
    std::sort(hidden.begin(), hidden.end(), [](const RecordedWindow& a, const RecordedWindow& b) {
        return a.boss->order > b.boss->order;
    });
    ProcessNames names(ws_);
    Hwnd foreground = 0;
    for (const RecordedWindow& recorded : hidden) {
        const Hwnd window = recorded.window;
        // Still that window: a handle since given to another window (of the
        // same process id, or another class) is never touched.
        if (lifetimes_.Created(recorded.pid).value_or(0) != recorded.created ||
            ClassOf(ws_, window) != recorded.className) {
            record_.Forget(ChangeRecord::Aspect::Hide, window);
            continue;
        }
        const Outcome outcome = path_.Run(
            window,
            {.owner = recorded.pid,
             .shows = true,
             .call =
                 [&](Hwnd w) {
                     // ShowWindow tells the program that it
                     // shows (WM_SHOWWINDOW), as the hide told
                     // it that it hid.
                     ws_.ShowWindow(w, api::kSwShowNa);
                     PlaceAsRecorded(ws_, w, *recorded.boss);
                     ws_.SetWindowPos(w, api::kHwndTop, 0, 0, 0, 0,
                                      api::kSwpNoMove | api::kSwpNoSize | api::kSwpNoActivate);
                     return true;
                 },
             .readBack = [&](Hwnd w) { return TookIf(OwnVisible(ws_, w)); }},
            names);
        if (outcome.kind == Outcome::Kind::Done || outcome.kind == Outcome::Kind::Unchanged) {
            ++result.changed;
            if (recorded.boss->foreground) foreground = window;
        } else if (outcome.kind != Outcome::Kind::Gone) {
            result.failed.push_back({{window, recorded.process, WholeTitle(ws_, window)}, outcome});
        }
    }
    if (foreground != 0) ws_.SetForegroundWindow(foreground);
    refused_.clear();
    sweeping_ = false;
    return result;
}

BossResult BossKey::Sweep() {
    const std::vector<RecordedWindow> hidden = record_.BossHidden();
    if (hidden.empty() || held_ || !sweeping_) return {};
    std::uint32_t next = 0;
    for (const RecordedWindow& recorded : hidden)
        next = std::max(next, recorded.boss->order + 1);
    // A window that would not hide is not asked again each sweep.
    std::vector<Hwnd> windows = Windows();
    std::erase_if(windows, [this](Hwnd window) { return refused_.count(window) != 0; });
    return HideAll(windows, next, ws_.GetForegroundWindow());
}

}  // namespace vindrel
