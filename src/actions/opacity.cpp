#include "actions/opacity.h"

#include "platform/conversions.h"

namespace vindrel {

void Opacity::Layer(const std::function<Hwnd()>& window, std::int16_t m,
                    const std::function<bool()>& own) {
    const std::int32_t style = ws_.GetWindowLongA(window(), api::kGwlExStyle);
    ws_.SetWindowLongA(window(), api::kGwlExStyle, style | api::kWsExLayered);
    std::uint8_t alpha = ByteAlpha(m);
    if (alpha < kOwnMinimumAlpha && own()) alpha = kOwnMinimumAlpha;
    ws_.SetLayeredWindowAttributes(window(), api::kLayeredColorKey, alpha, api::kLwaAlpha);
}

void Opacity::touming2(std::int16_t m, Hwnd hwn) {
    Layer([hwn] { return hwn; }, m, [this, hwn] { return IsOwnWindow(ws_, hwn); });
}

void Opacity::touming(std::int16_t m) {
    Layer([this] { return form_.hWnd(); }, m, [] { return true; });
}

}  // namespace vindrel
