// What the program reads back of another program's window, to keep it or
// to see whether a change took effect: its title, its layering and
// whether it stays on top.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/window_system.h"
#include "table/lookup.h"

namespace vindrel {

struct Layering {
    bool layered = false;
    // Set for a layered window: its attributes. Those of one drawn by
    // UpdateLayeredWindow cannot be read.
    std::optional<std::uint32_t> key, flags;
    std::uint8_t alpha = 255;
    // A known alpha of 0: drawn fully transparent.
    bool SeeThrough() const { return flags && (*flags & api::kLwaAlpha) != 0 && alpha == 0; }
    bool operator==(const Layering&) const = default;
};

Layering LayeringOf(WindowSystem& ws, Hwnd window);

// Whether the window stays above the others (WS_EX_TOPMOST).
bool Topmost(WindowSystem& ws, Hwnd window);

// Whether the window's own visible flag (WS_VISIBLE) is set: what hiding and
// showing it change. IsWindowVisible also says no for a window whose parent
// is hidden.
bool OwnVisible(WindowSystem& ws, Hwnd window);

}  // namespace vindrel
