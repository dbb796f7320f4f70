#include "actions/window_state.h"

namespace vindrel {

Layering LayeringOf(WindowSystem& ws, Hwnd window) {
    Layering layering;
    layering.layered = (ws.GetWindowLongA(window, api::kGwlExStyle) & api::kWsExLayered) != 0;
    std::uint32_t key = 0, flags = 0;
    if (layering.layered &&
        ws.GetLayeredWindowAttributes(window, &key, &layering.alpha, &flags) != 0) {
        layering.key = key;
        layering.flags = flags;
    }
    return layering;
}

bool Topmost(WindowSystem& ws, Hwnd window) {
    return (ws.GetWindowLongA(window, api::kGwlExStyle) & api::kWsExTopmost) != 0;
}

bool OwnVisible(WindowSystem& ws, Hwnd window) {
    return (ws.GetWindowLongA(window, api::kGwlStyle) & api::kWsVisible) != 0;
}

}  // namespace vindrel
