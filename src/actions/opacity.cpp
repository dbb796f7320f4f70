#include "actions/opacity.h"

#include <algorithm>

#include "platform/conversions.h"

namespace vindrel {

void Opacity::Layer(const std::function<Hwnd()>& window, std::int16_t m, bool own) {
    const std::int32_t style = ws_.GetWindowLongA(window(), api::kGwlExStyle);
    ws_.SetWindowLongA(window(), api::kGwlExStyle, style | api::kWsExLayered);
    const std::uint8_t alpha = ByteAlpha(m);
    ws_.SetLayeredWindowAttributes(window(), api::kLayeredColorKey,
                                   own ? std::max(alpha, kOwnMinimumAlpha) : alpha, api::kLwaAlpha);
}

void Opacity::touming2(std::int16_t m, Hwnd hwn) {
    record_.Before(ChangeRecord::Change::Opacity, hwn);
    // Whose window it is matters only below the floor.
    Layer([hwn] { return hwn; }, m, m < kOwnMinimumAlpha && IsOwnWindow(ws_, hwn));
}

void Opacity::touming(std::int16_t m) {
    Layer([this] { return form_.hWnd(); }, m, true);
}

}  // namespace vindrel
