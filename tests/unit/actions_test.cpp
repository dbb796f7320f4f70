// The window commands, caption flashing and opacity, with the calls they
// make on the fake window system.
#include <gtest/gtest.h>

#include <algorithm>

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
    // Clicks a button with Text2 set, and gives the calls it made.
    std::vector<std::string> ClickWith(std::string_view button, const std::wstring& text2) {
        Box("Text2").SetText(text2);
        ws.log.clear();
        Click(button);
        return ws.log;
    }
    std::vector<std::string> Calls(std::initializer_list<std::string> calls) { return calls; }
    // Learning where the window's program stands, before a change.
    static std::vector<std::string> LookUp(Hwnd window) {
        return {"GetWindowThreadProcessId(" + std::to_string(window) + ")",
                "GetCurrentProcessId()"};
    }
    static std::vector<std::string> Then(std::vector<std::string> first,
                                         const std::vector<std::string>& next) {
        first.insert(first.end(), next.begin(), next.end());
        return first;
    }
};

TEST_F(ActionsTest, SilentCommandsMakeTheirCallOnTheHandleInTheBox) {
    struct Case {
        const char* button;
        std::string valid;  // the call with handle 100
        std::string stale;  // the call with handle 999
        bool changes;       // where the window's program stands is learnt first
    };
    const Case cases[] = {
        {"Command8", "ShowWindow(100,5)", "ShowWindow(999,5)", true},
        {"Command17", "CloseWindow(100)", "CloseWindow(999)", true},
        {"Command19", "OpenIcon(100)", "OpenIcon(999)", true},
        {"Command21", "SetForegroundWindow(100)", "SetForegroundWindow(999)", false},
    };
    for (const Case& c : cases) {
        const auto first = [&](Hwnd window) {
            return c.changes ? LookUp(window) : std::vector<std::string>{};
        };
        EXPECT_EQ(ClickWith(c.button, L"100"), Then(first(100), {c.valid})) << c.button;
        EXPECT_EQ(ClickWith(c.button, L" 9 9 9"), Then(first(999), {c.stale})) << c.button;
        EXPECT_TRUE(TakeMessages().empty()) << c.button;
        // Out of range: no call, one report of the failed conversion.
        EXPECT_TRUE(ClickWith(c.button, kOutOfRange).empty()) << c.button;
        const auto reports = TakeMessages();
        ASSERT_EQ(reports.size(), 1u) << c.button;
        EXPECT_NE(reports[0].find(L"2147483648"), std::wstring::npos);
    }
    EXPECT_EQ(ws.foreground, 100);
    EXPECT_FALSE(ws.Find(100)->iconic);
}

TEST_F(ActionsTest, HideReportsWhetherTheWindowIsHiddenAfterwards) {
    ClickWith("Command4", L"100");
    EXPECT_FALSE(ws.Find(100)->visible);
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_EQ(toolkit.messages[0].prompt, L"成功");
    EXPECT_EQ(toolkit.messages[0].title, L"Tamsk提示");
    toolkit.messages.clear();
    ClickWith("Command4", L"100");  // already hidden: still a success
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"成功"});
    ClickWith("Command4", L"999");
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"失败"});
    EXPECT_EQ(ClickWith("Command4", L"0"),
              Then(Then({"GetWindowThreadProcessId(0)"}, LookUp(0)),
                   {"GetWindowThreadProcessId(0)", "ShowWindow(0,0)", "IsWindow(0)"}));
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"失败"});
    EXPECT_TRUE(ClickWith("Command4", kOutOfRange).empty());
    EXPECT_EQ(TakeMessages().size(), 1u);

    // A window of the program's own is not hidden: nothing would bring it back.
    ws.AddWindow(300, FakeWindowSystem::kOwnPid, "own");
    ClickWith("Command4", L"300");
    EXPECT_EQ(std::count(ws.log.begin(), ws.log.end(), "ShowWindow(300,0)"), 0);
    EXPECT_TRUE(ws.Find(300)->visible);
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_EQ(toolkit.messages[0].prompt, L"这是本程序自己的窗口：隐藏后将无法再把它找回。");
    EXPECT_EQ(toolkit.messages[0].title, L"Tamsk提示");
}

TEST_F(ActionsTest, AskToClosePostsOnlyToARealWindow) {
    EXPECT_EQ(ClickWith("Command9", L"100"),
              Then(Then({"IsWindow(100)"}, LookUp(100)), {"PostMessageA(100,16,0,0)"}));
    EXPECT_EQ(toolkit.messages.back().title, L"Tamsk提示");
    EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"成功"});
    for (const wchar_t* handle : {L"0", L"65535", L"999", L"&HFFFF"}) {
        ClickWith("Command9", handle);
        EXPECT_TRUE(ws.posted.size() == 1) << "posted for " << ToAnsi(handle);
        EXPECT_EQ(TakeMessages(), std::vector<std::wstring>{L"失败"});
    }
    EXPECT_TRUE(ClickWith("Command9", kOutOfRange).empty());
}

TEST_F(ActionsTest, RenameSendsTheNewTitleThroughTheAnsiCodePage) {
    Box("Text5").SetText(L"新标题 New");
    ClickWith("Command22", L"100");
    EXPECT_EQ(ws.Find(100)->title, L"新标题 New");
    Box("Text5").SetText(L"");
    ClickWith("Command22", L"100");
    EXPECT_EQ(ws.Find(100)->title, L"");
    EXPECT_EQ(ClickWith("Command22", L"999"),
              Then(LookUp(999), {"GetWindowThreadProcessId(999)", "SetWindowTextA(999,)"}));
    EXPECT_TRUE(ClickWith("Command22", kOutOfRange).empty());
    EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(ActionsTest, HiddenButtonsReportValidityVisibilityAndFindTheHandle) {
    ClickWith("Command18", L"100");
    ClickWith("Command18", L"999");
    ClickWith("Command6", L"100");
    ws.Find(100)->visible = false;
    ClickWith("Command6", L"100");
    ClickWith("Command6", L"999");
    EXPECT_EQ(TakeMessages(), (std::vector<std::wstring>{L"有效", L"无效", L"1", L"0", L"0"}));
    ClickWith("Command18", L"1");
    EXPECT_FALSE(toolkit.messages.back().title.has_value());  // the default title

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
    ws.log.clear();
    timer.Fire();
    timer.Fire();  // where its program stands is learnt once per target
    Box("Text2").SetText(L"0");
    timer.Fire();
    Box("Text2").SetText(kOutOfRange);  // no call, no message box
    timer.Fire();
    timer.Fire();
    Box("Text2").SetText(L"100");  // blinking resumes at the next tick
    timer.Fire();
    Box("Text2").SetText(L"0100");  // the same handle: blinking goes on there
    // The window left is put back as soon as Text2 names another (there is
    // no caption to put back for window 0).
    EXPECT_EQ(ws.log, Then(Then(Then(LookUp(100), {"FlashWindow(100,1)", "FlashWindow(100,1)",
                                                   "FlashWindow(100,0)"}),
                                Then(LookUp(0), {"FlashWindow(0,1)"})),
                           Then(LookUp(100), {"FlashWindow(100,1)"})));
    EXPECT_TRUE(toolkit.messages.empty());

    ws.log.clear();
    check.UserClick();  // switched off: put back once
    EXPECT_FALSE(timer.Enabled());
    timer.Fire();
    Box("Text2").SetText(L"0");
    EXPECT_EQ(ws.log, Calls({"FlashWindow(100,0)"}));
    EXPECT_EQ(ws.Find(100)->flashes, 0);
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
        Form1 ending(other, other, ws, listing, rights);
        ending.Form_Load();
        other.Get<FakeTextBox>("Text2").SetText(L"100");
        other.Get<FakeCheckBox>("Check1").UserClick();
        other.Get<FakeTimer>("Timer1").Fire();
        EXPECT_EQ(ws.Find(100)->flashes, 1);
    }
    EXPECT_EQ(ws.Find(100)->flashes, 0);
    EXPECT_EQ(ws.log.back(), "FlashWindow(100,0)");
}

TEST_F(ActionsTest, TargetOpacityLayersTheWindowAndSetsAlphaInStepsOfFive) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll2");
    Box("Text2").SetText(L"100");
    ws.Find(100)->exStyle = 0x100;
    bar.UserStep(-1);
    // After the reads that record the window's state.
    ASSERT_GE(ws.log.size(), 3u);
    EXPECT_EQ(std::vector(ws.log.end() - 3, ws.log.end()),
              Calls({"GetWindowLongA(100,-20)", "SetWindowLongA(100,-20,524544)",
                     "SetLayeredWindowAttributes(100,16711680,250,2)"}));
    bar.UserDrag(0);
    bar.UserRelease();
    EXPECT_EQ(ws.Find(100)->alpha, 0);
    EXPECT_TRUE(ws.Find(100)->visible);
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
    EXPECT_EQ(ws.Find(100)->alpha, 255);
    EXPECT_EQ(ws.Find(100)->exStyle, 0x100 | 0x80000);  // stays layered

    ws.log.clear();
    Box("Text2").SetText(kOutOfRange);
    bar.UserStep(-1);
    EXPECT_TRUE(ws.log.empty());
    EXPECT_EQ(TakeMessages().size(), 1u);
}

TEST_F(ActionsTest, OwnOpacityAsksForTheMainWindowBeforeEachCall) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll1");
    bar.UserStep(-1);
    const std::string form = std::to_string(FakeToolkit::kFormHwnd);
    EXPECT_EQ(ws.log,
              Calls({"GetWindowLongA(" + form + ",-20)", "SetWindowLongA(" + form + ",-20,524288)",
                     "SetLayeredWindowAttributes(" + form + ",16711680,254,2)"}));
    EXPECT_EQ(toolkit.Window().HandleRequests(), 3);
    bar.SetValue(24);
    EXPECT_EQ(ws.log.back(), "SetLayeredWindowAttributes(" + form + ",16711680,25,2)");
    bar.SetValue(26);
    EXPECT_EQ(ws.log.back(), "SetLayeredWindowAttributes(" + form + ",16711680,26,2)");
}

}  // namespace
}  // namespace vindrel::testing
