// Blinking the target window's caption: a check box switches it on and off,
// two options choose the speed, a timer inverts the caption at every tick.
#pragma once

#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

class CaptionFlashing {
public:
    static constexpr int kFastMs = 100;
    static constexpr int kSlowMs = 500;

    CaptionFlashing(WindowSystem& ws, Timer& Timer1, const CheckBox& Check1, const TextBox& Text2)
        : ws_(ws), Timer1_(Timer1), Check1_(Check1), Text2_(Text2) {}

    void Switched() { Timer1_.SetEnabled(Check1_.Value() == 1); }
    void FastChosen() { Timer1_.SetInterval(kFastMs); }
    void SlowChosen() { Timer1_.SetInterval(kSlowMs); }
    // One blink of the window named in Text2, read afresh. A text out of
    // range, or a target that does not answer (or whose last blink is still
    // pending), skips the tick silently: a report at every tick would lock
    // the user out, and blinking resumes by itself once the handle is valid
    // and the target answers.
    void Tick();

private:
    WindowSystem& ws_;
    Timer& Timer1_;
    const CheckBox& Check1_;
    const TextBox& Text2_;
};

}  // namespace vindrel
