// Blinking the target window's caption: a check box switches it on and off,
// two options choose the speed, a timer inverts the caption at every tick.
// When blinking stops on a window (switched off, another handle in Text2,
// the program ending), its caption is put back once, never waited for.
#pragma once

#include <optional>

#include "actions/standing.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

class CaptionFlashing {
public:
    static constexpr int kFastMs = 100;
    static constexpr int kSlowMs = 500;

    CaptionFlashing(WindowSystem& ws, Standings& standings, Timer& Timer1, const CheckBox& Check1,
                    const TextBox& Text2)
        : ws_(ws), standings_(standings), Timer1_(Timer1), Check1_(Check1), Text2_(Text2) {}

    void Switched();
    void FastChosen() { Timer1_.SetInterval(kFastMs); }
    void SlowChosen() { Timer1_.SetInterval(kSlowMs); }
    // One blink of the window named in Text2, read afresh. A text out of
    // range, or a target that does not answer (or whose last blink is still
    // pending), skips the tick silently: a report at every tick would lock
    // the user out, and blinking resumes by itself once the handle is valid
    // and the target answers. A window of a program with more rights is
    // not blinked: Windows would not let it.
    void Tick();
    // Text2 changed: a window blinked so far that it no longer names is
    // put back at once, and where the next target's program stands is
    // learnt again at the next tick.
    void TargetChanged();
    // Puts back the window blinked so far, if any.
    void Stop() { Follow(std::nullopt); }

private:
    // The window Text2 names; empty for a text out of range.
    std::optional<Hwnd> Target() const;
    // Blinking goes on at `target` (nothing: nowhere): the window blinked
    // so far, if another, gets FlashWindow(window, 0), which the window
    // system makes without waiting for it.
    void Follow(std::optional<Hwnd> target);

    std::optional<Hwnd> blinking_;  // ticked since its caption was last put back
    // The window last looked at, and whether its program lets us blink it.
    std::optional<std::pair<Hwnd, bool>> reach_;
    WindowSystem& ws_;
    Standings& standings_;
    Timer& Timer1_;
    const CheckBox& Check1_;
    const TextBox& Text2_;
};

}  // namespace vindrel
