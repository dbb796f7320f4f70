// What the program changed in other programs' windows during this run, so
// that it can be put back. Before the first change of each kind to a
// window (hiding it, its opacity, its title), that part of the window's
// state is recorded, whatever the change's outcome: a call that misses its
// deadline may still take effect later. A window is known by its handle
// and the process that owned it then; a handle since given to another
// process is never touched. Nothing is written to disk.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "actions/higher_rights.h"
#include "actions/window_state.h"
#include "platform/step_error.h"
#include "platform/window_system.h"

namespace vindrel {

class ChangeRecord {
public:
    enum class Change { Hide, Opacity, Title };

    // A recorded window as the user is told of it.
    struct Named {
        Hwnd window = 0;
        std::wstring process;  // its executable name when first recorded
        std::wstring title;    // as it is now (when first recorded, for a window gone)
    };

    struct Outcome {
        int restored = 0;
        // No longer there, or the handle now belongs to another process;
        // they leave the record.
        std::vector<Named> gone;
        // A call failed (a target not responding): kept in the record.
        std::vector<std::pair<Named, StepError>> failed;
    };

    ChangeRecord(WindowSystem& ws, HigherRights& rights) : ws_(ws), rights_(rights) {}

    // Records the window's state for this kind of change unless the record
    // holds it already. Nothing for a window that does not exist or is the
    // program's own, nor the opacity of one whose layering cannot be read
    // (it is left as it is).
    void Before(Change change, Hwnd window);

    bool Empty() const { return windows_.empty(); }

    // The recorded windows still there that this program left hidden, or
    // at alpha 0, in the order they were first recorded.
    std::vector<Named> Unseen();

    // Puts back every recorded window: shown if it was visible, its alpha
    // and layered style as they were, its title, each read back afterwards.
    // The calls go through the window system given, deadline and all.
    Outcome PutBack();
    // The same for the windows named.
    Outcome PutBack(const std::vector<Named>& windows);

private:
    struct Entry {
        Hwnd window = 0;
        Pid owner = 0;
        std::uint64_t order = 0;
        std::wstring process;
        std::wstring firstTitle;
        std::optional<bool> wasVisible;  // recorded before hiding
        // Not for a window whose attributes cannot be read.
        std::optional<Layering> layering;
        std::optional<std::wstring> title;  // recorded before a rename
    };

    bool StillThere(const Entry& entry);
    // The calls that put one window back; throws StepError.
    void Restore(const Entry& entry);
    // Puts the layering back; whether it reads back as it was.
    bool PutBackLayering(Hwnd window, const Layering& was);
    Named NameOf(const Entry& entry, bool gone);

    WindowSystem& ws_;
    HigherRights& rights_;
    std::map<Hwnd, Entry> windows_;
    // Windows (with their process) whose layering could not be read when
    // the program first changed their opacity.
    std::set<std::pair<Hwnd, Pid>> unreadable_;
    std::uint64_t next_ = 0;
};

// "已恢复 N 个窗口", then the windows gone and those that could not be put back.
std::wstring PutBackReport(const ChangeRecord::Outcome& outcome);

// The question asked before the program ends while windows it hid are
// still unseen: one line per window, at most 15.
std::wstring UnseenQuestion(const std::vector<ChangeRecord::Named>& unseen);

}  // namespace vindrel
