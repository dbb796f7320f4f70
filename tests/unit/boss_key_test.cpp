// The boss key's set, and one press to hide it and the next to show it as
// it was, over the fake window system (Wine neither reads nor sets another
// program's placement, nor hands the foreground as Windows does).
#include <gtest/gtest.h>

#include <utility>

#include "actions/boss_key.h"
#include "actions/boss_settings.h"
#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_window_system.h"

namespace vindrel::testing {
namespace {

constexpr wchar_t kChosen[] = L"D:\\Chat\\chat.exe";

class BossKeyTest : public ::testing::Test {
protected:
    BossKeyTest() {
        // Two programs of one file name in two folders; a store app's frame.
        ws.processes = {{10, "chat.exe", {}, kChosen},
                        {11, "chat.exe", {}, L"D:\\Old\\chat.exe"},
                        {12, "editor.exe"},
                        {13, "ApplicationFrameHost.exe"}};
        lifetimes.running = {{10, 100}, {11, 110}, {12, 120}, {13, 130}};
        Add(1, 12, "editor");  // the top window, outside the set
        Add(2, 10, "chat").maximised = true;
        Add(3, 10, "chat dialog").owner = 2;
        Add(4, 10, "chat palette").exStyle = api::kWsExToolWindow;
        Add(5, 10, "chat minimised").iconic = true;
        Add(6, 11, "old chat");
        Add(7, 10, "chat helper").visible = false;  // never shown: not the set's
        Add(8, FakeWindowSystem::kOwnPid, "ours");
        Add(9, 13, "frame").className = L"ApplicationFrameWindow";
        boss.SetPrograms({L"d:\\chat\\CHAT.EXE"});
        record.Changed = [this] { ++writes; };
    }
    FakeWindow& Add(Hwnd window, Pid pid, const char* title) {
        FakeWindow& w = ws.AddWindow(window, pid, title);
        w.rect = {100, 100, 500, 400};
        return w;
    }
    std::vector<Hwnd> Visible() {
        std::vector<Hwnd> shown;
        ws.EnumWindows([&](Hwnd w) {
            if (ws.Find(w)->visible) shown.push_back(w);
            return true;
        });
        return shown;
    }

    FakeWindowSystem ws;
    FakeProcessRights rights;
    FakeLifetimes lifetimes;
    Standings standings{ws, rights};
    ChangeRecord record{ws, lifetimes};
    ChangePath path{ws, standings, record};
    BossKey boss{ws, path, record, lifetimes};
    int writes = 0;
};

TEST_F(BossKeyTest, OnePressHidesEveryWindowOfTheProgramsChosenAndTheNextShowsThemAsTheyWere) {
    // The frame holds a window of the chosen program.
    ws.AddWindow(20, 10).className = L"Windows.UI.Core.CoreWindow";
    ws.windows.back().parent = 9;
    EXPECT_EQ(boss.Windows(), (std::vector<Hwnd>{2, 3, 4, 5, 9}));
    ws.foreground = 3;

    EXPECT_EQ(boss.Toggle().changed, 5);
    EXPECT_EQ(writes, 1);  // every window recorded in one write, before any hid
    EXPECT_EQ(Visible(), (std::vector<Hwnd>{1, 6, 8}));
    EXPECT_EQ(ws.foreground, 1);  // handed out of the set first
    EXPECT_TRUE(boss.Hidden());

    // Meanwhile: the program opens a window (it joins the set), one
    // window's normal position changes, and a hidden handle goes to a
    // window of another class.
    Add(30, 10, "new dialog");
    EXPECT_EQ(boss.Sweep().changed, 1);
    EXPECT_FALSE(ws.Find(30)->visible);
    ws.Find(2)->normal = ScreenRect{0, 0, 10, 10};
    ws.Find(4)->className = L"Reused";
    const int placements = ws.calls["SetWindowPlacement"];

    EXPECT_EQ(boss.Toggle().changed, 5);
    EXPECT_FALSE(boss.Hidden());
    EXPECT_FALSE(ws.Find(4)->visible);  // never touched
    // Maximised and minimised as before, the dialog with its owner, in the
    // Z order they had; the placement set again only where it differed.
    EXPECT_TRUE(ws.Find(2)->maximised && ws.Find(2)->visible);
    EXPECT_TRUE(ws.Find(5)->iconic && ws.Find(5)->visible);
    EXPECT_EQ(ws.calls["SetWindowPlacement"], placements + 1);
    EXPECT_EQ(ws.Find(2)->normal, (ScreenRect{100, 100, 500, 400}));
    std::vector<Hwnd> order = Visible();
    std::erase_if(order, [](Hwnd w) { return w == 1 || w == 6 || w == 8; });
    EXPECT_EQ(order, (std::vector<Hwnd>{2, 3, 5, 9, 30}));
    EXPECT_EQ(ws.foreground, 3);
}

TEST_F(BossKeyTest, AWindowThatRefusesStaysAsItIsAndClaimsNothing) {
    ws.Find(3)->refuses = true;
    Add(40, 10, "taskbar").className = L"Shell_TrayWnd";  // the shell's own: never hidden
    const BossResult hidden = boss.Hide();
    EXPECT_EQ(hidden.changed, 3);
    ASSERT_EQ(hidden.failed.size(), 1u);
    EXPECT_EQ(hidden.failed[0].named.window, 3);
    EXPECT_TRUE(ws.Find(40)->visible);
    EXPECT_EQ(record.BossHidden().size(), 3u);
    // One that will not come back stays recorded, and the sweep does not
    // hide again the windows that did; the next press shows what is left.
    ws.Find(5)->refuses = true;
    EXPECT_EQ(boss.Show().changed, 2);
    EXPECT_EQ(boss.Sweep().changed, 0);
    EXPECT_TRUE(ws.Find(2)->visible);
    ws.Find(5)->refuses = false;
    EXPECT_EQ(boss.Toggle().changed, 1);
    EXPECT_TRUE(record.Empty());
}

TEST_F(BossKeyTest, ASessionEndingInTheMiddleOfAHideLeavesNoWindowHidden) {
    // The session's question arrives while window 4's hide waits.
    ws.whileShowing = [this](Hwnd window) {
        if (window != 4 || std::exchange(ws.whileShowing, nullptr) == nullptr) return;
        boss.Hold(true);
        boss.Show();
    };
    boss.Hide();
    for (const Hwnd window : {2, 3, 4, 5, 9})
        EXPECT_TRUE(ws.Find(window)->visible) << window;
    EXPECT_TRUE(record.BossHidden().empty());
}

// The hotkey control's modifier bits are not RegisterHotKey's, and it has
// an extended-key bit RegisterHotKey lacks.
TEST(BossKeyKeys, TheControlsValueBecomesRegisterHotKeysAndReadsAsTheUserTypedIt) {
    struct Case {
        std::uint16_t control;
        bool win;
        HotKey key;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0x0642, false, {kModControl | kModAlt, 'B'}, L"Ctrl+Alt+B"},
        {0x0171, true, {kModWin | kModShift, 0x71}, L"Win+Shift+F2"},
        {0x0E2E, false, {kModControl | kModAlt, 0x2E}, L"Ctrl+Alt+键 46"},  // Del, extended
        {0x0035, false, {0, '5'}, L"5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FromHotKeyControl(c.control, c.win), c.key) << c.control;
        EXPECT_EQ(KeyText(c.key), c.text);
        EXPECT_EQ(ToHotKeyControl(c.key), c.control & 0x07FF) << c.control;
    }
}

TEST(BossKeyKeys, TheSettingsFileComesBackWholeAndNothingElseIsRead) {
    const BossSettings settings{HotKey{kModControl | kModAlt, 'B'},
                                {L"C:\\Program Files\\聊天\\chat.exe", L"D:\\a\tb.exe"}};
    const std::string good = WriteSettingsFile(settings);
    EXPECT_EQ(ReadSettingsFile(good), settings);
    EXPECT_EQ(ReadSettingsFile(WriteSettingsFile({})), BossSettings{});
    const auto replaced = [&](std::string_view what, std::string_view with) {
        std::string bytes = good;
        return bytes.replace(bytes.find(what), what.size(), with);
    };
    for (const std::string& bad :
         {good.substr(0, good.size() - 4), replaced("version 1", "version 2"),
          replaced("key\t3\t66", "key\t16\t66"), replaced("key\t3\t66", "key\t3\t0"),
          replaced("key\t3\t66", "key\t03\t66"), replaced("end\n", "end\nprogram\tx\n"),
          replaced("\\t", "\t")}) {
        EXPECT_FALSE(ReadSettingsFile(bad)) << bad;
    }
}

}  // namespace
}  // namespace vindrel::testing
