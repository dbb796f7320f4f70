#include "actions/opacity.h"

#include "platform/conversions.h"

namespace vindrel {

void Opacity::Layer(const std::function<Hwnd()>& window, std::int16_t m) {
    const std::int32_t style = ws_.GetWindowLongA(window(), api::kGwlExStyle);
    ws_.SetWindowLongA(window(), api::kGwlExStyle, style | api::kWsExLayered);
    ws_.SetLayeredWindowAttributes(window(), api::kLayeredColorKey, ByteAlpha(m), api::kLwaAlpha);
}

void Opacity::touming2(std::int16_t m, Hwnd hwn) {
    Layer([hwn] { return hwn; }, m);
}

void Opacity::touming(std::int16_t m) {
    Layer([this] { return form_.hWnd(); }, m);
}

}  // namespace vindrel
