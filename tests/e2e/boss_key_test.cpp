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

namespace vindrel::e2e {
namespace {

constexpr HotKey kKey{kModControl | kModAlt, 'B'};

// Ctrl+Alt+B in one call, the key pressed `downs` times before its release
// (a held key repeats).
void PressBossKey(int downs = 1) {
    const auto key = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        return input;
    };
    std::vector<INPUT> inputs{key(VK_CONTROL, false), key(VK_MENU, false)};
    for (int i = 0; i < downs; ++i)
        inputs.push_back(key('B', false));
    for (const WORD vk : {WORD('B'), WORD(VK_MENU), WORD(VK_CONTROL)})
        inputs.push_back(key(vk, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
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

TEST(BossKey, ThePressHidesTheChosenProgramAndTheNextBringsItBack) {
    const std::wstring chosen = TargetCopy();
    const Target chat(L"聊天", Target::Mode::Plain, nullptr, chosen);
    const Target dialog(L"聊天的对话框", Target::Mode::Plain, nullptr, chosen);
    const Target namesake(L"同名的另一个程序", Target::Mode::Plain, nullptr, TargetCopy());
    const std::wstring appData = NewFolder();
    CreateDirectoryW((appData + L"\\Vindrel").c_str(), nullptr);
    std::ofstream(std::filesystem::path(appData + L"\\Vindrel\\bosskey.settings"), std::ios::binary)
        << WriteSettingsFile({kKey, {chosen}});
    const Vindrel app(SiblingPath(L"Vindrel.exe"), L"", appData);

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

}  // namespace
}  // namespace vindrel::e2e
