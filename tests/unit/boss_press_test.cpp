// The boss key through the main window: the key taken from its settings at
// start-up, a press hiding and showing the chosen program's windows, the
// sweep while they are hidden, and what refused told only once the user
// comes back to the main window, never in the middle of a press.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "actions/boss_settings.h"
#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "fakes/sending_completions.h"
#include "platform/text.h"
#include "ui/form1.h"

namespace vindrel::testing {
namespace {

constexpr HotKey kKey{kModControl | kModAlt, 'B'};
constexpr wchar_t kChat[] = L"D:\\Chat\\chat.exe";

class BossPressTest : public ::testing::Test {
protected:
    BossPressTest() {
        ws.processes = {{10, "chat.exe", {}, kChat}, {11, "chat.exe", {}, kChat}};
        lifetimes.running = {{10, 100}, {11, 110}};
        rights.levels[11] = FakeProcessRights::kHigh;
        ws.AddWindow(2, 10, "chat").rect = {100, 100, 500, 400};
        ws.AddWindow(3, 11, "chat as administrator").refuses = true;
        folder.files[std::wstring(kSettingsFile)] = WriteSettingsFile({kKey, {kChat}});
    }
    void Create() {
        form = std::make_unique<Form1>(toolkit, toolkit, ws, wmi, rights, folder, lifetimes);
    }
    void Start() {
        Create();
        form->Form_Load();
    }
    FakeForm& Window() { return toolkit.Window(); }
    FakeTimer& Sweep() { return toolkit.Get<FakeTimer>("tmrBoss"); }
    void Click(std::string_view button) { toolkit.Get<FakeButton>(button).UserClick(); }

    FakeToolkit toolkit;
    FakeWindowSystem ws;
    FakeProcessRights rights;
    WmiListing wmi{ws, kListingDeadline, std::make_shared<SendingCompletions>()};
    FakeRecordFolder folder;
    FakeLifetimes lifetimes;
    std::unique_ptr<Form1> form;
};

TEST_F(BossPressTest, APressHidesTheSetAndSaysWhatRefusedOnlyWhenTheUserComesBack) {
    Start();
    EXPECT_EQ(Window().hotKey, kKey);

    Window().UserPressHotKey();
    EXPECT_FALSE(ws.Find(2)->visible);
    EXPECT_TRUE(toolkit.messages.empty());  // nothing pops up over what the user hid it for
    // Shown by its program while hidden: hidden again by the next sweep.
    ws.AddWindow(4, 10, "new chat dialog").rect = {100, 100, 300, 200};
    Window().OtherWindowShown();
    EXPECT_FALSE(ws.Find(4)->visible);

    // A press while that report's box is open runs at once, inside it.
    bool shownInBox = false;
    toolkit.onMessage = [&](const ShownMessage&) {
        Window().UserPressHotKey();
        shownInBox = ws.Find(2)->visible;
    };
    Window().UserActivate();
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_TRUE(toolkit.messages[0].prompt.starts_with(L"老板键没能隐藏或恢复 1 个窗口"));
    EXPECT_NE(toolkit.messages[0].prompt.find(L"chat as administrator"), std::wstring::npos);
    EXPECT_TRUE(shownInBox);
    EXPECT_TRUE(ws.Find(4)->visible);
    EXPECT_FALSE(Sweep().Enabled());
    EXPECT_FALSE(Window().watchingShows);
    toolkit.onMessage = nullptr;
    Window().UserActivate();  // told once
    EXPECT_EQ(toolkit.messages.size(), 1u);
}

TEST_F(BossPressTest, AKeyThatCannotBeHadIsSaidAtStartUpAndNoneIsHeld) {
    Create();
    Window().taken = {kKey};  // by another program
    form->Form_Load();
    EXPECT_FALSE(Window().hotKey);
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_EQ(toolkit.messages[0].prompt,
              L"老板键 Ctrl+Alt+B 未生效：该热键已被占用（其他程序，或本程序的另一个副本）");
}

TEST_F(BossPressTest, AnUnreadableSettingsFileIsSetAsideAndSaidOnce) {
    folder.files[std::wstring(kSettingsFile)] = "Vindrel settings, version 1\nkey 6 66\n";
    Start();
    EXPECT_FALSE(Window().hotKey);
    EXPECT_EQ(folder.files.count(L"bosskey.settings"), 0u);
    EXPECT_EQ(folder.files.count(L"bosskey.settings.bad"), 1u);
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_TRUE(
        toolkit.messages[0].prompt.starts_with(L"老板键的设置文件无法读取，本次启动没有老板键。"));
}

TEST_F(BossPressTest, TheDialogTakesANewKeyOnlyWhenItCanBeHadAndKeepsWhatWasChosen) {
    constexpr HotKey kOther{kModWin | kModShift, 0x7B};  // Win+Shift+F12
    constexpr wchar_t kEditor[] = L"C:\\Edit\\editor.exe", kGone[] = L"D:\\Old\\old.exe";
    ws.processes.push_back({12, "editor.exe", {}, kEditor});
    ws.AddWindow(5, 12, "editor").rect = {100, 100, 500, 400};
    folder.files[std::wstring(kSettingsFile)] = WriteSettingsFile({kKey, {kChat, kGone}});
    Start();
    Window().UserChooseMenuItem(2);
    FakeForm& dialog = toolkit.Window("BossKey");
    EXPECT_TRUE(dialog.Visible());
    EXPECT_FALSE(Window().hotKey);  // let go, so that pressing it records it
    auto& programs = toolkit.Get<FakeListView>("lvwPrograms");
    ASSERT_EQ(programs.RowCount(), 2);
    EXPECT_EQ(programs.Cell(0, 2), L"");
    EXPECT_EQ(programs.Cell(1, 2), L"未运行");
    auto& running = toolkit.Get<FakeComboBox>("cboRunning");
    const auto editor = std::find(running.rows.begin(), running.rows.end(),
                                  std::wstring(L"editor.exe  ") + kEditor);
    ASSERT_NE(editor, running.rows.end());
    running.SetListIndex(static_cast<int>(editor - running.rows.begin()));
    Click("cmdAdd");
    EXPECT_EQ(programs.RowCount(), 3);

    // A key another program holds: the dialog stays and says why; the old
    // key is held again only once it closes, so that it can still be typed.
    Window().taken = {kOther};
    toolkit.Get<FakeHotKeyBox>("hkyKey").SetValue(ToHotKeyControl(kOther));
    toolkit.Get<FakeCheckBox>("chkWin").SetValue(1);
    Click("cmdOK");
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(toolkit.Get<FakeLabel>("lblState").Caption(),
              L"未生效：该热键已被占用（其他程序，或本程序的另一个副本）");
    EXPECT_FALSE(Window().hotKey);

    Window().taken.clear();
    Click("cmdOK");
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(Window().hotKey, kOther);
    EXPECT_EQ(ReadSettingsFile(folder.files[std::wstring(kSettingsFile)]),
              (BossSettings{kOther, {kChat, kGone, kEditor}}));
}

TEST_F(BossPressTest, AtTheSessionsEndTheSetIsShownAtOnceAndHiddenAgainIfItIsCalledOff) {
    Start();
    Window().UserPressHotKey();
    ASSERT_FALSE(ws.Find(2)->visible);
    // Asked while a box is open: answered there and then, with no question.
    bool shownInBox = false;
    toolkit.onMessage = [&](const ShownMessage&) {
        Window().SessionEnds(true);
        shownInBox = ws.Find(2)->visible;
    };
    Window().UserActivate();
    EXPECT_TRUE(shownInBox);
    EXPECT_EQ(toolkit.messages.size(), 1u);
    EXPECT_FALSE(ws.Find(2)->visible);  // called off: hidden again
    EXPECT_TRUE(Sweep().Enabled());
}

// The command line's bosskey, handed to this copy: run without a box, its
// answer sent back; not run once the command's process gave up waiting.
TEST_F(BossPressTest, AHandedCommandRunsWithoutABoxUnlessItsProcessGaveUp) {
    Start();
    FakeForm::Handed late;
    late.arguments = {L"bosskey", L"hide"};
    late.gaveUp = true;
    Window().HandCommand(late);
    EXPECT_TRUE(ws.Find(2)->visible);
    EXPECT_FALSE(late.answer);

    FakeForm::Handed handed;
    handed.arguments = {L"bosskey", L"toggle"};
    Window().HandCommand(handed);
    EXPECT_FALSE(ws.Find(2)->visible);
    ASSERT_TRUE(handed.answer);
    EXPECT_EQ(handed.answer->first, kExitNotAll);  // the administrator's window refused
    EXPECT_EQ(handed.answer->second.front(), L"已隐藏 1 个窗口");
    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_TRUE(Sweep().Enabled());  // and kept hidden as a press keeps it
}

// With a key set the program stays in the notification area: the icon is
// tried until a shell holds it; closing hides the window; what the key
// could not do is a balloon and a line of the icon's menu, told in full
// once the window is opened from there.
TEST_F(BossPressTest, TheIconWaitsForAShellAndWhatRefusedWaitsForTheWindow) {
    Create();
    Window().trayArea = false;
    form->Form_Load();
    FakeTimer& retry = toolkit.Get<FakeTimer>("tmrTray");
    EXPECT_FALSE(Window().trayTip);
    ASSERT_TRUE(retry.Enabled());
    Window().trayArea = true;
    retry.Fire();
    EXPECT_EQ(Window().trayTip, L"老板键 Ctrl+Alt+B");
    EXPECT_FALSE(retry.Enabled());

    Window().UserClose();
    EXPECT_FALSE(Window().Visible());
    EXPECT_FALSE(Window().closed);
    EXPECT_EQ(Window().balloons.size(), 1u);
    folder.unwritable = true;  // its notice waits too
    Window().UserPressHotKey();
    EXPECT_EQ(Window().balloons.size(), 2u);  // the administrator's window refused
    EXPECT_EQ(Window().trayTip,
              L"老板键 Ctrl+Alt+B：已隐藏 1 个窗口\n有提示等待查看：单击图标打开主窗口");
    Window().UserChooseInTray(L"隐藏");  // not chosen: the set is hidden, the item says 显示
    ASSERT_EQ(Window().trayMenu.size(), 5u);
    EXPECT_EQ(Window().trayMenu[1].caption, L"显示");
    EXPECT_FALSE(Window().trayMenu[3].enabled);  // the window that refused
    EXPECT_TRUE(toolkit.messages.empty());

    Window().UserClickTray();
    EXPECT_TRUE(Window().Visible());
    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_TRUE(toolkit.messages[0].prompt.starts_with(L"改动记录"))
        << ToAnsi(toolkit.messages[0].prompt);
    EXPECT_TRUE(toolkit.messages[1].prompt.starts_with(L"老板键没能隐藏或恢复 1 个窗口"));

    // With no icon to come back by, the close box closes; so does any
    // close but the user's (a restart as administrator, another program).
    Window().trayArea = false;
    Window().ShellStarts();
    toolkit.answers = {Interaction::Answer::Yes};  // the set put back first
    Window().UserClose();
    EXPECT_TRUE(Window().closed);
    EXPECT_TRUE(ws.Find(2)->visible);
}

}  // namespace
}  // namespace vindrel::testing
