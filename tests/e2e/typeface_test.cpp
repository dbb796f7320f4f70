// The controls' typeface as Wine resolves it: the Song replacement that the
// prefix names for 宋体, and every caption of a button a user sees fits its
// button in it. (Without the replacement Wine falls back to a sans-serif
// whose small bitmaps it draws with the lower strokes cut.)
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "platform/win32/toolkit_win32.h"
#include "ui/layout.h"

namespace vindrel::e2e {
namespace {

// The font as the program asks for it, selected into a screen DC.
class ScreenFont {
public:
    ScreenFont(int points, int weight)
        : dc_(GetDC(nullptr)), font_(win32::CreateUiFont(96, points, weight)) {
        old_ = SelectObject(dc_, font_);
    }
    ~ScreenFont() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    HDC Dc() const { return dc_; }
    // The face name in the font file itself (GetTextFaceW gives the name
    // asked for when a replacement answered it).
    std::wstring FileFace() const {
        const UINT size = GetOutlineTextMetricsW(dc_, 0, nullptr);
        if (size == 0) return L"";
        std::string buffer(size, '\0');
        auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        GetOutlineTextMetricsW(dc_, size, metrics);
        return reinterpret_cast<const wchar_t*>(
            buffer.data() + reinterpret_cast<std::uintptr_t>(metrics->otmpFaceName));
    }
    std::wstring Face() const {
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc_, LF_FACESIZE, face);
        return face;
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

TEST(Typeface, TheSongReplacementStandsInForSimSunAndButtonCaptionsFit) {
    for (const auto& [points, weight] : {std::pair{9, FW_NORMAL}, std::pair{12, FW_BOLD}}) {
        const ScreenFont font(points, weight);
        EXPECT_EQ(font.Face(), L"宋体") << points;
        EXPECT_EQ(font.FileFace(), L"AR PL UMing CN") << points;
    }

    const Vindrel app;
    const ScreenFont font(9, FW_NORMAL);
    int checked = 0;
    for (const LayoutRow& row : layout::kControls) {
        const HWND button = app.Control(row.name);
        if (row.kind != ControlKind::Button || !IsWindowVisible(button)) continue;
        ++checked;
        const std::wstring caption(row.caption);
        SIZE extent{};
        GetTextExtentPoint32W(font.Dc(), caption.c_str(), static_cast<int>(caption.size()),
                              &extent);
        RECT inside{};
        GetClientRect(button, &inside);
        // The button's edge and focus rectangle take a few pixels a side.
        EXPECT_LE(extent.cx + 8, inside.right) << row.name;
        EXPECT_LE(extent.cy + 4, inside.bottom) << row.name;
    }
    EXPECT_EQ(checked, 9);
}

}  // namespace
}  // namespace vindrel::e2e
