// What the program reads of another program's window, to keep it, to see
// whether a change took effect or to say what state it is in: its layering
// and opacity, whether it stays on top, whether it is visible. Each fact is
// read and decided here only, so that every feature agrees on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/window_system.h"
#include "table/lookup.h"

namespace vindrel {

// A window's style bits (GWL_STYLE and GWL_EXSTYLE), each read here only.
struct WindowStyle {
    std::int32_t style = 0, exStyle = 0;

    // Its own visible flag (WS_VISIBLE): what hiding and showing change.
    // IsWindowVisible also says no for a window whose parent is hidden.
    bool Visible() const { return (style & api::kWsVisible) != 0; }
    bool Minimised() const { return (style & api::kWsMinimize) != 0; }
    bool Maximised() const { return (style & api::kWsMaximize) != 0; }
    bool Resizable() const { return (style & api::kWsThickFrame) != 0; }
    // A title bar (WS_CAPTION: both of its bits).
    bool Captioned() const { return (style & api::kWsCaption) == api::kWsCaption; }
    // A tool window: no taskbar button, and placed in screen coordinates.
    bool Tool() const { return (exStyle & api::kWsExToolWindow) != 0; }
    // Given a taskbar button even when owned.
    bool AppWindow() const { return (exStyle & api::kWsExAppWindow) != 0; }
    bool Topmost() const { return (exStyle & api::kWsExTopmost) != 0; }
    bool Layered() const { return (exStyle & api::kWsExLayered) != 0; }
};

WindowStyle StyleOf(WindowSystem& ws, Hwnd window);

struct Layering {
    bool layered = false;
    // Set for a layered window: its attributes. Those of one drawn by
    // UpdateLayeredWindow cannot be read.
    std::optional<std::uint32_t> key, flags;
    std::uint8_t alpha = 255;
    // The alpha the window is drawn at, where one is set (LWA_ALPHA).
    std::optional<std::uint8_t> Alpha() const {
        if (!flags || (*flags & api::kLwaAlpha) == 0) return std::nullopt;
        return alpha;
    }
    bool operator==(const Layering&) const = default;
};

// The window's layering: its extended style, and the attributes of a
// layered one. The overload takes the extended style read already.
Layering LayeringOf(WindowSystem& ws, Hwnd window);
Layering LayeringOf(WindowSystem& ws, Hwnd window, std::int32_t exStyle);

// An alpha as the percentage of opacity the program shows: rounded down, so
// that only a fully opaque window reads 100%.
int OpacityPercent(std::uint8_t alpha);
// The least alpha whose percentage, as OpacityPercent reads it, is that
// one (0 to 100): ceil(percent × 255 / 100).
std::uint8_t AlphaOfPercent(int percent);

// Too faint to see: an alpha set at 10% or less (alpha 28 or below). Every
// question about windows a user cannot see asks this.
bool TooFaint(std::optional<std::uint8_t> alpha);
inline bool TooFaint(const Layering& layering) {
    return TooFaint(layering.Alpha());
}

// Whether the window stays above the others (WS_EX_TOPMOST).
bool Topmost(WindowSystem& ws, Hwnd window);

// Whether the window's own visible flag is set (WindowStyle::Visible).
bool OwnVisible(WindowSystem& ws, Hwnd window);

}  // namespace vindrel
