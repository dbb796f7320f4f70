// The window list on real windows: every window of another program, the
// search, choosing a row, and rows that follow the windows while it is open.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"

#include <commctrl.h>

namespace vindrel::e2e {
namespace {

bool AnyRowHas(const std::vector<std::wstring>& rows, const std::wstring& part) {
    return std::any_of(rows.begin(), rows.end(), [&](const std::wstring& row) {
        return row.find(part) != std::wstring::npos;
    });
}

TEST(WindowList, ListsEveryWindowOfTheOtherProgramsAndFollowsThem) {
    Vindrel app;
    Target target(L"列表目标", Target::Mode::TwoWindows);
    const HWND hidden = FindWindowW(L"VindrelTestTarget", L"列表目标 的隐藏窗口");
    ASSERT_NE(hidden, nullptr);
    const std::wstring pid = std::to_wstring(target.Program().Id());

    ASSERT_TRUE(app.Activate());
    app.PressChord(VK_MENU, VK_SPACE);
    Sleep(300);
    app.PressChord(0, 'W');
    const HWND list = app.WindowList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(WindowText(list), L"所有窗口");
    EXPECT_EQ(GetWindow(list, GW_OWNER), app.Main());
    const std::wstring own = L" | " + std::to_wstring(app.Program().Id()) + L" | ";
    EXPECT_FALSE(AnyRowHas(app.ListRows(), own));

    // The hidden window, found by its title.
    SendMessageW(app.ListControl("txtSearch"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"的隐藏窗口"));
    std::vector<std::wstring> rows;
    ASSERT_TRUE(WaitFor([&] { return (rows = app.ListRows()).size() == 1; })) << rows.size();
    EXPECT_EQ(rows[0], L"target_window.exe | " + pid + L" | " + HandleText(hidden) +
                           L" | VindrelTestTarget | 列表目标 的隐藏窗口 | 隐藏");
    app.SelectListRow(0);
    SendMessageW(app.ListControl("cmdChoose"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return app.Text("Text2") == HandleText(hidden); }))
        << app.Text("Text2") << " focused "
        << SendMessageW(app.ListControl("lvwWindows"), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                        LVNI_FOCUSED);

    // A double-click on the program's row of the table shows its windows.
    app.Click("Command1");
    const std::vector<std::wstring> pids = app.Rows("List3");
    const auto row = std::find(pids.begin(), pids.end(), pid);
    ASSERT_NE(row, pids.end());
    app.ClickRow("List4", static_cast<int>(row - pids.begin()), true);
    std::wstring search;
    EXPECT_TRUE(WaitFor([&] {
        return (search = EditText(app.ListControl("txtSearch"))) == L"pid:" + pid;
    })) << search;
    ASSERT_TRUE(WaitFor([&] { return (rows = app.ListRows()).size() == 2; })) << rows.size();
    // Enter chooses the focused row, as "选用" does. The two rows swap when
    // the Z order changes between reading them and clicking; the focus then
    // stays with the window clicked.
    const std::wstring targetHandle = L" | " + HandleText(target.Window()) + L" | ";
    const auto hasTarget = [&](const std::wstring& row) {
        return row.find(targetHandle) != std::wstring::npos;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        app.ClickListRow(hasTarget(app.ListRows().at(0)) ? 0 : 1);
        const auto focused = SendMessageW(app.ListControl("lvwWindows"), LVM_GETNEXTITEM,
                                          static_cast<WPARAM>(-1), LVNI_FOCUSED);
        if (hasTarget(app.ListRows().at(static_cast<std::size_t>(focused)))) break;
    }
    app.PressChord(0, VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return app.Text("Text2") == HandleText(target.Window()); }));

    // Without a click: a new window gets its row, one hidden from outside
    // shows it.
    PostMessageW(target.Window(), Target::kNewWindowMessage, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return AnyRowHas(rows = app.ListRows(), L"后来的窗口 | 可见"); }));
    ShowWindow(target.Window(), SW_HIDE);
    EXPECT_TRUE(WaitFor([&] {
        return AnyRowHas(rows = app.ListRows(),
                         HandleText(target.Window()) + L" | VindrelTestTarget | 列表目标 | 隐藏");
    }));
    EXPECT_EQ(rows.size(), 3u);

    // Esc closes it.
    SetForegroundWindow(list);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == list; }));
    app.PressChord(0, VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }));
}

// The row whose text has that part; -1 for none.
int RowWith(const std::vector<std::wstring>& rows, const std::wstring& part) {
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const std::wstring& text) {
        return text.find(part) != std::wstring::npos;
    });
    return row == rows.end() ? -1 : static_cast<int>(row - rows.begin());
}

bool Topmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(WindowList, GetsALostWindowBackAndTheRestoreItemUndoesTopmost) {
    const Vindrel app;
    const Target lost(L"走失的窗口", Target::Mode::Lost);
    const Target other(L"置顶目标");
    const Target minimised(L"最小化的窗口", Target::Mode::Minimised);
    app.ChooseMenuItem(1);
    ASSERT_NE(app.WindowList(), nullptr);
    SendMessageW(app.ListControl("chkLost"), BM_CLICK, 0, 0);
    std::vector<std::wstring> rows;
    const std::wstring row = HandleText(lost.Window()) + L" | VindrelTestTarget | 走失的窗口 | ";
    ASSERT_TRUE(WaitFor([&] { return RowWith(rows = app.ListRows(), row) >= 0; }));
    EXPECT_NE(
        rows[static_cast<std::size_t>(RowWith(rows, row))].find(row + L"隐藏，屏幕外，不透明度 3%"),
        std::wstring::npos);
    EXPECT_LT(RowWith(rows, L"置顶目标"), 0);

    // 找回: visible, wholly on a monitor's work area, opaque.
    app.SelectListRow(RowWith(rows, row));
    PostMessageW(app.ListControl("cmdRescue"), BM_CLICK, 0, 0);
    MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"已找回 1 个窗口");
    EXPECT_TRUE(CloseMessageBox(seen));
    const auto rescued = [&] {
        RECT rect{};
        GetWindowRect(lost.Window(), &rect);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        BYTE alpha = 0;
        return IsWindowVisible(lost.Window()) &&
               GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), &monitor) &&
               rect.left >= monitor.rcWork.left && rect.top >= monitor.rcWork.top &&
               rect.right <= monitor.rcWork.right && rect.bottom <= monitor.rcWork.bottom &&
               GetLayeredWindowAttributes(lost.Window(), nullptr, &alpha, nullptr) && alpha == 255;
    };
    EXPECT_TRUE(rescued());

    // A hidden window minimised where it would be seen: restored and shown.
    // (Wine neither reads nor sets another program's placement: moving a
    // minimised window is shown over the fake.)
    ASSERT_TRUE(WaitFor([&] { return RowWith(rows = app.ListRows(), L"最小化的窗口") >= 0; }));
    EXPECT_NE(rows[static_cast<std::size_t>(RowWith(rows, L"最小化的窗口"))].find(L"隐藏，最小化"),
              std::wstring::npos);
    app.SelectListRow(RowWith(rows, L"最小化的窗口"));
    PostMessageW(app.ListControl("cmdRescue"), BM_CLICK, 0, 0);
    seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"已找回 1 个窗口");
    EXPECT_TRUE(CloseMessageBox(seen));
    EXPECT_TRUE(IsWindowVisible(minimised.Window()) && !IsIconic(minimised.Window()));

    // 置顶 on another window; the button then offers to take it back.
    SendMessageW(app.ListControl("chkLost"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return RowWith(rows = app.ListRows(), L"置顶目标") >= 0; }));
    app.SelectListRow(RowWith(rows, L"置顶目标"));
    PostMessageW(app.ListControl("cmdTopmost"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Topmost(other.Window()); }));
    EXPECT_TRUE(WaitFor([&] { return WindowText(app.ListControl("cmdTopmost")) == L"取消置顶"; }));
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));

    // The restore item takes back the topmost bit and leaves the rescued window so.
    app.ChooseMenuItem(0);
    seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"已恢复 1 个窗口");
    EXPECT_TRUE(CloseMessageBox(seen));
    EXPECT_FALSE(Topmost(other.Window()));
    EXPECT_TRUE(rescued());
}

}  // namespace
}  // namespace vindrel::e2e
