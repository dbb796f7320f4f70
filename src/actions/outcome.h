// What became of one change to a window of another program.
#pragma once

#include <optional>
#include <string>

#include "actions/standing.h"
#include "platform/step_error.h"

namespace vindrel {

// What reading the window back says of a change.
enum class Effect {
    Took,
    NotTaken,
    Unknown,  // nothing of it can be read (a request the window handles later)
};

inline Effect TookIf(bool took) {
    return took ? Effect::Took : Effect::NotTaken;
}

struct Outcome {
    enum class Kind {
        Done,       // read back as made
        Unchanged,  // the window was so already: nothing needed changing
        Sent,       // a request made whose effect cannot be read back
        OwnWindow,  // refused: a window of this program's, which the command would harm
        Refused,    // did not take: Windows refused or dropped it
        Failed,     // a step failed (no answer within the deadline): `failure` says why
        Gone,       // no such window, or its handle now names another process's window
    };
    Kind kind = Kind::Done;
    Hwnd window = 0;
    // Where the window's program stood before the call.
    Standing standing;
    // Set for a window still there whose program stands above this one:
    // that program, named for an explanation.
    std::optional<Pid> owner;
    std::wstring process;
    std::optional<StepError> failure;

    // Not taken, or not known to have taken, on a window still there whose
    // program stands above this one.
    bool RefusedAbove() const { return (kind == Kind::Refused || kind == Kind::Sent) && owner; }
};

}  // namespace vindrel
