#include "actions/caption_flashing.h"

#include "actions/target.h"
#include "platform/step_error.h"

namespace vindrel {

void CaptionFlashing::Tick() {
    try {
        ws_.FlashWindow(HandleIn(Text2_), 1);
    } catch (const StepError&) {
        // Out of range, or a target that does not answer: this tick shows
        // nothing, and the next one tries again.
    }
}

}  // namespace vindrel
