#include "actions/caption_flashing.h"

#include "actions/target.h"
#include "platform/step_error.h"

namespace vindrel {

void CaptionFlashing::Switched() {
    const bool on = Check1_.Value() == 1;
    Timer1_.SetEnabled(on);
    if (!on) Stop();
}

std::optional<Hwnd> CaptionFlashing::Target() const {
    try {
        return HandleIn(Text2_);
    } catch (const StepError&) {
        return std::nullopt;
    }
}

void CaptionFlashing::Follow(std::optional<Hwnd> target) {
    if (!blinking_ || blinking_ == target) return;
    const Hwnd window = *blinking_;
    blinking_.reset();
    if (window == 0) return;  // no window, no caption
    try {
        ws_.FlashWindow(window, 0);
    } catch (const StepError&) {
        // A target that does not answer keeps its caption as it is.
    }
}

void CaptionFlashing::TargetChanged() {
    reach_.reset();
    if (blinking_) Follow(Target());
}

void CaptionFlashing::Tick() {
    const std::optional<Hwnd> target = Target();
    Follow(target);
    // Out of range: this tick shows nothing, and the next one tries again.
    if (!target) return;
    if (!reach_ || reach_->first != *target) {
        reach_.emplace(*target, !standings_.Of(*target).Above());
    }
    if (!reach_->second) return;
    blinking_ = target;
    try {
        ws_.FlashWindow(*target, 1);
    } catch (const StepError&) {
        // A target that does not answer (or whose last blink is still
        // pending): this tick shows nothing.
    }
}

}  // namespace vindrel
