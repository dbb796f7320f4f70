#include "actions/caption_flashing.h"

#include "actions/target.h"
#include "platform/step_error.h"

namespace vindrel {

void CaptionFlashing::Tick() {
    Hwnd target;
    try {
        target = HandleIn(Text2_);
    } catch (const StepError&) {
        return;
    }
    ws_.FlashWindow(target, 1);
}

}  // namespace vindrel
