// The wording of what became of a change: for one window, the command's
// own words, or why a program with more rights kept it from taking; for a
// list of windows, a short reason per window.
#pragma once

#include <string>
#include <string_view>

#include "actions/messages.h"
#include "actions/outcome.h"

namespace vindrel {

// Why a window of that process did not take a change, worded by what was
// read of the two programs' levels.
std::wstring Explain(const Standing& standing, const std::wstring& process, Pid pid);
// Whether starting this program as administrator could help with a window
// of a program above it: not beyond an administrator's level, nor when this
// program runs as one already.
bool RestartCanHelp(const Standing& standing);

// Whether a report on many windows offers the restart for this outcome:
// refused on a window above this program, where the restart can help.
bool OffersRestart(const Outcome& outcome);

// The offer to start this program as administrator with the window's
// handle, appended to a report (the handle only when it can be passed on:
// a negative one cannot).
void OfferRestart(Report& report, Hwnd window);

// What a one-window command says: `done` when the change took or nothing
// needed changing; `notDone` when it did not at this program's level, or
// the window is gone; on a window of a program above this one, `head`, then
// why, with the offer where it can help. A step that failed is passed on
// as its StepError. Empty words: nothing to tell.
Report Reported(const Outcome& outcome, std::wstring_view done, std::wstring_view notDone,
                std::wstring_view head);

// Why a change did not take on a window, for a line of a list.
std::wstring ListReason(const Outcome& outcome);

}  // namespace vindrel
