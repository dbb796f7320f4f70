// What the program changed in other programs' windows during this run, so
// that it can be put back. Before the first change of each kind to a
// window (hiding it, its opacity, its title), that aspect of the window's
// state is recorded, whatever the change's outcome: a call that misses its
// deadline may still take effect later. A window is known by its handle
// and the process that owned it then; a handle since given to another
// process is never touched. What the record holds is kept on disk by
// RecordKeeping, which `Changed` tells before each change is made.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "actions/messages.h"
#include "actions/outcome.h"
#include "actions/record_file.h"
#include "platform/record_store.h"
#include "platform/window_system.h"
#include "table/lookup.h"
#include "table/window_state.h"

namespace vindrel {

class ChangePath;

class ChangeRecord {
public:
    enum class Aspect { Hide, Opacity, Title, Topmost };
    // A change about to be made: the aspect and the state the program sets
    // (the alpha, the title, or whether the window stays on top).
    struct Setting {
        Aspect aspect = Aspect::Hide;
        std::uint8_t alpha = 0;
        std::wstring title{};
        bool topmost = false;
        // Hidden by the boss key: how it lay.
        std::optional<BossPlace> boss{};
    };

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

    ChangeRecord(WindowSystem& ws, Lifetimes& lifetimes) : ws_(ws), lifetimes_(lifetimes) {}

    // Records the window's state for this aspect unless the record holds it
    // already, and the state the change sets; then raises Changed. Nothing
    // for a window that does not exist or is the program's own, nor for an
    // aspect the change cannot alter: hiding a window hidden already, the
    // opacity of one whose layering cannot be read (it is left as it is),
    // keeping on top a window on top already.
    void Before(const Setting& setting, Hwnd window, ProcessNames& names);
    // What the record holds of a window and how the window is, taken before
    // a change so that what the change newly recorded can be dropped when
    // Windows refused it.
    class Held;
    Held Hold(Hwnd window);
    // Puts the window's entry back as it was held.
    void Drop(const Held& held);
    // Whether nothing of a change of that aspect that did not take is left
    // on the window: its opacity is set in two calls (the layered style,
    // then the attributes), the others in one.
    bool Unchanged(const Held& held, Aspect aspect);
    // The program no longer answers for that aspect of the window: for Hide,
    // once the window is visible again.
    void Forget(Aspect aspect, Hwnd window);
    // A change of that aspect took. Whether a window stays on top is one
    // bit: one set back as first recorded is no longer the program's doing.
    void Took(Aspect aspect, Hwnd window);

    bool Empty() const { return windows_.empty(); }
    // The window's layering before the program first changed its opacity,
    // where the record holds it as that process's.
    std::optional<Layering> LayeringBefore(Hwnd window, Pid pid) const {
        const auto found = windows_.find(window);
        if (found == windows_.end() || found->second.pid != pid) return std::nullopt;
        return found->second.layering;
    }
    // Holds nothing any more: another copy of the program took it over.
    void Clear() {
        windows_.clear();
        unreadable_.clear();
    }
    // Whether the record holds the window, as that process's.
    bool Holds(Hwnd window, Pid pid) const {
        const auto found = windows_.find(window);
        return found != windows_.end() && found->second.pid == pid;
    }
    // What the record holds of windows still there, in the order first
    // recorded: a window gone can never be put back.
    std::vector<RecordedWindow> Windows() const;
    // Takes in windows another copy of the program recorded, each with the
    // aspects that still show its change (still hidden, still at the alpha
    // or bearing the title it set): only where the handle still belongs to
    // that process (same id and creation time) and to a window of the same
    // class. A window held already keeps its entry, mended with the other
    // copy's earlier states. The windows newly taken, as the user is told.
    std::vector<Named> Adopt(const std::vector<RecordedWindow>& windows);
    // Raised before a change is made, once the record holds it.
    std::function<void()> Changed;
    // While one lives, Changed is held back, and raised once as it goes if
    // anything was recorded: many windows recorded before any is changed,
    // the file written once.
    class Batch {
    public:
        explicit Batch(ChangeRecord& record) : record_(record) { ++record_.batches_; }
        ~Batch() {
            if (--record_.batches_ == 0 && std::exchange(record_.heldBack_, false) &&
                record_.Changed) {
                record_.Changed();
            }
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ChangeRecord& record_;
    };

    // The windows still there that the boss key hid and are still hidden,
    // as recorded.
    std::vector<RecordedWindow> BossHidden();

    // The recorded windows still there that this program keeps hidden, or
    // made too faint to see, in the order they were first recorded.
    std::vector<Named> Unseen();

    // Puts back each recorded window through the change path, in the order
    // first recorded: its title, its alpha and layered style, whether it
    // stays on top, then shown if
    // the program hid it; every aspect is tried, and each is read back. The
    // windows put back, found as recorded or gone leave the record; those
    // that did not take or did not answer stay in it. One process snapshot
    // names them all.
    std::vector<PutBackResult> PutBack(ChangePath& path);
    // The same for the windows named.
    std::vector<PutBackResult> PutBack(ChangePath& path, const std::vector<Named>& windows);

private:
    // The layering is not recorded for a window whose attributes cannot be read.
    struct Entry : RecordedWindow {
        std::uint64_t order = 0;
        std::wstring firstTitle{};
    };

public:
    class Held {
        friend class ChangeRecord;
        Hwnd window_ = 0;
        std::optional<Entry> entry_;
        Layering layering_;
    };

private:
    // The calls that put one window back; throws the first StepError once
    // every aspect has been tried.
    void PutBackAspects(const Entry& entry);
    bool AsRecorded(const Entry& entry);
    // The entries whose window is still there, in the order first recorded.
    std::vector<const Entry*> There() const;
    static void TakeEarlier(Entry& mine, const Entry& still, const RecordedWindow& earlier);
    Named NameOf(const Entry& entry, bool gone);

    WindowSystem& ws_;
    Lifetimes& lifetimes_;
    std::map<Hwnd, Entry> windows_;
    // Windows (with their process) whose layering could not be read when
    // the program first changed their opacity.
    std::set<std::pair<Hwnd, Pid>> unreadable_;
    std::uint64_t next_ = 0;
    int batches_ = 0;
    bool heldBack_ = false;
};

// Gives the window the layering it had: its layered style, and the colour
// key, alpha and flags of a layered one.
void PutBackLayering(WindowSystem& ws, Hwnd window, const Layering& was);

// "已恢复 N 个窗口", then the windows gone and those that could not be put
// back, each with its reason; with `offer`, the offer to start this program
// as administrator once, with the first window refused where that helps.
Report PutBackReport(const std::vector<ChangeRecord::PutBackResult>& results, bool offer);
// What the boss key could not hide or show, told once the user is back.
Report BossReport(const std::vector<ChangeRecord::PutBackResult>& failed);

// One line per window, for a message about many windows.
WindowSection WindowLines(const std::vector<ChangeRecord::Named>& windows);

// The question asked before the program ends while windows it hid are
// still unseen.
std::wstring UnseenQuestion(const std::vector<ChangeRecord::Named>& unseen);

}  // namespace vindrel
