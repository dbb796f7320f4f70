// What the program changed in other programs' windows during this run, so
// that it can be put back. Before the first change of each kind to a
// window (hiding it, its opacity, its title), that aspect of the window's
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

#include "actions/messages.h"
#include "actions/outcome.h"
#include "actions/window_state.h"
#include "platform/window_system.h"
#include "table/lookup.h"

namespace vindrel {

class ChangePath;

class ChangeRecord {
public:
    enum class Aspect { Hide, Opacity, Title };

    // A recorded window as the user is told of it.
    struct Named {
        Hwnd window = 0;
        std::wstring process;  // its executable name when first recorded
        std::wstring title;    // as it is now (when first recorded, for a window gone)
    };

    struct PutBackResult {
        Named named;
        Outcome outcome;
    };

    explicit ChangeRecord(WindowSystem& ws) : ws_(ws) {}

    // Records the window's state for this aspect unless the record holds it
    // already. Nothing for a window that does not exist or is the program's
    // own, nor for an aspect the change cannot alter: hiding a window hidden
    // already, the opacity of one whose layering cannot be read (it is left
    // as it is).
    void Before(Aspect aspect, Hwnd window, ProcessNames& names);
    // The program no longer answers for that aspect of the window: for Hide,
    // once the window is visible again.
    void Forget(Aspect aspect, Hwnd window);

    bool Empty() const { return windows_.empty(); }

    // The recorded windows still there that this program keeps hidden, or
    // at alpha 0, in the order they were first recorded.
    std::vector<Named> Unseen();

    // Puts back each recorded window through the change path, in the order
    // first recorded: its title, its alpha and layered style, then shown if
    // the program hid it; every aspect is tried, and each is read back. The
    // windows put back, found as recorded or gone leave the record; those
    // that did not take or did not answer stay in it. One process snapshot
    // names them all.
    std::vector<PutBackResult> PutBack(ChangePath& path);
    // The same for the windows named.
    std::vector<PutBackResult> PutBack(ChangePath& path, const std::vector<Named>& windows);

private:
    struct Entry {
        Hwnd window = 0;
        Pid owner = 0;
        std::uint64_t order = 0;
        std::wstring process;
        std::wstring firstTitle;
        bool hid = false;  // hidden by the program while it was visible
        // Not for a window whose attributes cannot be read.
        std::optional<Layering> layering;
        std::optional<std::wstring> title;  // recorded before a rename

        bool Empty() const { return !hid && !layering && !title; }
    };

    // The calls that put one window back; throws the first StepError once
    // every aspect has been tried.
    void PutBackAspects(const Entry& entry);
    bool AsRecorded(const Entry& entry);
    void PutBackLayering(Hwnd window, const Layering& was);
    Named NameOf(const Entry& entry, bool gone);

    WindowSystem& ws_;
    std::map<Hwnd, Entry> windows_;
    // Windows (with their process) whose layering could not be read when
    // the program first changed their opacity.
    std::set<std::pair<Hwnd, Pid>> unreadable_;
    std::uint64_t next_ = 0;
};

// "已恢复 N 个窗口", then the windows gone and those that could not be put
// back, each with its reason; with `offer`, the offer to start this program
// as administrator once, with the first window refused where that helps.
Report PutBackReport(const std::vector<ChangeRecord::PutBackResult>& results, bool offer);

// The question asked before the program ends while windows it hid are
// still unseen: one line per window, at most 15.
std::wstring UnseenQuestion(const std::vector<ChangeRecord::Named>& unseen);

}  // namespace vindrel
