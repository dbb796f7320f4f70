// The window list as the user works it: opened from the system menu or
// the table, kept on the same windows across updates, and choosing a row.
#include <gtest/gtest.h>

#include "form_fixture.h"

namespace vindrel::testing {
namespace {

class WindowListTest : public FormTest {
protected:
    WindowListTest() {
        ws.processes = {{10, "editor.exe"}, {20, "viewer.exe"}};
        for (Hwnd window = 100; window < 110; ++window)
            ws.AddWindow(window, 10, "doc " + std::to_string(window)).rect = {0, 0, 400, 300};
        ws.AddWindow(200, 20, "picture").rect = {0, 0, 400, 300};
        ws.AddWindow(300, FakeWindowSystem::kOwnPid, "ours");
        ws.AddWindow(400, 20).visible = false;  // left out by default
    }
    void OpenFromMenu() { toolkit.Window().UserChooseMenuItem(1); }
    FakeListView& Rows() { return toolkit.Get<FakeListView>("lvwWindows"); }
    std::vector<std::wstring> Shown() {
        std::vector<std::wstring> rows;
        for (int row = 0; row < Rows().RowCount(); ++row)
            rows.push_back(Rows().Row(row));
        return rows;
    }
    std::wstring Count() { return toolkit.Get<FakeLabel>("lblCount").Caption(); }
};

TEST_F(WindowListTest, OpensWithEveryOtherWindowAndFromTheTableForOneProcess) {
    OpenFromMenu();
    ASSERT_TRUE(toolkit.Window("WindowList").Visible());
    EXPECT_EQ(Rows().RowCount(), 11);  // never the program's own
    EXPECT_EQ(Rows().Row(10), L"viewer.exe | 20 | 200 | FakeWindowClass | picture | 可见");
    EXPECT_EQ(Count(), L"显示 11 / 共 12 个窗口");
    // Hidden with the minimised main window, it reads nothing; shown
    // again, it catches up at once.
    toolkit.Window("WindowList").OwnerMinimised(true);
    ws.AddWindow(500, 20, "new");
    const int reads = ws.calls["EnumWindows"];
    toolkit.Get<FakeTimer>("tmrRefresh").Fire();
    EXPECT_EQ(ws.calls["EnumWindows"], reads);
    toolkit.Window("WindowList").OwnerMinimised(false);
    EXPECT_EQ(Count(), L"显示 12 / 共 13 个窗口");
    ws.windows.pop_back();
    toolkit.Get<FakeTimer>("tmrRefresh").Fire();
    toolkit.Get<FakeCheckBox>("chkAll").UserClick();
    EXPECT_EQ(Rows().RowCount(), 12);

    toolkit.Get<FakeTextBox>("txtSearch").UserType(L"PICT");
    EXPECT_EQ(Shown(), std::vector<std::wstring>{Rows().Row(0)});
    EXPECT_EQ(Count(), L"显示 1 / 共 12 个窗口");

    // Closed, it keeps nothing; a double-click on a table row opens it for
    // that row's process.
    toolkit.Window("WindowList").UserClose();
    EXPECT_FALSE(toolkit.Window("WindowList").Visible());
    ws.wmiObjects = {{L"editor.exe", 10}, {L"viewer.exe", 20}};
    Click("Command1");
    List("List4").UserDoubleClick(1);
    EXPECT_EQ(toolkit.Get<FakeTextBox>("txtSearch").Text(), L"pid:20");
    EXPECT_EQ(Rows().RowCount(), 1);
}

TEST_F(WindowListTest, LostWindowsAreTheHiddenOrUnseenOnesWithTheProgramsOwnFirst) {
    ws.Find(104)->visible = false;
    ws.Find(105)->rect = {-5000, -5000, -4600, -4700};
    ws.Find(105)->exStyle = api::kWsExToolWindow;  // never one the user looks for
    Box("Text2").SetText(L"107");
    Click("Command4");  // hidden by the program
    OpenFromMenu();
    toolkit.Get<FakeCheckBox>("chkLost").UserClick();
    EXPECT_EQ(Rows().RowCount(), 2);
    EXPECT_EQ(Rows().Cell(0, 2), L"107");
    EXPECT_EQ(Rows().Cell(1, 2), L"104");
    EXPECT_EQ(Count(), L"显示 2 / 共 12 个窗口");
}

TEST_F(WindowListTest, TopmostIsForOneSelectedWindowAndTheRestoreItemUndoesIt) {
    OpenFromMenu();
    auto& topmost = toolkit.Get<FakeButton>("cmdTopmost");
    auto& rescue = toolkit.Get<FakeButton>("cmdRescue");
    EXPECT_FALSE(topmost.Enabled() || rescue.Enabled());
    Rows().UserClick(10);  // window 200
    EXPECT_TRUE(topmost.Enabled() && rescue.Enabled());
    topmost.UserClick();
    EXPECT_NE(ws.Find(200)->exStyle & api::kWsExTopmost, 0);
    EXPECT_EQ(topmost.Caption(), L"取消置顶");
    EXPECT_EQ(Rows().Cell(10, 5), L"可见，置顶，已被本程序改动");
    EXPECT_TRUE(TakeMessages().empty());
    // Set back as it was, it is no longer the program's doing.
    topmost.UserClick();
    EXPECT_EQ(Rows().Cell(10, 5), L"可见");
    topmost.UserClick();
    Rows().UserClick(9, true);
    EXPECT_FALSE(topmost.Enabled());
    EXPECT_TRUE(rescue.Enabled());
    toolkit.Window().UserChooseMenuItem();
    EXPECT_EQ(ws.Find(200)->exStyle & api::kWsExTopmost, 0);

    // An owned window is its owner's to keep on top: refused, unchanged.
    TakeMessages();
    ws.AddWindow(201, 20, "dialog").owner = 200;
    ws.Find(200)->exStyle = api::kWsExTopmost;
    toolkit.Get<FakeButton>("cmdRefresh").UserClick();
    Rows().UserClick(Rows().RowCount() - 1);
    ASSERT_EQ(Rows().Cell(Rows().RowCount() - 1, 2), L"201");
    topmost.UserClick();
    EXPECT_EQ(TakeMessages(),
              std::vector<std::wstring>{L"它属于另一个窗口（句柄 200）：请对那个窗口置顶"});
    EXPECT_EQ(ws.Find(200)->exStyle, api::kWsExTopmost);
    EXPECT_EQ(ws.Find(201)->exStyle, 0);
}

TEST_F(WindowListTest, AnUpdateKeepsTheSameWindowsSelectedAndChoosingChecksTheWindowIsStillThere) {
    OpenFromMenu();
    Rows().Select({7, 9}, 9);  // windows 107 and 109
    Rows().SetTopRow(8);
    ws.windows.erase(ws.windows.begin(), ws.windows.begin() + 3);  // 100 to 102 went
    toolkit.Get<FakeTimer>("tmrRefresh").Fire();
    EXPECT_EQ(Rows().SelectedRows(), (std::vector<int>{4, 6}));
    EXPECT_EQ(Rows().FocusedRow(), 6);
    EXPECT_EQ(Rows().TopRow(), 5);

    // The focused row's window now belongs to another process: its row goes.
    ws.Find(109)->pid = 30;
    toolkit.Get<FakeButton>("cmdChoose").UserClick();
    EXPECT_EQ(Rows().RowCount(), 7);
    EXPECT_EQ(Count(), L"显示 7 / 共 8 个窗口");
    EXPECT_EQ(Box("Text2").Text(), L"0");

    // Sorted by process id, descending: the selection stays on window 107;
    // a list reopened is in the enumeration's order again.
    Rows().UserClickColumn(1);
    Rows().UserClickColumn(1);
    EXPECT_EQ(Rows().columns[1], L"进程号 ▼");
    EXPECT_EQ(Rows().Cell(0, 2), L"200");
    ASSERT_EQ(Rows().SelectedRows().size(), 1u);
    EXPECT_EQ(Rows().Cell(Rows().SelectedRows()[0], 2), L"107");
    toolkit.Window("WindowList").UserClose();
    OpenFromMenu();
    EXPECT_EQ(Rows().columns[1], L"进程号");
    EXPECT_EQ(Rows().Cell(0, 2), L"103");

    ws.wmiObjects = {{L"editor.exe", 10}, {L"viewer.exe", 20}};
    Click("Command1");
    const int row = 7;  // window 200, the first window of viewer.exe (109 is another's now)
    ASSERT_EQ(Rows().Cell(row, 2), L"200");
    Rows().UserDoubleClick(row);
    EXPECT_EQ(Box("Text2").Text(), L"200");
    EXPECT_EQ(List("List2").List(List("List2").ListIndex()), L"200");
    EXPECT_TRUE(toolkit.Window("WindowList").Visible());
}

}  // namespace
}  // namespace vindrel::testing
