// The main window as it opens: captions, hidden controls, focus, places.
#include <gtest/gtest.h>

#include "driver.h"
#include "platform/control_spec.h"
#include "ui/layout.h"

namespace vindrel::e2e {
namespace {

TEST(Startup, CaptionsHiddenControlsFocusAndAnEmptyTable) {
    const Vindrel app;
    EXPECT_EQ(WindowText(app.Main()), L"Vindrel（测试版）---------By Tamsk");
    EXPECT_EQ(app.Text("Label8"), L"【Tamsk制作】\r\n更多内容请访问我的主页（2016年11月开放）");
    EXPECT_TRUE(IsWindowVisible(app.Control("Label8")));
    for (const char* hidden : {"Command6", "Command14", "Command18", "Frame5", "Frame6", "Label9",
                               "Text1", "HScroll1", "Label7"}) {
        ASSERT_NE(app.Control(hidden), nullptr) << hidden;
        EXPECT_FALSE(IsWindowVisible(app.Control(hidden))) << hidden;
    }
    for (const char* list : {"List1", "List2", "List3", "List4"}) {
        EXPECT_TRUE(app.Rows(list).empty()) << list;
    }
    EXPECT_EQ(app.Text("Text2"), L"0");

    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(app.Main(), nullptr);
    ASSERT_TRUE(WaitFor([&] {
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus == app.Control("Command1");
    }));
}

TEST(Startup, EveryVisibleControlSitsWhereTheLayoutPutsItAt96Dpi) {
    const Vindrel app;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the layout check is for 96 DPI";

    RECT client;
    GetClientRect(app.Main(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(layout::kClientWidth, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(layout::kClientHeight, dpi));

    int checked = 0;
    for (const ControlSpec& spec : layout::kControls) {
        if (spec.kind == ControlKind::Timer)
            continue;
        const HWND control = app.Control(spec.name);
        ASSERT_NE(control, nullptr) << spec.name;
        if (!IsWindowVisible(control))
            continue;
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, TwipsToPixels(spec.rect.left, dpi)) << spec.name;
        EXPECT_EQ(rect.top, TwipsToPixels(spec.rect.top, dpi)) << spec.name;
        EXPECT_EQ(rect.right - rect.left, TwipsToPixels(spec.rect.width, dpi)) << spec.name;
        EXPECT_EQ(rect.bottom - rect.top, TwipsToPixels(spec.rect.height, dpi)) << spec.name;
        ++checked;
    }
    EXPECT_EQ(checked, 31);  // 42 rows less the timer and the 10 hidden controls
}

}  // namespace
}  // namespace vindrel::e2e
