// The boss key on real windows under Wine: the key (sent with SendInput, as
// the keyboard would) hides every window of the chosen program and no other,
// not even a program of the same file name in another folder; a window the
// program shows meanwhile is hidden too; the next press brings them back.
// Wine neither reads nor sets another process's placement and has no
// foreground lock: those are shown over the fakes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "actions/boss_settings.h"
#include "driver.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "ui/layout.h"

namespace vindrel::e2e {
namespace {

constexpr HotKey kKey{kModControl | kModAlt, 'B'};

// Ctrl+Alt+B, as the keyboard would send it.
void PressBossKey(int downs = 1) {
    PressCtrlAlt('B', downs);
}

// A copy of the target program in a folder of its own.
std::wstring TargetCopy() {
    const std::wstring exe = NewFolder() + L"\\target_window.exe";
    if (!CopyFileW(SiblingPath(L"target_window.exe").c_str(), exe.c_str(), TRUE)) {
        throw std::runtime_error("cannot copy the target");
    }
    return exe;
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// A local application data folder whose boss key hides `chosen`.
std::wstring AppDataChoosing(const std::wstring& chosen) {
    const std::wstring appData = NewFolder();
    CreateDirectoryW((appData + L"\\Vindrel").c_str(), nullptr);
    std::ofstream(std::filesystem::path(appData + L"\\Vindrel\\bosskey.settings"), std::ios::binary)
        << WriteSettingsFile({kKey, {chosen}});
    return appData;
}

// A control of the dialog "老板键", by its design name.
HWND DialogControl(HWND dialog, std::string_view name) {
    for (const LayoutRow& row : layout::kBossKeyControls) {
        if (row.name == name) return GetDlgItem(dialog, ControlId(row));
    }
    return nullptr;
}

TEST(BossKey, ThePressHidesTheChosenProgramAndTheNextBringsItBack) {
    const std::wstring chosen = TargetCopy();
    const Target chat(L"聊天", Target::Mode::Plain, nullptr, chosen);
    const Target dialog(L"聊天的对话框", Target::Mode::Plain, nullptr, chosen);
    const Target namesake(L"同名的另一个程序", Target::Mode::Plain, nullptr, TargetCopy());
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", AppDataChoosing(chosen));

    PressBossKey();
    EXPECT_TRUE(WaitFor([&] { return !Visible(chat.Window()) && !Visible(dialog.Window()); }));
    EXPECT_TRUE(Visible(namesake.Window()));
    EXPECT_TRUE(Visible(app.Main()));
    // Shown by its program while hidden: hidden within a second.
    PostMessageW(chat.Window(), Target::kNewWindowMessage, 0, 0);
    HWND shown = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        shown = FindWindowW(L"VindrelTestTarget", L"后来的窗口");
        return shown != nullptr;
    }));
    EXPECT_TRUE(WaitFor([&] { return !Visible(shown); }, 1000ms));

    // The key held (two key-downs, one key-up) is one press.
    PressBossKey(2);
    EXPECT_TRUE(WaitFor([&] { return Visible(chat.Window()) && Visible(shown); }));
    Sleep(300);
    EXPECT_TRUE(Visible(chat.Window()));
    EXPECT_TRUE(Visible(dialog.Window()));
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

TEST(BossKey, AKeyAnotherProgramHoldsIsSaidAndTheOldKeyStillWorks) {
    const std::wstring chosen = TargetCopy();
    const Target chat(L"聊天", Target::Mode::Plain, nullptr, chosen);
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", AppDataChoosing(chosen));
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F11));  // "another program"
    PostMessageW(app.Main(), WM_SYSCOMMAND, win32::Win32Form::kMenuItemCommand + 0x20, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        dialog = FindWindowW(win32::kOwnedFormClass, L"老板键");
        return dialog != nullptr && Visible(dialog);
    }));
    SendMessageW(DialogControl(dialog, "hkyKey"), HKM_SETHOTKEY,
                 MAKEWORD(VK_F11, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    SendMessageW(DialogControl(dialog, "cmdOK"), BM_CLICK, 0, 0);
    EXPECT_EQ(WindowText(DialogControl(dialog, "lblState")),
              L"未生效：该热键已被占用（其他程序，或本程序的另一个副本）");
    EXPECT_TRUE(Visible(dialog));
    SendMessageW(DialogControl(dialog, "cmdCancel"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !Visible(dialog); }));
    UnregisterHotKey(nullptr, 1);

    PressBossKey();
    EXPECT_TRUE(WaitFor([&] { return !Visible(chat.Window()); }));
    Sleep(100);
    PressBossKey();
    EXPECT_TRUE(WaitFor([&] { return Visible(chat.Window()); }));
}

TEST(BossKey, WhatItHidBeforeTheProgramWasKilledIsOfferedBackAtTheNextStart) {
    const std::wstring chosen = TargetCopy();
    const Target chat(L"聊天", Target::Mode::Plain, nullptr, chosen);
    const std::wstring appData = AppDataChoosing(chosen);
    {
        const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", appData);
        PressBossKey();
        ASSERT_TRUE(WaitFor([&] { return !Visible(chat.Window()); }));
        TerminateProcess(app.Program().Handle(), 1);
        WaitForSingleObject(app.Program().Handle(), 5000);
    }
    const Vindrel again(SiblingPath(L"Vindrel.exe"), L"", appData);
    const MessageBoxSeen question = WaitForMessageBox(again.Program().Id());
    EXPECT_EQ(question.text.rfind(L"上次运行时本程序改动的 1 个窗口仍未恢复：", 0), 0u)
        << std::string(question.text.begin(), question.text.end());
    EXPECT_TRUE(CloseMessageBox(question, IDYES));
    EXPECT_TRUE(WaitFor([&] { return Visible(chat.Window()); }));
}

}  // namespace
}  // namespace vindrel::e2e
