// Getting lost windows back, over two monitors whose taskbars lie on their
// left: where each window lands, how it looks when it shows, and what the
// one message says of the windows that could not be got back.
#include "actions/window_rescue.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_window_system.h"
#include "platform/deadline_window_system.h"

namespace vindrel::testing {
namespace {

using namespace std::chrono_literals;

constexpr ScreenRect kRight{1920, 0, 3840, 1080};
constexpr ScreenRect kRightWork{1980, 0, 3840, 1080};
constexpr ScreenRect kOff{-5000, -5000, -4600, -4700};  // 400 × 300

class WindowRescueTest : public ::testing::Test {
protected:
    WindowRescueTest() {
        ws.monitors = {{{0, 0, 1920, 1080}, {60, 0, 1920, 1080}, true},
                       {kRight, kRightWork, false}};
        ws.processes = {{10, "app.exe"}, {11, "admin.exe"}};
    }
    ~WindowRescueTest() override {
        for (const FakeWindow& w : ws.windows)
            ws.Recover(w.hwnd);
        EXPECT_TRUE(guarded.WaitIdle(5s));
    }
    FakeWindow& Add(Hwnd window, Pid pid = 10) {
        FakeWindow& w =
            ws.AddWindow(window, pid, std::string(1, 'w').append(std::to_string(window)));
        w.rect = {100, 100, 500, 400};
        return w;
    }
    std::vector<RescueResult> Rescue(const std::vector<Hwnd>& windows, Pid pid = 10) {
        std::vector<LostWindow> lost;
        for (const Hwnd window : windows)
            lost.push_back({window, pid, L"app.exe", L"w" + std::to_wstring(window)});
        return rescue.Rescue(lost, ws.monitors[1]);
    }

    FakeWindowSystem ws;
    // Long enough that only the hung window runs out of it on a loaded machine.
    DeadlineWindowSystem guarded{ws, 3s};
    FakeProcessRights rights;
    FakeLifetimes lifetimes;
    Standings standings{guarded, rights};
    ChangeRecord record{guarded, lifetimes};
    ChangePath path{guarded, standings, record};
    WindowRescue rescue{guarded, path, record};
};

TEST_F(WindowRescueTest, EachWindowLandsOnTheListsMonitorAndShowsOnlyOnceMended) {
    FakeWindow& minimised = Add(100);
    minimised.iconic = true;
    minimised.normal = ScreenRect{-5000, -5000, -4200, -4400};  // workspace, 800 × 600
    FakeWindow& maximised = Add(101);
    maximised.maximised = true;
    maximised.rect = {-5000, -5000, -3080, -3920};
    maximised.normal = ScreenRect{-4800, -4800, -4000, -4200};
    // Hidden and made see-through by this program, then left off screen.
    FakeWindow& faint = Add(102);
    faint.exStyle = api::kWsExLayered;
    faint.alpha = 200;
    faint.layeredFlags = api::kLwaAlpha;
    ProcessNames names(guarded);
    record.Before({.aspect = ChangeRecord::Aspect::Hide}, 102, names);
    record.Before({.aspect = ChangeRecord::Aspect::Opacity, .alpha = 10}, 102, names);
    ASSERT_FALSE(record.Empty());
    faint.visible = false;
    faint.alpha = 10;
    faint.rect = kOff;
    Add(103).rect = {-5000, -5000, -1000, -2000};  // 4000 × 3000: shrunk
    FakeWindow& fixed = Add(104);
    fixed.sizable = false;
    fixed.rect = {-5000, -5000, -2000, -4400};  // 3000 × 600, cannot be resized
    FakeWindow& onScreen = Add(105);            // minimised where it can be seen
    onScreen.iconic = true;
    onScreen.normal = ScreenRect{100, 100, 500, 400};
    Add(106);  // not lost
    // A minimised tool window: its normal position is in screen coordinates.
    FakeWindow& tool = Add(107);
    tool.iconic = true;
    tool.exStyle = api::kWsExToolWindow;
    tool.normal = kOff;

    const auto results = Rescue({100, 101, 102, 103, 104, 105, 106, 107});
    rescue.BringLastToFront(results);
    EXPECT_EQ(RescueReport(results, true).text, L"已找回 7 个窗口");
    // The maximised one last: maximising it activates it.
    EXPECT_EQ(results[7].lost.window, 101);
    EXPECT_EQ(results[5].outcome.kind, Outcome::Kind::Unchanged);
    EXPECT_EQ(ws.Find(107)->rect, (ScreenRect{2710, 390, 3110, 690}));
    EXPECT_EQ(ws.Find(105)->rect, (ScreenRect{160, 100, 560, 400}));

    // Restored in the same call, at a normal position given in workspace
    // coordinates: centred on the right monitor's work area.
    EXPECT_EQ(ws.calls["SetWindowPlacement"], 3);
    EXPECT_FALSE(ws.Find(100)->iconic);
    EXPECT_EQ(ws.Find(100)->rect, (ScreenRect{2510, 240, 3310, 840}));
    EXPECT_TRUE(ws.Find(101)->maximised);
    EXPECT_EQ(ws.Find(101)->rect, kRightWork);
    EXPECT_EQ(ws.Find(101)->normal, (ScreenRect{2450, 240, 3250, 840}));
    // Shown where it can be seen, at the opacity it had before this program
    // changed it, with its layered style; the record no longer claims to
    // have hidden it or made it see-through.
    ASSERT_TRUE(ws.Find(102)->shownAs);
    EXPECT_EQ(ws.Find(102)->shownAs->rect, (ScreenRect{2710, 390, 3110, 690}));
    EXPECT_EQ(ws.Find(102)->shownAs->alpha, 200);
    EXPECT_NE(ws.Find(102)->exStyle & api::kWsExLayered, 0);
    EXPECT_TRUE(record.Empty());
    EXPECT_EQ(ws.Find(103)->rect, kRightWork);
    EXPECT_EQ(ws.Find(104)->rect, (ScreenRect{1980, 0, 4980, 600}));
    EXPECT_EQ(ws.foreground, 101);
}

TEST_F(WindowRescueTest, WindowsThatCannotBeGotBackAreNamedWithTheirReasonsInOneMessage) {
    rights.levels[11] = FakeProcessRights::kHigh;
    // Made see-through by this program before it was refused.
    FakeWindow& refusing = Add(201, 11);
    ProcessNames names(guarded);
    record.Before({.aspect = ChangeRecord::Aspect::Opacity, .alpha = 5}, 201, names);
    refusing.exStyle = api::kWsExLayered;
    refusing.alpha = 5;
    refusing.layeredFlags = api::kLwaAlpha;
    refusing.refuses = true;
    Add(202).thread = 99;  // a thread of its own: the others answer
    ws.Hang(202);
    ws.dwm = ws.desktops = true;
    Add(203).cloaked = api::kDwmCloakedApp;
    Add(204).cloaked = 2;  // by the shell, on another desktop
    ws.Find(204)->otherDesktop = true;
    Add(205).cloaked = 2;
    Add(206, FakeWindowSystem::kOwnPid);
    Add(207).pinned = true;  // shown, but it will not move on screen
    ws.Find(207)->rect = kOff;
    for (FakeWindow& w : ws.windows)
        w.visible = false;

    std::vector<RescueResult> results = Rescue({200, 202, 203, 204, 205, 207});
    results.insert(results.begin() + 1, Rescue({201}, 11).front());
    results.push_back(Rescue({206}, FakeWindowSystem::kOwnPid).front());
    const Report report = RescueReport(results, true);
    std::wstring expected =
        L"已找回 0 个窗口\r\n\r\n未能找回的窗口："
        L"\r\napp.exe  “w200”  200：已不存在"
        L"\r\napp.exe  “w201”  201：窗口没有接受更改：它的程序以管理员身份运行"
        L"\r\napp.exe  “w202”  202：目标窗口没有响应"
        L"\r\napp.exe  “w203”  203：它被自己的程序隐藏（被遮蔽）"
        L"\r\napp.exe  “w204”  204：它在另一个虚拟桌面上"
        L"\r\napp.exe  “w205”  205：它被系统隐藏（被遮蔽）"
        L"\r\napp.exe  “w207”  207：已显示，但仍在屏幕外"
        L"\r\napp.exe  “w206”  206：";
    expected += kOwnWindowHidden;
    expected += L"\r\n\r\n要以管理员身份重新启动本程序吗？新启动的程序会带上窗口句柄 201。";
    EXPECT_EQ(report.text, expected);
    EXPECT_EQ(report.restart, L"201");
    // What was refused stays the program's to put back.
    EXPECT_TRUE(record.Holds(201, 11));
    // A cloaked window is not forced; with no shell to ask, nothing is
    // claimed of desktops.
    EXPECT_EQ(ws.calls["ShowWindow"], 3);  // the refused, the hung and the pinned one
    ws.desktops = false;
    EXPECT_EQ(*Rescue({204}).front().cloaked, L"它被系统隐藏（被遮蔽）");
}

}  // namespace
}  // namespace vindrel::testing
