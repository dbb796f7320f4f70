// Windows of programs with more rights than ours: a change that did not
// take there says why, once, and offers to start this program as
// administrator with the same handle where that can help.
#include <gtest/gtest.h>

#include <functional>

#include "form_fixture.h"
#include "platform/text.h"

namespace vindrel::testing {
namespace {

using Answer = Interaction::Answer;
using Rights = FakeProcessRights;
constexpr Hwnd kTarget = 100;
constexpr Pid kTargetPid = 10;

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

class HigherRightsTest : public FormTest {
protected:
    HigherRightsTest() {
        ws.processes = {{kTargetPid, "taskmgr.exe"}, {FakeWindowSystem::kOwnPid, "Vindrel.exe"}};
        ws.AddWindow(kTarget, kTargetPid, "Task Manager");
        Box("Text2").SetText(std::to_wstring(kTarget));
    }
    FakeWindow& Target() { return *ws.Find(kTarget); }
    // Runs a command: the messages it showed.
    std::vector<ShownMessage> Run(const std::function<void()>& command) {
        toolkit.messages.clear();
        command();
        auto shown = toolkit.messages;
        toolkit.messages.clear();
        return shown;
    }
    // Shows the hidden target as the user would.
    std::vector<ShownMessage> Show() {
        Target().visible = false;
        return Run([&] { Click("Command8"); });
    }
};

TEST_F(HigherRightsTest, AChangeThatDidNotTakeOnAHigherWindowSaysWhyOnceAndClaimsNoSuccess) {
    auto& bar = toolkit.Get<FakeScrollBar>("HScroll2");
    const auto click = [this](const char* button) { return [this, button] { Click(button); }; };
    struct Command {
        const char* name;
        std::function<void()> prepare;  // a state the command would change
        std::function<void()> run;
        const wchar_t* head;
        const wchar_t* atOurLevel;  // what it says when it does not take there
    };
    const Command commands[] = {
        {"hide", [&] { Target().visible = true; }, click("Command4"), L"失败", L"失败"},
        {"show", [&] { Target().visible = false; }, click("Command8"), L"无法显示这个窗口。", L""},
        {"minimise", [&] { Target().iconic = false; }, click("Command17"), L"无法最小化这个窗口。",
         L""},
        {"restore", [&] { Target().iconic = true; }, click("Command19"), L"无法还原这个窗口。",
         L""},
        {"rename", [&] { Box("Text5").SetText(L"新标题"); }, click("Command22"),
         L"无法更改这个窗口的标题。", L""},
        {"opacity", [&] { bar.SetValue(51); }, [&] { bar.SetValue(10); },
         L"无法更改这个窗口的透明度。", L""},
    };
    for (const bool ignores : {false, true}) {
        for (const Command& command : commands) {
            const std::string what =
                std::string(command.name) + (ignores ? " ignored" : " refused");
            for (const auto level : {Rights::kHigh, Rights::kMedium}) {
                rights.levels[kTargetPid] = level;
                Target().refuses = Target().ignores = false;
                command.prepare();
                (ignores ? Target().ignores : Target().refuses) = true;
                const auto shown = Run(command.run);
                if (level == Rights::kMedium) {
                    const std::wstring said = shown.empty() ? L"" : shown[0].prompt;
                    EXPECT_EQ(said, command.atOurLevel) << what;
                    continue;
                }
                ASSERT_EQ(shown.size(), 1u) << what;
                EXPECT_TRUE(shown[0].prompt.starts_with(std::wstring(command.head) + L"\r\n\r\n“"))
                    << what;
                EXPECT_TRUE(Has(shown[0].prompt, L"“taskmgr.exe”（进程 10）")) << what;
                EXPECT_EQ(shown[0].choices, Interaction::Choices::YesNo) << what;
                EXPECT_EQ(shown[0].title, L"Tamsk提示") << what;
            }
        }
    }
    // Nothing offered was taken: no start asked for, the program stays.
    EXPECT_TRUE(rights.starts.empty());
    EXPECT_FALSE(toolkit.Window().closed);
    // Nothing that did not take is claimed: the record holds only the
    // opacity that the preparing step set.
    ASSERT_EQ(folder.files.size(), 1u);
    const std::optional<RecordFile> file = ReadRecordFile(folder.files.begin()->second);
    ASSERT_TRUE(file && file->windows.size() == 1);
    EXPECT_FALSE(file->windows[0].hid || file->windows[0].title);
    EXPECT_EQ(file->windows[0].setAlpha, 255);

    // Made in part (the layered style taken, the opacity refused): what
    // was made stays the program's to put back.
    ws.AddWindow(300, kTargetPid, "half").keepsAlpha = true;
    Box("Text2").SetText(L"300");
    Run([&] { bar.SetValue(20); });
    EXPECT_NE(ws.Find(300)->exStyle & api::kWsExLayered, 0);
    Run([&] { toolkit.Window().UserChooseMenuItem(); });
    EXPECT_EQ(ws.Find(300)->exStyle & api::kWsExLayered, 0);
}

// Each explanation once, word for word, by what was read of the levels.
TEST_F(HigherRightsTest, TheExplanationSaysWhatWasReadAndOffersTheRestartWhereItHelps) {
    constexpr wchar_t kHead[] = L"无法显示这个窗口。\r\n\r\n";
    constexpr wchar_t kWho[] = L"“taskmgr.exe”（进程 10）";
    constexpr wchar_t kOffer[] =
        L"\r\n\r\n要以管理员身份重新启动本程序吗？新启动的程序会带上窗口句柄 100。";
    struct Case {
        std::optional<std::uint32_t> ours, theirs;
        bool elevated;
        std::wstring says;
    };
    const Case cases[] = {
        {Rights::kMedium, Rights::kHigh, false,
         kWho +
             std::wstring(L"以管理员身份运行。Windows 不允许以普通权限运行的程序更改以管理员"
                          L"身份运行的程序的窗口；以管理员身份运行本程序就可以更改它。") +
             kOffer},
        // From a sandbox (low), and against a level between medium and high.
        {0x1000, Rights::kHigh, false,
         kWho +
             std::wstring(L"以管理员身份运行。Windows 不允许程序更改权限比它高的程序的窗口；"
                          L"以管理员身份运行本程序就可以更改它。") +
             kOffer},
        {0x1000, Rights::kMedium, false,
         kWho +
             std::wstring(L"的权限比本程序高。Windows 不允许程序更改权限比它高的程序的窗口；"
                          L"以管理员身份运行本程序就可以更改它。") +
             kOffer},
        {Rights::kMedium, 0x2100, false,
         kWho +
             std::wstring(L"的权限比本程序高。Windows 不允许程序更改权限比它高的程序的窗口；"
                          L"以管理员身份运行本程序就可以更改它。") +
             kOffer},
        {Rights::kMedium, Rights::kSystem, false,
         kWho + std::wstring(L"的权限比管理员还高（例如以系统身份运行）。Windows 不允许程序更改"
                             L"权限比它高的程序的窗口，以管理员身份运行本程序也不行。")},
        {Rights::kMedium, std::nullopt, false,
         L"本程序无法读取" + std::wstring(kWho) +
             L"的权限：它可能以管理员身份运行，也可能以系统身份运行或受到保护。Windows 不允许以普"
             L"通权限运行的程序更改以管理员身份运行的程序的窗口；以管理员身份运行本程序也许可以更"
             L"改它。" +
             kOffer},
        {Rights::kHigh, std::nullopt, true,
         L"本程序无法读取" + std::wstring(kWho) +
             L"的权限：它可能以管理员身份运行，也可能以系统身份运行或受到保护。本程序已以管理员身"
             L"份运行，Windows 仍不允许它更改这个窗口。"},
    };
    Target().refuses = true;
    for (const Case& c : cases) {
        rights.levels[FakeWindowSystem::kOwnPid] = c.ours;
        rights.levels[kTargetPid] = c.theirs;
        rights.elevated = c.elevated;
        const auto shown = Show();
        ASSERT_EQ(shown.size(), 1u) << ToAnsi(c.says);
        EXPECT_EQ(shown[0].prompt, kHead + c.says);
        EXPECT_EQ(shown[0].choices.has_value(), Has(c.says, kOffer)) << ToAnsi(c.says);
    }
    // An administrator window is at our level once we run as one.
    rights.levels[kTargetPid] = Rights::kHigh;
    EXPECT_TRUE(Show().empty());

    // A negative handle cannot be passed on: nothing is promised.
    rights.elevated = false;
    rights.levels[FakeWindowSystem::kOwnPid] = Rights::kMedium;
    ws.AddWindow(-5, kTargetPid, "negative").refuses = true;
    Box("Text2").SetText(L"-5");
    ws.Find(-5)->visible = false;
    toolkit.answers = {Answer::Yes};
    const auto shown = Run([&] { Click("Command8"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].prompt.ends_with(L"要以管理员身份重新启动本程序吗？"));
    EXPECT_EQ(rights.starts.back().first, L"");
}

TEST_F(HigherRightsTest, AskingToCloseAddsThatWindowsMayDropTheRequest) {
    rights.levels[kTargetPid] = Rights::kHigh;
    auto shown = Run([&] { Click("Command9"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].prompt.starts_with(
        L"成功\r\n\r\n请求已发出，但 Windows 可能丢弃它，窗口就不会关闭。\r\n\r\n“taskmgr.exe”"));
    EXPECT_EQ(ws.posted.size(), 1u);
    Target().refuses = true;
    shown = Run([&] { Click("Command9"); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].prompt.starts_with(L"失败\r\n\r\n“taskmgr.exe”"));
}

TEST_F(HigherRightsTest, YesStartsThisProgramAsAdministratorWithTheHandle) {
    rights.levels[kTargetPid] = Rights::kHigh;
    Target().refuses = true;
    // 否, and a prompt the user declines: nothing else happens.
    toolkit.answers = {Answer::No};
    EXPECT_EQ(Show().size(), 1u);
    EXPECT_TRUE(rights.starts.empty());
    rights.startResult = api::kErrorCancelled;
    toolkit.answers = {Answer::Yes};
    EXPECT_EQ(Show().size(), 1u);
    ASSERT_EQ(rights.starts.size(), 1u);
    EXPECT_EQ(rights.starts[0], std::make_pair(std::wstring(L"100"), FakeToolkit::kFormHwnd));
    EXPECT_FALSE(toolkit.Window().closed);
    // Another failure to start is reported.
    rights.startResult = 2;
    toolkit.answers = {Answer::Yes};
    auto shown = Show();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[1].prompt.starts_with(L"无法以管理员身份启动本程序\r\n"));
    EXPECT_FALSE(toolkit.Window().closed);
}

// On 是 the new copy takes every aspect of the record over at once, and
// this one closes with nothing left to ask about or delete; a hand-over
// that never comes leaves it open with its record.
TEST_F(HigherRightsTest, TheRestartHandsTheWholeRecordToTheNewCopy) {
    rights.levels[kTargetPid] = Rights::kHigh;
    Target().refuses = true;
    ws.processes.push_back({20, "editor.exe"});
    lifetimes.running = {{kTargetPid, 8}, {20, 9}};
    FakeWindow& doc = ws.AddWindow(200, 20, "doc");
    toolkit.Window().UserChooseMenuItem(1);  // the window list
    auto& rows = toolkit.Get<FakeListView>("lvwWindows");
    for (int row = 0; row < rows.RowCount(); ++row)
        if (rows.Cell(row, 2) == L"200") rows.UserClick(row);
    Click("cmdTopmost");
    Box("Text2").SetText(L"200");
    toolkit.Get<FakeScrollBar>("HScroll2").SetValue(1);
    Box("Text5").SetText(L"改名");
    Click("Command22");
    Click("Command4");
    Box("Text2").SetText(L"100");
    toolkit.messages.clear();
    const std::wstring own = L"4000-777.record", handed = L"C:\\Record\\4000-777.handed";
    const RecordedWindow recorded = ReadRecordFile(folder.files.at(own))->windows.at(0);
    EXPECT_TRUE(recorded.hid && recorded.title && recorded.layering && recorded.topmost);

    // The prompt declined, a record that cannot be written, a new copy
    // that never takes it: this copy stays open with its record, and no
    // hand-over file is left.
    const std::vector<std::pair<bool, std::uint32_t>> failures{
        {false, api::kErrorCancelled}, {true, 0}, {false, 0}};
    for (const auto& [unwritable, result] : failures) {
        folder.unwritable = unwritable;
        rights.startResult = result;
        toolkit.answers = {Answer::Yes};
        const auto shown = Show();
        ASSERT_EQ(shown.size(), result == 0 ? 2u : 1u);
        if (result == 0) {
            EXPECT_TRUE(
                shown[1].prompt.starts_with(L"以管理员身份启动的新副本没有接管本程序的改动记录"));
        }
        EXPECT_FALSE(toolkit.Window().closed);
        EXPECT_EQ(folder.files.count(L"4000-777.handed"), 0u);
        EXPECT_FALSE(ReadRecordFile(folder.files.at(own))->left);
    }
    folder.unwritable = false;

    FakeProcessRights elevated;
    std::unique_ptr<FakeToolkit> next;
    FakeLifetimes nextLifetimes;
    nextLifetimes.self = {4001, 888};
    nextLifetimes.running = {{kTargetPid, 8}, {20, 9}, {4000, 777}};
    std::unique_ptr<Form1> copy;
    rights.started = [&](const std::wstring& parameters) {
        EXPECT_EQ(parameters, L"100 --record " + handed);
        copy.reset();
        next = std::make_unique<FakeToolkit>();
        copy = std::make_unique<Form1>(*next, *next, ws, wmi, elevated, folder, nextLifetimes);
        copy->Form_Load(*ReadRestartArguments({L"100", L"--record", handed}));
        next->Window().DeliverNotifications();
    };
    // A copy not started as administrator reads no hand-over.
    toolkit.answers = {Answer::Yes};
    EXPECT_EQ(Show().size(), 2u);
    EXPECT_FALSE(toolkit.Window().closed);
    EXPECT_EQ(folder.files.size(), 1u);
    elevated.elevated = true;
    toolkit.answers = {Answer::Yes};
    EXPECT_EQ(Show().size(), 1u);  // the offer; no closing question
    EXPECT_TRUE(toolkit.Window().closed);
    EXPECT_TRUE(next->messages.empty());  // taken without asking
    EXPECT_EQ(next->Get<FakeTextBox>("Text2").Text(), L"100");
    ASSERT_EQ(folder.files.size(), 1u);  // the new copy's own file only
    const auto taken = ReadRecordFile(folder.files.at(L"4001-888.record"));
    ASSERT_TRUE(taken && taken->windows.size() == 1);
    EXPECT_EQ(taken->windows[0], recorded);

    next->Window().UserChooseMenuItem();
    ASSERT_EQ(next->messages.size(), 1u);
    EXPECT_EQ(next->messages[0].prompt, L"已恢复 1 个窗口");
    EXPECT_TRUE(doc.visible);
    EXPECT_EQ(doc.title, L"doc");
    EXPECT_EQ(doc.exStyle, 0);
}

// Putting back many windows lists what each did and offers the restart
// once, with the first window refused where running as administrator helps.
TEST_F(HigherRightsTest, APutBackRefusedByHigherProgramsOffersTheRestartOnce) {
    ws.processes.push_back({20, "system.exe"});
    ws.processes.push_back({30, "setup.exe"});
    ws.AddWindow(200, 20, "System");
    ws.AddWindow(300, 30, "Setup");
    for (const Hwnd w : {kTarget, 200, 300}) {
        Box("Text2").SetText(std::to_wstring(w));
        Click("Command4");
        ws.Find(w)->refuses = true;
    }
    rights.levels[20] = Rights::kSystem;
    rights.levels[kTargetPid] = rights.levels[30] = Rights::kHigh;
    const auto shown = Run([&] { toolkit.Window().UserChooseMenuItem(); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].prompt,
              L"已恢复 0 个窗口\r\n\r\n未能恢复的窗口："
              L"\r\ntaskmgr.exe  “Task Manager”  100：窗口没有接受更改：它的程序以管理员身份运行"
              L"\r\nsystem.exe  “System”  200：窗口没有接受更改：它的程序的权限比管理员还高"
              L"\r\nsetup.exe  “Setup”  300：窗口没有接受更改：它的程序以管理员身份运行"
              L"\r\n\r\n要以管理员身份重新启动本程序吗？新启动的程序会带上窗口句柄 100。");
    EXPECT_EQ(shown[0].choices, Interaction::Choices::YesNo);
    EXPECT_TRUE(toolkit.Window().MenuItemShownEnabled());  // kept
}

TEST_F(HigherRightsTest, BlinkingLeavesAHigherWindowAloneAndLooksAgainWhenTheHandleChanges) {
    auto& timer = toolkit.Get<FakeTimer>("Timer1");
    toolkit.Get<FakeCheckBox>("Check1").UserClick();
    for (const auto level : {std::optional<std::uint32_t>(), std::optional(Rights::kHigh)}) {
        rights.levels[kTargetPid] = level;
        Box("Text2").SetText(L"0");
        Box("Text2").SetText(L"100");
        timer.Fire();
    }
    // Nothing was blinked, so nothing was put back either.
    EXPECT_EQ(ws.calls["FlashWindow"], 0);
    EXPECT_TRUE(toolkit.messages.empty());
    // Learnt again once Text2 changes, not at every tick.
    rights.levels[kTargetPid] = Rights::kMedium;
    timer.Fire();
    EXPECT_EQ(ws.calls["FlashWindow"], 0);
    Box("Text2").SetText(L"100 ");
    timer.Fire();
    EXPECT_EQ(Target().flashes, 1);
}

}  // namespace
}  // namespace vindrel::testing
