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

TEST(WindowRows, AHeaderClickSortsByItsColumnAndASecondReverses) {
    std::vector<WindowFacts> rows{{.window = 7, .pid = 30, .process = L"b.exe"},
                                  {.window = -2, .pid = 100, .process = L"A.exe"},
                                  {.window = 5, .pid = 4, .process = L"b.exe"}};
    const auto by = [&](const std::optional<WindowOrder>& was, WindowColumn column) {
        const WindowOrder order = Clicked(was, column);
        SortRows(rows, order);
        std::vector<Hwnd> windows;
        for (const WindowFacts& row : rows)
            windows.push_back(row.window);
        return std::pair(order, windows);
    };
    auto [order, windows] = by(std::nullopt, WindowColumn::Pid);  // 4 < 30 < 100, not as text
    EXPECT_EQ(windows, (std::vector<Hwnd>{5, 7, -2}));
    EXPECT_EQ(ColumnCaption(WindowColumn::Pid, order), L"进程号 ▲");
    std::tie(order, windows) = by(order, WindowColumn::Pid);
    EXPECT_EQ(windows, (std::vector<Hwnd>{-2, 7, 5}));
    EXPECT_EQ(ColumnCaption(WindowColumn::Pid, order), L"进程号 ▼");
    EXPECT_EQ(ColumnCaption(WindowColumn::Title, order), L"标题");
    std::tie(order, windows) = by(order, WindowColumn::Process);  // ties keep their order
    EXPECT_EQ(windows, (std::vector<Hwnd>{-2, 7, 5}));
    std::tie(order, windows) = by(order, WindowColumn::Handle);
    EXPECT_EQ(windows, (std::vector<Hwnd>{-2, 5, 7}));
    EXPECT_EQ(CountText(2, 31), L"显示 2 / 共 31 个窗口");
}

}  // namespace
}  // namespace vindrel::testing
