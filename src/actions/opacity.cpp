#include "actions/opacity.h"

#include <algorithm>

#include "actions/explanation.h"
#include "platform/conversions.h"
#include "table/window_state.h"

namespace vindrel {

std::optional<std::uint8_t> Opacity::Layer(const std::function<Hwnd()>& window, std::int16_t m,
                                           bool own) {
    const std::int32_t style = ws_.GetWindowLongA(window(), api::kGwlExStyle);
    // The old style may be 0: only the last error tells a failure.
    ws_.SetLastError(0);
    const bool styled =
        ws_.SetWindowLongA(window(), api::kGwlExStyle, style | api::kWsExLayered) != 0 ||
        ws_.GetLastError() == 0;
    const std::uint8_t byte = ByteAlpha(m);
    const std::uint8_t alpha = own ? std::max(byte, kOwnMinimumAlpha) : byte;
    const bool set =
        ws_.SetLayeredWindowAttributes(window(), api::kLayeredColorKey, alpha, api::kLwaAlpha) != 0;
    if (!styled || !set) return std::nullopt;
    return alpha;
}

Report Opacity::touming2(std::int16_t m, Hwnd hwn) {
    return Reported(Layered(hwn, m, std::nullopt), L"", L"", L"无法更改这个窗口的透明度。");
}

Outcome Opacity::Layered(Hwnd window, std::int16_t m, std::optional<Pid> owner) {
    std::optional<std::uint8_t> alpha;
    return path_.Run(
        window,
        {.owner = owner,
         .records =
             ChangeRecord::Setting{.aspect = ChangeRecord::Aspect::Opacity,
                                   // Out of range, the call fails and sets nothing.
                                   .alpha = static_cast<std::uint8_t>(std::clamp<int>(m, 0, 255))},
         .call =
             [&](Hwnd w) {
                 // Whose window it is matters only below the floor.
                 alpha = Layer([w] { return w; }, m, m < kOwnMinimumAlpha && IsOwnWindow(ws_, w));
                 return true;
             },
         .readBack = [&](Hwnd w) { return TookIf(alpha && LayeringOf(ws_, w).Alpha() == alpha); }});
}

void Opacity::touming(std::int16_t m) {
    Layer(mainWindow_, m, true);
}

}  // namespace vindrel
