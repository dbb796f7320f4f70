// Windows of programs with more rights than ours: a command that did not
// take effect there says why, once, and offers to start this program as
// administrator with the same handle.
#include <gtest/gtest.h>

#include <functional>

#include "form_fixture.h"

namespace vindrel::testing {
namespace {

using Answer = Interaction::Answer;
constexpr Hwnd kTarget = 100;
constexpr Pid kTargetPid = 10;

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

class HigherRightsTest : public FormTest {
protected:
    HigherRightsTest() {
        ws.processes = {{kTargetPid, "taskmgr.exe"}, {FakeWindowSystem::kOwnPid, "Vindrel.exe"}};
        ws.AddWindow(kTarget, kTargetPid, "任务管理器");
        Box("Text2").SetText(std::to_wstring(kTarget));
    }
    FakeWindow& Target() { return *ws.Find(kTarget); }
    // Runs a command on the target: the messages it showed.
    std::vector<ShownMessage> Run(const std::function<void()>& command) {
        toolkit.messages.clear();
        command();
        auto shown = toolkit.messages;
        toolkit.messages.clear();
        return shown;
    }
    // Hides the target as a command (answering nothing).
    void Hide() { Click("Command4"); }
};

// Each command that changes the target, the state it starts from (one the
// command would change), what a message about it begins with, and whether
// it took.
struct Command {
    const char* name;
    std::function<void(FakeWindow&)> prepare;
    std::function<void()> run;
    std::function<bool(const FakeWindow&)> took;
    const wchar_t* head;
};

TEST_F(HigherRightsTest, ACommandThatDidNotTakeOnAHigherWindowSaysWhyOnceAndClaimsNoSuccess) {
    const auto click = [this](const char* button) { return [this, button] { Click(button); }; };
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll2");
    const Command commands[] = {
        {"hide", [](FakeWindow& w) { w.visible = true; }, click("Command4"),
         [](const FakeWindow& w) { return !w.visible; }, L"失败"},
        {"show", [](FakeWindow& w) { w.visible = false; }, click("Command8"),
         [](const FakeWindow& w) { return w.visible; }, L"无法显示这个窗口。"},
        {"minimise", [](FakeWindow& w) { w.iconic = false; }, click("Command17"),
         [](const FakeWindow& w) { return w.iconic; }, L"无法最小化这个窗口。"},
        {"restore",
         [](FakeWindow& w) {
             w.iconic = true;
             w.visible = true;  // a minimised window is visible
         },
         click("Command19"), [](const FakeWindow& w) { return !w.iconic; }, L"无法还原这个窗口。"},
        {"rename",
         [this](FakeWindow& w) {
             w.title = L"任务管理器";
             Box("Text5").SetText(L"新标题\uD55C");  // the code page has no Hangul
         },
         click("Command22"), [](const FakeWindow& w) { return w.title == L"新标题?"; },
         L"无法更改这个窗口的标题。"},
        {"opacity",
         [&bar](FakeWindow& w) {
             bar.SetValue(51);
             // An old style of 0 is a value, not a failure.
             w.exStyle = 0;
             w.alpha.reset();
         },
         [&bar] { bar.SetValue(10); }, [](const FakeWindow& w) { return w.alpha == 50; },
         L"无法更改这个窗口的透明度。"},
        {"opacity of a layered window",
         [&bar](FakeWindow& w) {
             bar.SetValue(51);
             w.exStyle = api::kWsExLayered;
             w.alpha = 200;
             w.layeredFlags = api::kLwaAlpha;
         },
         [&bar] { bar.SetValue(10); }, [](const FakeWindow& w) { return w.alpha == 50; },
         L"无法更改这个窗口的透明度。"},
    };
    enum class Mode { Refuses, Ignores, Accepts };
    struct Level {
        std::optional<std::uint32_t> level;
        const wchar_t* says;  // empty: the level lets us
        bool offers;          // to start this program as administrator
    };
    const Level levels[] = {
        {FakeProcessRights::kHigh, L"“taskmgr.exe”（进程 10）以管理员身份运行。", true},
        {std::nullopt, L"本程序无法读取“taskmgr.exe”（进程 10）的权限：它可能以管理员身份运行",
         true},
        {FakeProcessRights::kSystem, L"“taskmgr.exe”（进程 10）的权限比管理员还高", false},
        {FakeProcessRights::kMedium, L"", false},
    };
    for (const Level& level : levels) {
        rights.levels[kTargetPid] = level.level;
        for (const Mode mode : {Mode::Refuses, Mode::Ignores, Mode::Accepts}) {
            for (const Command& command : commands) {
                const std::string what = std::string(command.name) + " mode " +
                                         std::to_string(static_cast<int>(mode)) + " level " +
                                         std::to_string(level.level.value_or(0));
                Target().refuses = Target().ignores = false;
                command.prepare(Target());
                Target().refuses = mode == Mode::Refuses;
                Target().ignores = mode == Mode::Ignores;
                const auto shown = Run(command.run);
                const bool took = command.took(Target());
                EXPECT_EQ(took, mode == Mode::Accepts) << what;
                const bool hide = command.name == std::string("hide");
                if (*level.says == L'\0' || took) {
                    // What the command says today, at any level where it took.
                    if (hide) {
                        ASSERT_EQ(shown.size(), 1u) << what;
                        EXPECT_EQ(shown[0].prompt, took ? L"成功" : L"失败") << what;
                    } else {
                        EXPECT_TRUE(shown.empty()) << what;
                    }
                    continue;
                }
                ASSERT_EQ(shown.size(), 1u) << what;
                const std::wstring& text = shown[0].prompt;
                EXPECT_EQ(text.rfind(std::wstring(command.head) + L"\r\n\r\n", 0), 0u) << what;
                EXPECT_TRUE(Has(text, level.says)) << what;
                EXPECT_FALSE(Has(text, L"成功")) << what;
                EXPECT_EQ(shown[0].title, L"Tamsk提示") << what;
                if (!level.offers) {
                    EXPECT_EQ(shown[0].choices, std::nullopt) << what;
                    EXPECT_FALSE(Has(text, L"重新启动")) << what;
                    continue;
                }
                EXPECT_TRUE(Has(
                    text, L"Windows 不允许以普通权限运行的程序更改以管理员身份运行的程序的窗口"))
                    << what;
                EXPECT_TRUE(Has(text,
                                L"\r\n\r\n要以管理员身份重新启动本程序吗？新启动的程序会带上"
                                L"窗口句柄 100。"))
                    << what;
                EXPECT_EQ(shown[0].choices, Interaction::Choices::YesNo) << what;
            }
        }
    }
    // Nothing offered was taken: no start asked for, the program stays.
    EXPECT_TRUE(rights.starts.empty());
    EXPECT_FALSE(toolkit.Window().closed);
}

TEST_F(HigherRightsTest, AskingToCloseAddsThatWindowsMayDropTheRequest) {
    rights.levels[kTargetPid] = FakeProcessRights::kHigh;
    auto shown = Run([&] { Click("Command9"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].prompt.rfind(
                  L"成功\r\n\r\n请求已发出，但 Windows "
                  L"可能丢弃它，窗口就不会关闭。\r\n\r\n“taskmgr.exe”（进程 10）以管理员身份运行。",
                  0),
              0u);
    EXPECT_EQ(ws.posted.size(), 1u);
    Target().refuses = true;
    shown = Run([&] { Click("Command9"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].prompt.rfind(L"失败\r\n\r\n“taskmgr.exe”", 0), 0u);
    // At our level: "成功" or "失败" alone, as always.
    rights.levels[kTargetPid] = FakeProcessRights::kMedium;
    Target().refuses = false;
    shown = Run([&] { Click("Command9"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].prompt, L"成功");
}

TEST_F(HigherRightsTest, YesStartsThisProgramAsAdministratorWithTheHandleThenClosesThisOne) {
    rights.levels[kTargetPid] = FakeProcessRights::kHigh;
    Target().refuses = true;
    // 否, and a prompt the user declines: nothing else happens.
    toolkit.answers = {Answer::No};
    EXPECT_EQ(Run([&] { Hide(); }).size(), 1u);
    EXPECT_TRUE(rights.starts.empty());
    rights.startResult = api::kErrorCancelled;
    toolkit.answers = {Answer::Yes};
    EXPECT_EQ(Run([&] { Hide(); }).size(), 1u);
    ASSERT_EQ(rights.starts.size(), 1u);
    EXPECT_EQ(rights.starts[0], std::make_pair(std::wstring(L"100"), FakeToolkit::kFormHwnd));
    EXPECT_FALSE(toolkit.Window().closed);
    // Another failure to start is reported.
    rights.startResult = 2;
    toolkit.answers = {Answer::Yes};
    auto shown = Run([&] { Hide(); });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].prompt.rfind(L"无法以管理员身份启动本程序\r\n", 0), 0u);
    EXPECT_FALSE(toolkit.Window().closed);

    // Started: this one closes as its close box would, after the closing
    // question while a window it hid is still unseen.
    Target().visible = false;
    ws.AddWindow(200, 20, "hidden by us");
    Box("Text2").SetText(L"200");
    Hide();
    Box("Text2").SetText(L"0100");
    rights.startResult = 0;
    toolkit.answers = {Answer::Yes, Answer::Cancel};
    shown = Run([&] { Click("Command8"); });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(Has(shown[1].prompt, L"退出前把它们恢复吗？"));
    EXPECT_EQ(rights.starts.back().first, L"100");
    EXPECT_FALSE(toolkit.Window().closed);
    toolkit.answers = {Answer::Yes, Answer::No};
    Run([&] { Click("Command8"); });
    EXPECT_TRUE(toolkit.Window().closed);
    EXPECT_EQ(rights.starts.size(), 4u);
}

TEST_F(HigherRightsTest, ARefusedChangeIsRecordedAndARefusedPutBackSaysWhy) {
    // Recorded whatever the outcome: the window hid itself later, and the
    // program shows it again only if it may.
    Target().refuses = true;
    rights.levels[kTargetPid] = FakeProcessRights::kHigh;
    Hide();
    Target().visible = false;
    const auto shown = Run([&] { toolkit.Window().UserChooseMenuItem(); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(Has(shown[0].prompt, L"未能恢复的窗口：\r\ntaskmgr.exe"));
    EXPECT_TRUE(Has(shown[0].prompt, L"窗口没有接受更改：它的程序的权限可能比本程序高"));
}

TEST_F(HigherRightsTest, WhereRunningAsAdministratorCannotHelpNothingIsOffered) {
    Target().refuses = true;
    const auto show = [&] {
        Target().visible = false;
        return Run([&] { Click("Command8"); });
    };
    rights.elevated = true;
    rights.levels[FakeWindowSystem::kOwnPid] = FakeProcessRights::kHigh;
    rights.levels[kTargetPid] = std::nullopt;
    auto shown = show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].choices, std::nullopt);
    EXPECT_TRUE(
        Has(shown[0].prompt, L"本程序已以管理员身份运行，Windows 仍不允许它更改这个窗口。"));
    // An administrator window is at our level now.
    rights.levels[kTargetPid] = FakeProcessRights::kHigh;
    EXPECT_TRUE(show().empty());
    // Where our own level cannot be read, no other window's standing is known.
    rights.elevated = false;
    rights.levels[FakeWindowSystem::kOwnPid] = std::nullopt;
    shown = show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(Has(shown[0].prompt, L"本程序无法读取“taskmgr.exe”"));
    EXPECT_TRUE(rights.starts.empty());
}

TEST_F(HigherRightsTest, BlinkingLeavesAHigherWindowAloneAndLooksAgainWhenTheHandleChanges) {
    auto& timer = toolkit.Get<FakeTimer>("Timer1");
    toolkit.Get<FakeCheckBox>("Check1").UserClick();
    for (const auto level :
         {std::optional(FakeProcessRights::kHigh), std::optional<std::uint32_t>()}) {
        rights.levels[kTargetPid] = level;
        Box("Text2").SetText(L"100");
        timer.Fire();
        timer.Fire();
        // Nothing was blinked, so nothing is put back either.
        Box("Text2").SetText(L"0");
    }
    Box("Text2").SetText(L"100");
    rights.levels[kTargetPid] = FakeProcessRights::kHigh;
    timer.Fire();
    EXPECT_EQ(ws.calls["FlashWindow"], 0);
    EXPECT_TRUE(toolkit.messages.empty());
    // Learnt again once Text2 changes, not at every tick.
    rights.levels[kTargetPid] = FakeProcessRights::kMedium;
    timer.Fire();
    EXPECT_EQ(ws.calls["FlashWindow"], 0);
    Box("Text2").SetText(L"100 ");
    timer.Fire();
    EXPECT_EQ(Target().flashes, 1);
}

}  // namespace
}  // namespace vindrel::testing
