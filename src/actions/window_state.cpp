#include "actions/window_state.h"

#include <algorithm>

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

bool OwnVisible(WindowSystem& ws, Hwnd window) {
    return (ws.GetWindowLongA(window, api::kGwlStyle) & api::kWsVisible) != 0;
}

std::wstring WholeTitle(WindowSystem& ws, Hwnd window) {
    // The buffer grows until it holds the title.
    for (std::int32_t size = 256;; size *= 2) {
        std::wstring buffer(static_cast<std::size_t>(size), L'\0');
        const std::int32_t length = ws.GetWindowTextW(window, buffer.data(), size);
        if (length < size - 1 || size >= (1 << 20)) {
            buffer.resize(static_cast<std::size_t>(std::clamp(length, 0, size - 1)));
            return buffer;
        }
    }
}

std::wstring ClassOf(WindowSystem& ws, Hwnd window) {
    // Class names are at most 256 characters.
    std::wstring name(257, L'\0');
    name.resize(
        static_cast<std::size_t>(std::clamp(ws.GetClassNameW(window, name.data(), 257), 0, 256)));
    return name;
}

}  // namespace vindrel
