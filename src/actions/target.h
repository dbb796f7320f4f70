// The handle (or process id) a text box names, read and converted afresh.
#pragma once

#include "platform/controls.h"
#include "platform/conversions.h"

namespace vindrel {

// The handle integer of the box's numeric value; throws StepError when it
// is out of the signed 32-bit range.
inline Hwnd HandleIn(const TextBox& box) {
    return HandleInteger(NumericValue(box.Text()));
}

}  // namespace vindrel
