// Window actions on real windows of other processes (hiding, showing,
// minimising, restoring and renaming: the callback target and hostile input
// tests).
#include <gtest/gtest.h>

#include "driver.h"

namespace vindrel::e2e {
namespace {

class WindowActions : public ::testing::Test {
protected:
    // Clicks a button whose handling shows a message box, and gives that
    // box's prompt and title once it is closed.
    MessageBoxSeen ClickAndRead(std::string_view button) {
        app.PostClick(button);
        MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
        EXPECT_NE(seen.box, nullptr) << button;
        EXPECT_TRUE(CloseMessageBox(seen));
        return seen;
    }
    void Aim(HWND window) { app.SetText("Text2", HandleText(window)); }

    Vindrel app;
    Target target{L"目标窗口 一"};
};

TEST_F(WindowActions, ActivateBringsEachOfTwoTargetsToTheFront) {
    const Target other(L"目标窗口 二");
    for (HWND window : {target.Window(), other.Window(), target.Window()}) {
        Aim(window);
        app.Click("Command21");
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }));
    }
}

TEST_F(WindowActions, AskToCloseClosesTheTargetButNotWindowZero) {
    app.SetText("Text2", L"0");
    EXPECT_EQ(ClickAndRead("Command9").text, L"失败");
    EXPECT_TRUE(target.Program().Running());

    Aim(target.Window());
    const auto seen = ClickAndRead("Command9");
    EXPECT_EQ(seen.text, L"成功");
    EXPECT_EQ(seen.title, L"Tamsk提示");
    EXPECT_TRUE(WaitFor([&] { return !target.Program().Running(); }));
    EXPECT_NE(target.Log().find("WM_CLOSE"), std::string::npos);
    EXPECT_TRUE(app.Responsive());
}

TEST_F(WindowActions, OpacityBarLayersTheTargetInStepsOfFive) {
    Aim(target.Window());
    const auto alpha = [&] {
        BYTE value = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        return GetLayeredWindowAttributes(target.Window(), &key, &value, &flags) ? int{value} : -1;
    };
    app.Scroll("HScroll2", SB_LINELEFT);  // one step down from 51
    EXPECT_TRUE(GetWindowLongW(target.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(alpha(), 250);
    app.Scroll("HScroll2", SB_THUMBTRACK, 0);
    app.Scroll("HScroll2", SB_THUMBPOSITION, 0);
    EXPECT_EQ(alpha(), 0);
    EXPECT_TRUE(IsWindowVisible(target.Window()));
    app.Scroll("HScroll2", SB_THUMBPOSITION, 51);
    EXPECT_EQ(alpha(), 255);
    EXPECT_TRUE(GetWindowLongW(target.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(WindowActions, BlinkingShowsNoMessageWhateverTheHandle) {
    // Wine 8 does not flash another process's window; what can be seen is
    // that ticking with any handle box leaves no message and a live program.
    app.Click("Check1");
    for (const std::wstring& text :
         {HandleText(target.Window()), std::wstring(L"0"), std::wstring(L"99999999999")}) {
        app.SetText("Text2", text);
        Sleep(700);
        EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
        EXPECT_TRUE(app.Responsive());
    }
    app.Click("Option2");
    Sleep(1100);
    app.Click("Check1");
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
    EXPECT_EQ(SendMessageW(app.Control("Check1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace
}  // namespace vindrel::e2e
