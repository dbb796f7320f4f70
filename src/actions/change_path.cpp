#include "actions/change_path.h"

#include "table/window_state.h"

namespace vindrel {

// The steps, in their order, and why it is this one:
// 1. The program's own windows are refused first, where the change would
//    harm them: nothing is recorded or called for them.
// 2. Where the window's program stands is learnt before the call: a close
//    request may end that process, and its rights could not be read after.
// 3. The aspects the change touches are recorded before the call, whatever
//    its outcome: a call that misses its deadline may still take effect
//    later, and recorded after, the change would be taken for the original.
// 4. The call goes through the deadline layer: a target that does not
//    answer costs the deadline, not the program.
// 5. The window is read back: Windows drops a change to a window of a
//    program with more rights without saying so, and the calls' results do
//    not tell whether the change took (ShowWindow gives the visibility
//    before). Only then is a refusal put down to rights, or to a window gone.
//    A change refused on a window still there leaves the record as it was:
//    what it recorded would claim a change the window never had.
Outcome ChangePath::Run(Hwnd window, const WindowChange& change, ProcessNames& names) {
    Outcome outcome;
    outcome.window = window;
    const std::optional<Pid> owner = WindowOwner(ws_, window);
    if (change.owner && owner != change.owner) {
        outcome.kind = Outcome::Kind::Gone;
        return outcome;
    }
    if (change.refuseOwn && owner == ws_.GetCurrentProcessId()) {
        outcome.kind = Outcome::Kind::OwnWindow;
        return outcome;
    }
    outcome.standing = standings_.Of(window);
    const std::optional<ChangeRecord::Held> held =
        change.records ? std::optional(record_.Hold(window)) : std::nullopt;
    if (change.records) record_.Before(*change.records, window, names);
    bool called = false;
    try {
        called = change.call(window);
    } catch (const StepError& failure) {
        outcome.kind = Outcome::Kind::Failed;
        outcome.failure = failure;
    }
    // A change that leaves the window shown ends the program's claim to keep
    // it hidden, whatever else became of it.
    if (change.shows && OwnVisible(ws_, window)) record_.Forget(ChangeRecord::Aspect::Hide, window);
    if (outcome.failure) return outcome;
    const Effect effect = change.readBack(window);
    const std::optional<Pid> now = WindowOwner(ws_, window);
    const bool there = now && now == owner;
    if (effect == Effect::Took) {
        outcome.kind = called ? Outcome::Kind::Done : Outcome::Kind::Unchanged;
        if (change.records) record_.Took(change.records->aspect, window);
    } else if (effect == Effect::Unknown) {
        outcome.kind = Outcome::Kind::Sent;
    } else {
        outcome.kind = there ? Outcome::Kind::Refused : Outcome::Kind::Gone;
        // Windows dropped the change and the window is as it was: the
        // program claims nothing of it. A change made in part (the layered
        // style taken, its opacity refused) stays the program's to put back.
        if (there && held && record_.Unchanged(*held, change.records->aspect)) record_.Drop(*held);
    }
    // A window gone meanwhile is no matter of rights.
    if (there && outcome.standing.Above()) {
        outcome.owner = now;
        outcome.process = names.Of(*now);
    }
    return outcome;
}

}  // namespace vindrel
