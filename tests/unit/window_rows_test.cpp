// The window list's rows: the state words, the off-screen rule, the
// default filter and the search.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_window_system.h"
#include "table/window_reading.h"
#include "table/window_rows.h"

namespace vindrel::testing {
namespace {

TEST(WindowRows, StateWordsComeInTheirOrder) {
    EXPECT_EQ(StateWords({.visible = true, .minimised = true, .maximised = true, .cloaked = true}),
              L"可见，最小化，最大化，被遮蔽");
    EXPECT_EQ(StateWords({.cloaked = false,
                          .offScreen = true,
                          .alpha = 128,
                          .topmost = true,
                          .hung = true,
                          .changed = true}),
              L"隐藏，屏幕外，不透明度 50%，置顶，无响应，已被本程序改动");
}

// One rule for a window too faint to see, wherever it is asked: an alpha
// set (LWA_ALPHA) at 10% or less, the percentage rounded down.
TEST(WindowRows, TooFaintToSeeIsAnAlphaOfTenPercentOrLessRoundedDown) {
    struct Case {
        std::uint8_t alpha;
        const wchar_t* words;
        bool faint;
    };
    const Case cases[] = {
        {0, L"可见，不透明度 0%", true},     {5, L"可见，不透明度 1%", true},
        {28, L"可见，不透明度 10%", true},   {29, L"可见，不透明度 11%", false},
        {254, L"可见，不透明度 99%", false}, {255, L"可见", false},
    };
    for (const Case& c : cases) {
        const WindowFacts facts{.title = L"t",
                                .visible = true,
                                .captioned = true,
                                .extent = {0, 0, 400, 300},
                                .alpha = c.alpha};
        EXPECT_EQ(StateWords(facts), c.words) << int(c.alpha);
        EXPECT_EQ(Lost(facts), c.faint) << int(c.alpha);
        const Layering set{.layered = true, .key = 0, .flags = api::kLwaAlpha, .alpha = c.alpha};
        EXPECT_EQ(TooFaint(set), c.faint) << int(c.alpha);
        // A colour key alone sets no alpha.
        EXPECT_FALSE(TooFaint(Layering{.layered = true, .key = 0, .flags = 1, .alpha = c.alpha}));
    }
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
        {{500, 500, 530, 530}, false},      // 30 × 30, all of it on screen
        {{1900, 500, 1930, 530}, true},     // 30 × 30, 20 and 10 wide on the two
        {{3190, 500, 3220, 530}, true},     // 30 × 30, 10 wide on
        {{500, 500, 500, 500}, false},      // no area: nothing to see anywhere
        {{1720, 2000, 2120, 1700}, false},  // no area either
        {{3000, 500, 3400, 800}, false},    // half on a work area
    };
    for (const auto& [window, off] : cases)
        EXPECT_EQ(OffScreen(window, areas), off) << window.left << "," << window.top;
    EXPECT_TRUE(OffScreen({0, 0, 100, 100}, {}));
}

// Each clause of the lost view's rule, dropped in turn, fails a row.
TEST(WindowRows, LostIsAWindowTheUserCouldHaveSeenAndCannot) {
    const WindowFacts hidden{
        .className = L"C", .title = L"t", .captioned = true, .extent = {0, 0, 40, 20}};
    const auto with = [&](const std::function<void(WindowFacts&)>& change) {
        WindowFacts facts = hidden;
        change(facts);
        return facts;
    };
    const std::vector<std::pair<WindowFacts, bool>> cases = {
        {hidden, true},
        {with([](auto& f) { f.title.clear(); }), false},
        {with([](auto& f) { f.captioned = false; }), false},
        {with([](auto& f) { f.captioned = false, f.appWindow = true; }), true},
        {with([](auto& f) { f.tool = true; }), false},
        {with([](auto& f) { f.extent.right = 39; }), false},
        {with([](auto& f) { f.extent.bottom = 19; }), false},
        {with([](auto& f) { f.className = L"IME"; }), false},
        {with([](auto& f) { f.className = L"MSCTFIME UI"; }), false},
        {with([](auto& f) { f.visible = true; }), false},
        {with([](auto& f) { f.visible = true, f.cloaked = true; }), false},  // by the shell
        {with([](auto& f) { f.visible = f.cloakedByApp = true; }), true},
        {with([](auto& f) { f.visible = f.offScreen = true; }), true},
        {with([](auto& f) { f.visible = true, f.alpha = 28; }), true},
        // Changed by the program: whatever its style or size.
        {with([](auto& f) { f.changed = f.tool = true, f.title.clear(); }), true},
        {with([](auto& f) { f.changed = f.visible = true; }), false},
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Lost(cases[i].first), cases[i].second) << i;
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
        {L"pid: 0x58", true},  // a blank before the hexadecimal number
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

TEST(WindowRows, ReadingNamesEachWindowAndPlacesAMinimisedOneInWorkspaceCoordinates) {
    FakeWindowSystem ws;
    ws.dwm = true;
    // Each monitor's taskbar is on its left: workspace x 0 is screen x 60
    // on the primary, 100 further on the second.
    ws.monitors = {{{0, 0, 1920, 1080}, {60, 0, 1920, 1080}, true},
                   {{1920, 0, 3840, 1080}, {2020, 0, 3840, 1080}, false}};
    ws.processes = {{10, "ApplicationFrameHost.exe"}, {20, "????.exe", L"计算器.exe"}};
    const ScreenRect nearRightEdge{3750, 100, 3900, 300};  // 90 wide on, in screen coordinates
    FakeWindow& minimised = ws.AddWindow(1, 20);
    minimised.iconic = true;
    minimised.normal = nearRightEdge;  // 30 wide on, once moved 60 to the right
    FakeWindow& second = ws.AddWindow(8, 20);
    second.iconic = true;
    second.normal = ScreenRect{1900, 100, 1965, 300};  // 45 wide on the second's work area
    FakeWindow& tool = ws.AddWindow(2, 20);
    tool.iconic = true;
    tool.exStyle = api::kWsExToolWindow;  // already in screen coordinates
    tool.normal = nearRightEdge;
    ws.AddWindow(3, 10).className = L"ApplicationFrameWindow";
    ws.AddWindow(4, 20).className = L"Windows.UI.Core.CoreWindow";
    ws.windows.back().parent = 3;
    ws.AddWindow(5, 10).className = L"ApplicationFrameWindow";
    ws.AddWindow(6, FakeWindowSystem::kOwnPid);
    ws.AddWindow(7, 20, "hung").cloaked = 2;
    ws.windows.back().thread = 7;  // the program's other threads answer
    ws.Hang(7);
    // An owned window given a taskbar button, with no title bar.
    FakeWindow& owned = ws.AddWindow(9, 20, "owned");
    owned.owner = 1;
    owned.exStyle = api::kWsExAppWindow;
    owned.captioned = owned.visible = false;
    for (FakeWindow& window : ws.windows)
        window.rect = {100, 100, 500, 400};
    ws.AddWindow(10, 20).rect = {0, 100, 50, 400};  // under the taskbar on the left

    std::vector<std::pair<std::wstring, std::wstring>> seen;
    std::vector<Hwnd> lost;
    for (const WindowFacts& row : ReadWindows(ws, [](Hwnd w, Pid) { return w == 5; })) {
        seen.emplace_back(row.process, StateWords(row));
        if (Lost(row)) lost.push_back(row.window);
    }
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"计算器.exe", L"可见，最小化，屏幕外"},
        {L"计算器.exe", L"可见，最小化"},
        {L"计算器.exe", L"可见，最小化"},
        {L"计算器.exe（由 ApplicationFrameHost.exe 承载）", L"可见"},
        {L"ApplicationFrameHost.exe", L"可见，已被本程序改动"},
        {L"计算器.exe", L"可见，被遮蔽，无响应"},
        {L"计算器.exe", L"隐藏"},
        {L"计算器.exe", L"可见，屏幕外"},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(lost, (std::vector<Hwnd>{9}));
}

}  // namespace
}  // namespace vindrel::testing
