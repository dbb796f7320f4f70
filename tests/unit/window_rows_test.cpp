// The window list's rows: the state words, the off-screen rule, the
// default filter and the search.
#include <gtest/gtest.h>

#include "table/window_rows.h"

namespace vindrel::testing {
namespace {

TEST(WindowRows, StateWordsComeInTheirOrder) {
    const std::vector<std::pair<WindowFacts, std::wstring>> cases = {
        {{.visible = true}, L"可见"},
        {{.cloaked = false}, L"隐藏"},
        {{.visible = true, .minimised = true}, L"可见，最小化"},
        {{.visible = true, .maximised = true, .cloaked = true}, L"可见，最大化，被遮蔽"},
        {{.offScreen = true, .alpha = 25, .topmost = true, .hung = true, .changed = true},
         L"隐藏，屏幕外，不透明度 10%，置顶，无响应，已被本程序改动"},
        {{.alpha = 255}, L"隐藏"},
        {{.alpha = 0}, L"隐藏，不透明度 0%"},
        {{.alpha = 128}, L"隐藏，不透明度 50%"},
        {{.alpha = 254}, L"隐藏，不透明度 100%"},
    };
    for (const auto& [facts, words] : cases)
        EXPECT_EQ(StateWords(facts), words);
}

TEST(WindowRows, OffScreenIsSharingTooLittleWithEveryWorkArea) {
    // Two monitors side by side, their taskbars below.
    const std::vector<ScreenRect> areas{{0, 0, 1920, 1040}, {1920, 0, 3200, 1024}};
    const std::vector<std::pair<ScreenRect, bool>> cases = {
        {{1880, 1020, 2000, 1100}, false},  // 40 × 20 of the first
        {{1881, 1020, 2000, 1100}, true},   // 39 wide there, 4 high on the second
        {{1881, 100, 2000, 200}, false},    // whole enough on the second
        {{1890, 100, 1950, 200}, true},     // 30 wide on each
        {{0, 1021, 100, 1100}, true},       // 19 high
        {{-5000, -5000, -4000, -4000}, true},
    };
    for (const auto& [window, off] : cases)
        EXPECT_EQ(OffScreen(window, areas), off) << window.left << "," << window.top;
    EXPECT_TRUE(OffScreen({0, 0, 100, 100}, {}));
}

TEST(WindowRows, TheDefaultFilterLeavesOutUntitledHiddenAndInputMethodWindows) {
    EXPECT_TRUE(ShownByDefault({.visible = true}));
    EXPECT_TRUE(ShownByDefault({.title = L"t"}));
    EXPECT_FALSE(ShownByDefault({}));
    EXPECT_FALSE(ShownByDefault({.className = L"IME", .visible = true}));
    EXPECT_FALSE(ShownByDefault({.className = L"MSCTFIME UI", .title = L"t", .visible = true}));
}

TEST(WindowRows, TheSearchMatchesWhatItMatchesAndNeverFails) {
    const WindowFacts notepad{.window = 0x1234,
                              .pid = 88,
                              .process = L"Notepad.exe",
                              .className = L"Notepad",
                              .title = L"无标题 - 记事本"};
    const std::vector<std::pair<std::wstring, bool>> cases = {
        {L"", true},
        {L"NOTE", true},
        {L"4660", true},
        {L"88", true},
        {L"记事本", true},
        {L"xyz", false},
        {L"pid:88", true},
        {L"PID: 88", true},
        {L"pid:８８", true},
        {L"pid:&H58", true},
        {L"pid:0x58", true},
        {L"pid:8", false},
        {L"pid:", false},
        {L"pid:99999999999", false},
        {L"hwnd:4660", true},
        {L"hwnd:0X1234", true},
        {L"hwnd:0x100001234", false},
        {L"hwnd:", false},
        {L"class:PAD", true},
        {L"class:", true},
        {L"class:note.exe", false},
        {std::wstring(10000, L'x'), false},
    };
    for (const auto& [text, matches] : cases)
        EXPECT_EQ(WindowSearch(text).Matches(notepad), matches) << text.substr(0, 20);
}

}  // namespace
}  // namespace vindrel::testing
