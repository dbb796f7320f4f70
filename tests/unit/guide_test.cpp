// The user's guide that ships with the program speaks of what the window
// shows: every button a user sees, the result messages, how to check the
// download and the oldest system.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "form_fixture.h"
#include "platform/deadline_window_system.h"
#include "ui/layout.h"

namespace vindrel::testing {
namespace {

std::string Utf8(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            bytes += static_cast<char>(u);
        } else if (u < 0x800) {
            bytes += static_cast<char>(0xC0 | (u >> 6));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (u >> 12));
            bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return bytes;
}

// The system-menu item as the guide names it: without its access key.
std::wstring MenuItemName() {
    const std::wstring caption(layout::kRestoreMenuItem);
    return caption.substr(0, caption.find(L"(&"));
}

class GuideTest : public FormTest {
protected:
    GuideTest() {
        std::ifstream file(VINDREL_GUIDE_PATH, std::ios::binary);
        guide.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    bool Mentions(std::wstring_view text) const {
        return guide.find(Utf8(text)) != std::string::npos;
    }
    std::string guide;
};

TEST_F(GuideTest, NamesEveryButtonShownAtStartUpAndWhatTheMessagesMean) {
    ASSERT_FALSE(guide.empty()) << VINDREL_GUIDE_PATH;
    int buttons = 0;
    for (const LayoutRow& row : layout::kControls) {
        if (row.kind != ControlKind::Button || !toolkit.Get<FakeButton>(row.name).Shown()) continue;
        ++buttons;
        EXPECT_TRUE(Mentions(L"“" + std::wstring(row.caption) + L"”")) << row.name;
    }
    EXPECT_EQ(buttons, 9);
    const std::wstring deadline = SecondsText(kTargetDeadline) + L" 秒";
    const std::wstring listingDeadline = SecondsText(kListingDeadline) + L" 秒内没有回答";
    for (const std::wstring& text :
         {std::wstring(L"“成功”"), listingDeadline, std::wstring(L"“失败”"),
          std::wstring(L"“目标窗口没有响应”"),
          std::wstring(L"“这是本程序自己的窗口：隐藏后将无法再把它找回。”"), deadline,
          std::wstring(L"certutil -hashfile Vindrel.exe SHA256"), std::wstring(L"Windows 7"),
          L"“" + MenuItemName() + L"”", std::wstring(L"“退出前把它们恢复吗？”"),
          std::wstring(L"瞄准器图标"), std::wstring(L"要以管理员身份重新启动本程序吗？"),
          std::wstring(L"Windows 不允许以普通权限运行的程序更改以管理员身份运行的程序的窗口")}) {
        EXPECT_TRUE(Mentions(text)) << Utf8(text);
    }
}

}  // namespace
}  // namespace vindrel::testing
