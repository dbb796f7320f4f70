#include "table/window_state.h"

namespace vindrel {

Layering LayeringOf(WindowSystem& ws, Hwnd window) {
    return LayeringOf(ws, window, ws.GetWindowLongA(window, api::kGwlExStyle));
}

Layering LayeringOf(WindowSystem& ws, Hwnd window, std::int32_t exStyle) {
    Layering layering;
    layering.layered = (exStyle & api::kWsExLayered) != 0;
    std::uint32_t key = 0, flags = 0;
    if (layering.layered &&
        ws.GetLayeredWindowAttributes(window, &key, &layering.alpha, &flags) != 0) {
        layering.key = key;
        layering.flags = flags;
    } else {
        layering.alpha = 255;  // nothing read: the call may have written it
    }
    return layering;
}

int OpacityPercent(std::uint8_t alpha) {
    return alpha * 100 / 255;
}

bool TooFaint(std::optional<std::uint8_t> alpha) {
    return alpha && OpacityPercent(*alpha) <= 10;
}

bool Topmost(WindowSystem& ws, Hwnd window) {
    return (ws.GetWindowLongA(window, api::kGwlExStyle) & api::kWsExTopmost) != 0;
}

bool OwnVisible(WindowSystem& ws, Hwnd window) {
    return (ws.GetWindowLongA(window, api::kGwlStyle) & api::kWsVisible) != 0;
}

}  // namespace vindrel
