// The window commands, caption flashing and opacity: what they do to the
// target window and what they tell the user.
#include <gtest/gtest.h>

#include <functional>

#include "actions/messages.h"
#include "form_fixture.h"
#include "platform/text.h"

namespace vindrel::testing {
namespace {

constexpr wchar_t kOutOfRange[] = L"2147483648";

class ActionsTest : public FormTest {
protected:
    ActionsTest() {
        ws.AddWindow(100, 10, "target");
        ws.processes = {{10, "target.exe"}, {11, "nowindow.exe"}};
    }
    // Clicks a button with Text2 set: what the message boxes said.
    std::vector<std::wstring> ClickWith(std::string_view button, const std::wstring& text2) {
        Box("Text2").SetText(text2);
        Click(button);
        return TakeMessages();
    }
    FakeWindow& Target() { return *ws.Find(100); }
};

TEST_F(ActionsTest, SilentCommandsActOnTheHandleInTheBoxAndSayNothing) {
    struct Case {
        const char* button;
        std::function<void()> undo;  // the window as the command would not leave it
        std::function<bool()> done;
    };
    const Case cases[] = {
        {"Command8", [&] { Target().visible = false; }, [&] { return Target().visible; }},
        {"Command17", [&] { Target().iconic = false; }, [&] { return Target().iconic; }},
        {"Command19", [&] { Target().iconic = true; }, [&] { return !Target().iconic; }},
        {"Command21", [&] { ws.foreground = 0; }, [&] { return ws.foreground == 100; }},
    };
    for (const Case& c : cases) {
        c.undo();
        EXPECT_TRUE(ClickWith(c.button, L" 9 9 9").empty()) << c.button;  // no such window
        // Out of range: one report of the failed conversion, and no call.
        const auto reports = ClickWith(c.button, kOutOfRange);
        ASSERT_EQ(reports.size(), 1u) << c.button;
        EXPECT_NE(reports[0].find(kOutOfRange), std::wstring::npos);
        EXPECT_FALSE(c.done()) << c.button;
        EXPECT_TRUE(ClickWith(c.button, L"100").empty()) << c.button;
        EXPECT_TRUE(c.done()) << c.button;
    }
}

TEST_F(ActionsTest, HideSaysWhetherTheWindowIsHiddenAfterwardsAndKeepsTheProgramsOwn) {
    Box("Text2").SetText(L"100");
    Click("Command4");
    EXPECT_FALSE(Target().visible);
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_EQ(toolkit.messages[0].title, L"Tamsk提示");
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"成功"});
    EXPECT_EQ(ClickWith("Command4", L"100"), std::vector<std::wstring>{L"成功"});  // hidden already
    EXPECT_EQ(ClickWith("Command4", L"999"), std::vector<std::wstring>{L"失败"});
    EXPECT_EQ(ClickWith("Command4", L"0"), std::vector<std::wstring>{L"失败"});
    EXPECT_EQ(ClickWith("Command4", kOutOfRange).size(), 1u);

    // A window of the program's own is not hidden: nothing would bring it back.
    ws.AddWindow(300, FakeWindowSystem::kOwnPid, "own");
    EXPECT_EQ(ClickWith("Command4", L"300"), std::vector<std::wstring>{kOwnWindowHidden});
    EXPECT_TRUE(ws.Find(300)->visible);
}

TEST_F(ActionsTest, AskToCloseQueuesTheRequestOnlyForAnotherProgramsWindow) {
    EXPECT_EQ(ClickWith("Command9", L"100"), std::vector<std::wstring>{L"成功"});
    ASSERT_EQ(ws.posted.size(), 1u);
    EXPECT_EQ(ws.posted[0].hwnd, 100);
    EXPECT_EQ(ws.posted[0].msg, api::kWmClose);
    for (const wchar_t* handle : {L"0", L"65535", L"999", L"&HFFFF"}) {
        EXPECT_EQ(ClickWith("Command9", handle), std::vector<std::wstring>{L"失败"});
    }
    EXPECT_EQ(ClickWith("Command9", kOutOfRange).size(), 1u);
    // The program's own controls and popups would be destroyed: refused.
    ws.AddWindow(300, FakeWindowSystem::kOwnPid, "own control");
    EXPECT_EQ(ClickWith("Command9", L"300"), std::vector<std::wstring>{kOwnWindowClosed});
    EXPECT_EQ(ws.posted.size(), 1u);
    // The main window closes as its close box closes it.
    ws.AddWindow(FakeToolkit::kFormHwnd, FakeWindowSystem::kOwnPid, "Vindrel");
    EXPECT_TRUE(ClickWith("Command9", std::to_wstring(FakeToolkit::kFormHwnd)).empty());
    EXPECT_TRUE(toolkit.Window().closed);
    EXPECT_EQ(ws.posted.size(), 1u);
}

TEST_F(ActionsTest, RenameSendsTheNewTitleThroughTheAnsiCodePage) {
    Box("Text5").SetText(L"新标题 New");
    ClickWith("Command22", L"100");
    EXPECT_EQ(Target().title, L"新标题 New");
    Box("Text5").SetText(L"");
    ClickWith("Command22", L"100");
    EXPECT_EQ(Target().title, L"");
    EXPECT_TRUE(ClickWith("Command22", L"999").empty());
    EXPECT_EQ(ClickWith("Command22", kOutOfRange).size(), 1u);
}

TEST_F(ActionsTest, HiddenButtonsReportValidityVisibilityAndFindTheHandle) {
    const auto said = [&](std::string_view button, const wchar_t* text2) {
        Box("Text2").SetText(text2);
        Click(button);
        EXPECT_FALSE(toolkit.messages.back().title.has_value());  // the default title
        return TakeMessages();
    };
    EXPECT_EQ(said("Command18", L"100"), std::vector<std::wstring>{L"有效"});
    EXPECT_EQ(said("Command18", L"999"), std::vector<std::wstring>{L"无效"});
    EXPECT_EQ(said("Command6", L"100"), std::vector<std::wstring>{L"1"});
    Target().visible = false;
    EXPECT_EQ(said("Command6", L"100"), std::vector<std::wstring>{L"0"});
    EXPECT_EQ(said("Command6", L"999"), std::vector<std::wstring>{L"0"});

    Box("Text1").SetText(L"10");
    Click("Command5");
    EXPECT_EQ(Box("Text2").Text(), L"100");
    Box("Text1").SetText(L"11");
    Click("Command5");
    EXPECT_EQ(Box("Text2").Text(), L"0");
    Box("Text1").SetText(kOutOfRange);
    Box("Text2").SetText(L"kept");
    toolkit.messages.clear();
    Click("Command5");
    EXPECT_EQ(Box("Text2").Text(), L"kept");
    EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(ActionsTest, BlinkingTicksAtTheChosenSpeedOnTheHandleOfTheMoment) {
    auto& timer = toolkit.Get<FakeTimer>("Timer1");
    auto& check = toolkit.Get<FakeCheckBox>("Check1");
    toolkit.Get<FakeOptionButton>("Option2").UserClick();  // a speed does not switch it on
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 500);
    check.UserClick();
    EXPECT_TRUE(timer.Enabled());
    toolkit.Get<FakeOptionButton>("Option1").UserClick();  // changed while blinking
    EXPECT_EQ(timer.Interval(), 100);

    Box("Text2").SetText(L"100");
    timer.Fire();
    timer.Fire();
    EXPECT_EQ(Target().flashes, 2);
    // Another handle: the window left is put back at once.
    Box("Text2").SetText(L"0");
    EXPECT_EQ(Target().flashes, 0);
    timer.Fire();
    Box("Text2").SetText(kOutOfRange);  // no call, no message box
    timer.Fire();
    Box("Text2").SetText(L"100");  // blinking resumes at the next tick
    timer.Fire();
    Box("Text2").SetText(L"0100");  // the same handle: blinking goes on there
    timer.Fire();
    EXPECT_EQ(Target().flashes, 2);
    EXPECT_TRUE(toolkit.messages.empty());

    check.UserClick();  // switched off: put back once
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(Target().flashes, 0);
    toolkit.Get<FakeOptionButton>("Option2").UserClick();
    check.UserClick();  // on again, at the speed last chosen
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 500);
}

// A program that ends while blinking puts the caption back.
TEST_F(ActionsTest, EndingWhileBlinkingPutsTheCaptionBack) {
    {
        FakeToolkit other;
        WmiListing listing(ws, kListingDeadline, std::make_shared<PlainCompletions>());
        Form1 ending(other, other, ws, listing, rights, folder, lifetimes);
        ending.Form_Load();
        other.Get<FakeTextBox>("Text2").SetText(L"100");
        other.Get<FakeCheckBox>("Check1").UserClick();
        other.Get<FakeTimer>("Timer1").Fire();
        EXPECT_EQ(Target().flashes, 1);
    }
    EXPECT_EQ(Target().flashes, 0);
}

TEST_F(ActionsTest, TargetOpacityLayersTheWindowAndSetsAlphaInStepsOfFive) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll2");
    Box("Text2").SetText(L"100");
    Target().exStyle = 0x100;
    bar.UserStep(-1);
    EXPECT_EQ(Target().exStyle, 0x100 | api::kWsExLayered);
    EXPECT_EQ(Target().alpha, 250);
    EXPECT_EQ(Target().layeredKey, api::kLayeredColorKey);
    EXPECT_EQ(Target().layeredFlags, api::kLwaAlpha);
    bar.UserDrag(0);
    bar.UserRelease();
    EXPECT_EQ(Target().alpha, 0);
    EXPECT_TRUE(Target().visible);
    // The program's own windows keep a tenth of their opacity.
    ws.AddWindow(300, FakeWindowSystem::kOwnPid, "own");
    Box("Text2").SetText(L"300");
    bar.UserStep(+1);  // 5
    EXPECT_EQ(ws.Find(300)->alpha, 25);
    bar.UserStep(-1);  // 0
    EXPECT_EQ(ws.Find(300)->alpha, 25);
    bar.SetValue(6);  // 30: above the floor
    EXPECT_EQ(ws.Find(300)->alpha, 30);
    Box("Text2").SetText(L"100");
    bar.SetValue(51);
    EXPECT_EQ(Target().alpha, 255);
    EXPECT_EQ(Target().exStyle, 0x100 | api::kWsExLayered);  // stays layered

    Box("Text2").SetText(kOutOfRange);
    bar.UserStep(-1);
    EXPECT_EQ(Target().alpha, 255);
    EXPECT_EQ(TakeMessages().size(), 1u);
}

// The bar's changes come from inside its own tracking, one per step: a box
// raised there would come once per step. One is shown, at the end.
TEST_F(ActionsTest, AnOpacityGestureShowsAtMostOneBoxAtItsEnd) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll2");
    toolkit.onMessage = [&](const ShownMessage&) {
        EXPECT_FALSE(bar.InGesture()) << "a box inside the gesture";
    };
    rights.levels[10] = FakeProcessRights::kHigh;
    Target().refuses = true;
    Box("Text2").SetText(L"100");
    bar.UserHold(-1, 5);
    auto shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].starts_with(L"无法更改这个窗口的透明度。")) << ToAnsi(shown[0]);
    Box("Text2").SetText(kOutOfRange);  // a failed step, every step
    bar.UserDrag(20);
    bar.UserRelease();
    bar.UserHold(+1, 3);
    shown = TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[1].find(kOutOfRange), std::wstring::npos);
    // (A change from the program's own code is no gesture: its box comes at
    // once, as the tests of higher rights show.)
}

TEST_F(ActionsTest, OwnOpacityAsksForTheMainWindowBeforeEachCall) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll1");
    bar.UserStep(-1);
    const std::string form = std::to_string(FakeToolkit::kFormHwnd);
    EXPECT_EQ(ws.log,
              (std::vector<std::string>{
                  "GetWindowLongA(" + form + ",-20)", "SetWindowLongA(" + form + ",-20,524288)",
                  "SetLayeredWindowAttributes(" + form + ",16711680,254,2)"}));
    EXPECT_EQ(toolkit.Window().HandleRequests(), 3);
    bar.SetValue(24);
    EXPECT_EQ(ws.log.back(), "SetLayeredWindowAttributes(" + form + ",16711680,25,2)");
    bar.SetValue(26);
    EXPECT_EQ(ws.log.back(), "SetLayeredWindowAttributes(" + form + ",16711680,26,2)");
}

}  // namespace
}  // namespace vindrel::testing
