// Shows what the handlings report, and starts the program again as
// administrator where a report offers it and the user agrees; the restart
// closes the form, so it lives with the form.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <variant>

#include "actions/messages.h"
#include "actions/record_keeping.h"
#include "platform/controls.h"
#include "platform/process_rights.h"
#include "platform/step_error.h"
#include "platform/toolkit.h"

namespace vindrel {

// How long a copy started as administrator has to take the record over.
inline constexpr std::chrono::milliseconds kHandOverTime{10000};

class Reports {
public:
    Reports(Interaction& interaction, ProcessRights& rights, Form& form, RecordKeeping& keeping,
            std::chrono::milliseconds handOverTime = kHandOverTime)
        : interaction_(interaction),
          rights_(rights),
          form_(form),
          keeping_(keeping),
          handOverTime_(handOverTime) {}

    // Shows the report, if it has anything to tell. One that offers the
    // restart asks (是/否); on 是 the program starts again elevated with
    // the report's argument and this copy's change record, which the new
    // copy takes over at once; then this one closes, with nothing left to
    // ask about or delete. A record not taken over within the hand-over
    // time stays with this copy, which stays open and says so. A declined
    // prompt changes nothing; another failure to start is a StepError.
    void Tell(const Report& report);

    // Runs the handling of a scroll bar's change and tells its report. The
    // changes of a gesture come from inside the scroll bar's own tracking,
    // step after step: until the gesture ends, the first report with
    // something to tell (or the first failed step) is held instead, and
    // nothing is shown.
    void Hold(const ScrollBar& bar, const std::function<Report()>& handling);
    // The gesture ended: what was held is told now; a failed step is passed
    // on, to be reported where every failed step is.
    void GestureEnded();

private:
    void Restart(const std::wstring& handle);

    Interaction& interaction_;
    ProcessRights& rights_;
    Form& form_;
    RecordKeeping& keeping_;
    std::chrono::milliseconds handOverTime_;
    std::optional<std::variant<Report, StepError>> held_;
};

}  // namespace vindrel
