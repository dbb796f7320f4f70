#include "platform/outline_geometry.h"

#include <algorithm>

namespace vindrel {

int OutlineThickness(int dpi) {
    return std::max(1, (3 * dpi + 48) / 96);
}

std::array<ScreenRect, 4> OutlineBars(const ScreenRect& window, const ScreenRect& screen, int dpi) {
    const ScreenRect seen{std::max(window.left, screen.left), std::max(window.top, screen.top),
                          std::min(window.right, screen.right),
                          std::min(window.bottom, screen.bottom)};
    if (seen.right <= seen.left || seen.bottom <= seen.top) return {};
    // A window thinner than two bars is covered by them, no more.
    const int across = std::min(OutlineThickness(dpi), (seen.bottom - seen.top + 1) / 2);
    const int down = std::min(OutlineThickness(dpi), (seen.right - seen.left + 1) / 2);
    const int innerTop = seen.top + across;
    const int innerBottom = std::max(innerTop, seen.bottom - across);
    return {{
        {seen.left, seen.top, seen.right, innerTop},
        {seen.left, innerBottom, seen.right, seen.bottom},
        {seen.left, innerTop, seen.left + down, innerBottom},
        {std::max(seen.left + down, seen.right - down), innerTop, seen.right, innerBottom},
    }};
}

}  // namespace vindrel
