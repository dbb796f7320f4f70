// The boss key's set and what one press does to it: every visible window of
// the programs the user chose (each known by its executable's full path)
// hidden in one step, recorded first, and shown again as it was with the
// next press. Everything goes through the change path and the change
// record, so that a restart, a kill or the restore item never loses a
// window the boss key hid.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/change_path.h"
#include "actions/change_record.h"
#include "platform/record_store.h"
#include "platform/window_system.h"

namespace vindrel {

// What became of the windows of one press (or one sweep): those that did
// not take, to be told later, never in the middle of it.
struct BossResult {
    int changed = 0;
    std::vector<ChangeRecord::PutBackResult> failed;
};

// What runs now: the programs with a window the user can see (a store
// app's by the program its frame holds), each once by its executable's full
// path and never this one; and the paths, in lower case, of every process
// whose path can be read.
struct RunningPrograms {
    std::vector<std::wstring> withWindows;
    std::set<std::wstring> paths;
    bool Runs(const std::wstring& path) const;
};
RunningPrograms ReadRunningPrograms(WindowSystem& ws);

class BossKey {
public:
    BossKey(WindowSystem& ws, ChangePath& path, ChangeRecord& record, Lifetimes& lifetimes)
        : ws_(ws), path_(path), record_(record), lifetimes_(lifetimes) {}

    // The programs chosen, by their executables' full paths (compared
    // ignoring case).
    void SetPrograms(const std::vector<std::wstring>& paths);
    const std::vector<std::wstring>& Programs() const { return programs_; }

    // The set's windows now: every visible top-level window, owned and tool
    // windows included, of a process running one of the programs (a store
    // app's frame by the program it holds), never the program's own; top of
    // the Z order first.
    std::vector<Hwnd> Windows();

    // Whether the record holds a window the boss key hid that is still hidden.
    bool Hidden() { return !record_.BossHidden().empty(); }
    // One press: shows when the record holds such a window, hides otherwise.
    BossResult Toggle() { return Hidden() ? Show() : Hide(); }
    // Records every window of the set (its placement, its place in the Z
    // order, whether it has the foreground) with one write of the record,
    // hands the foreground out of the set, then hides them top to bottom.
    BossResult Hide();
    // Shows them bottom to top as they were (maximised or minimised as
    // recorded, the placement set again only where it differs), then gives
    // the foreground back; a window its program closed, or a handle since
    // given to another window, is left alone.
    BossResult Show();
    // While the set is hidden: its windows that became visible since (a new
    // dialog, a new process of a chosen program) are hidden and join it.
    BossResult Sweep();
    // While held (the session is ending), nothing is hidden: a hide in
    // progress stops at the next window and shows again what it hid, and
    // a sweep does nothing.
    void Hold(bool held) { held_ = held; }
    bool Held() const { return held_; }
    // Between a hide and the next show: what shows meanwhile is hidden by
    // the sweep. A show that left some windows hidden ends it too.
    bool Sweeping() { return sweeping_ && Hidden(); }

private:
    // Whether the window is the set's; `chosenByPid` keeps what was read
    // of each process.
    bool InSet(Hwnd window, Pid pid, const std::wstring& className,
               std::map<Pid, bool>& chosenByPid);
    // Hides the windows, recorded from `order` on; `foreground` had it.
    BossResult HideAll(const std::vector<Hwnd>& windows, std::uint32_t order, Hwnd foreground);
    // The window below the set's that is to have the foreground instead.
    Hwnd NextOutside(const std::vector<Hwnd>& set);

    WindowSystem& ws_;
    ChangePath& path_;
    ChangeRecord& record_;
    Lifetimes& lifetimes_;
    std::vector<std::wstring> programs_;
    std::set<std::wstring> chosen_;  // their paths in lower case
    std::set<Hwnd> refused_;         // would not hide while the set is hidden
    bool held_ = false;
    bool sweeping_ = false;
};

}  // namespace vindrel
