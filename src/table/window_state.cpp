#include "table/window_state.h"

namespace vindrel {

WindowStyle StyleOf(WindowSystem& ws, Hwnd window) {
    return {ws.GetWindowLongA(window, api::kGwlStyle), ws.GetWindowLongA(window, api::kGwlExStyle)};
}

Layering LayeringOf(WindowSystem& ws, Hwnd window) {
    return LayeringOf(ws, window, ws.GetWindowLongA(window, api::kGwlExStyle));
}

Layering LayeringOf(WindowSystem& ws, Hwnd window, std::int32_t exStyle) {
    Layering layering;
    layering.layered = WindowStyle{0, exStyle}.Layered();
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

std::uint8_t AlphaOfPercent(int percent) {
    return static_cast<std::uint8_t>((percent * 255 + 99) / 100);
}

bool TooFaint(std::optional<std::uint8_t> alpha) {
    return alpha && OpacityPercent(*alpha) <= 10;
}

bool Topmost(WindowSystem& ws, Hwnd window) {
    return WindowStyle{0, ws.GetWindowLongA(window, api::kGwlExStyle)}.Topmost();
}

bool OwnVisible(WindowSystem& ws, Hwnd window) {
    return WindowStyle{ws.GetWindowLongA(window, api::kGwlStyle), 0}.Visible();
}

}  // namespace vindrel
