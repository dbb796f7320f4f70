// Where the finder's outline goes: four bars along the inside of the
// window's rectangle, cut to the screen the window is on (a maximised
// window reaches past its screen's edges), three pixels thick at 96 DPI
// and as much thicker as that screen's DPI says. Physical pixels
// throughout, as the system gives them to a program aware of each
// screen's DPI.
#pragma once

#include <array>

namespace vindrel {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The bars' thickness at a DPI: 3 at 96, rounded to nearest, at least 1.
int OutlineThickness(int dpi);

// Top, bottom, left and right bars; all empty when the window does not
// meet the screen. The bars never overlap and never reach outside the
// window's part of the screen.
std::array<ScreenRect, 4> OutlineBars(const ScreenRect& window, const ScreenRect& screen, int dpi);

}  // namespace vindrel
