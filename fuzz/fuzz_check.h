// A property of a fuzz target: when it does not hold, the run stops as a
// crash, with the input that broke it.
#pragma once

inline void Check(bool property) {
    if (!property) __builtin_trap();
}
