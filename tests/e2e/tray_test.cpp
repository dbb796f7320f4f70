// With a boss key set the program stays in reach: its icon in the
// notification area (Wine's virtual desktop has one; an icon exists when
// NIM_MODIFY on it succeeds), the icon back after the shell starts again
// (Wine's never does: the test deletes the icon and broadcasts
// TaskbarCreated), closing the window keeps it running, a second start
// shows it, and "退出" in the icon's menu asks first about what is hidden.
// Balloons, the foreground rules and an elevated copy's message filter
// cannot be seen here.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "actions/boss_settings.h"
#include "driver.h"
#include "platform/win32/controls_win32.h"

namespace vindrel::e2e {
namespace {

std::wstring AppDataWithAKey() {
    const std::wstring appData = NewFolder();
    CreateDirectoryW((appData + L"\\Vindrel").c_str(), nullptr);
    std::ofstream(std::filesystem::path(appData + L"\\Vindrel\\bosskey.settings"), std::ios::binary)
        << WriteSettingsFile({HotKey{kModControl | kModAlt, 'B'}, {L"C:\\nowhere\\chat.exe"}});
    return appData;
}

NOTIFYICONDATAW Icon(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = 1;
    return data;
}

bool IconExists(HWND owner) {
    NOTIFYICONDATAW data = Icon(owner);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST(Tray, WithABossKeyTheIconKeepsTheProgramInReach) {
    const std::wstring appData = AppDataWithAKey();
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", appData);
    EXPECT_TRUE(WaitFor([&] { return IconExists(app.Main()); }));

    // Closed by the user: hidden, running, its icon there.
    PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(app.Main()); }));
    EXPECT_FALSE(app.Program().WaitForExit(500ms));
    EXPECT_TRUE(IconExists(app.Main()));

    // The shell started again without it: added again.
    NOTIFYICONDATAW data = Icon(app.Main());
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 2000, &ignored);
    EXPECT_TRUE(WaitFor([&] { return IconExists(app.Main()); }));

    // Started again: the running copy shows its window, the new one ends.
    const Process second(L"\"" + SiblingPath(L"Vindrel.exe") + L"\"", false);
    EXPECT_EQ(second.WaitForExit(10000ms), 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(app.Main()) != FALSE; }));

    // Another program's close (as the restart as administrator closes it)
    // ends it, icon and all.
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Program().WaitForExit(5000ms));
    EXPECT_FALSE(IconExists(app.Main()));
}

TEST(Tray, ExitInTheIconsMenuAsksFirstAboutAWindowLeftHidden) {
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", AppDataWithAKey());
    const Target target(L"退出前隐藏的窗口");
    app.SetText("Text2", HandleText(target.Window()));
    app.PostClick("Command4");
    ASSERT_TRUE(CloseMessageBox(WaitForMessageBox(app.Program().Id())));
    ASSERT_FALSE(IsWindowVisible(target.Window()));
    ASSERT_TRUE(WaitFor([&] { return IconExists(app.Main()); }));

    // The icon's menu, as a right-click on it gives it; its last item.
    PostMessageW(app.Main(), win32::Win32Form::kTrayMessage, 0, MAKELPARAM(WM_CONTEXTMENU, 1));
    ASSERT_TRUE(WaitFor([] { return FindWindowW(L"#32768", nullptr) != nullptr; }));
    for (const WORD key : {WORD(VK_UP), WORD(VK_RETURN)}) {
        INPUT press[2]{};
        press[0].type = press[1].type = INPUT_KEYBOARD;
        press[0].ki.wVk = press[1].ki.wVk = key;
        press[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, press, sizeof(INPUT));
        Sleep(100);
    }
    const MessageBoxSeen question = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(question.text.rfind(L"有 1 个被本程序隐藏的窗口仍看不见：", 0), 0u) << question.text;
    EXPECT_TRUE(CloseMessageBox(question, IDYES));
    EXPECT_TRUE(app.Program().WaitForExit(5000ms));
    EXPECT_TRUE(IsWindowVisible(target.Window()));
}

}  // namespace
}  // namespace vindrel::e2e
