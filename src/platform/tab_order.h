// Keyboard navigation over the controls in tab order: which control Tab
// and Shift+Tab move the focus to, and which option an arrow key moves to.
// Frames do not change the order: their contents are visited where their
// own tab indices stand, across frames. Of the option buttons of one
// container only the chosen one is a Tab stop (the first available one when
// none is chosen); the arrow keys move between them.
#pragma once

#include <span>

#include "platform/layout_row.h"

namespace vindrel {

struct TabEntry {
    const LayoutRow* row;
    bool available;  // shown (its containers too) and enabled
    bool chosen;     // an option button that is chosen
};

// The entry Tab (forward) or Shift+Tab moves the focus to from entry
// `current` (-1: the focus is on none of them), wrapping around; -1 when
// no entry can take the focus.
int NextTabStop(std::span<const TabEntry> entries, int current, bool forward);

// The available option button of the same container that an arrow key
// moves to from option `current`, wrapping around; `current` itself when
// it is the only one.
int NextOption(std::span<const TabEntry> entries, int current, bool forward);

}  // namespace vindrel
