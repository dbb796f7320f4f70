// A refresh writes the four real list boxes without drawing them row by
// row; afterwards each is visible, holds every row, keeps the keyboard
// focus it had, and List4 shows its last row; a list that was hidden stays
// so.
#include <windows.h>

#include <gtest/gtest.h>

#include <string_view>

#include "fakes/fake_world.h"
#include "real_form.h"

namespace vindrel::testing {
namespace {

TEST(ListUpdates, ARefreshLeavesTheListsVisibleFocusedAndScrolledToTheLastRow) {
    FakeWindowSystem ws;
    PopulateSession(ws, 58);  // more rows than the lists show
    RealForm app(ws);
    const HWND list4 = app.Control("List4");
    SetFocus(list4);
    ShowWindow(app.Control("List3"), SW_HIDE);
    // 刷新列表 pressed from the keyboard's side: the focus stays where it is.
    const auto refresh = [&] { app.Notify("Command1", BN_CLICKED); };
    refresh();
    refresh();
    EXPECT_EQ(GetFocus(), list4);
    for (const char* name : {"List4", "List1", "List2", "List3"}) {
        const HWND list = app.Control(name);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 58) << name;
        EXPECT_EQ(IsWindowVisible(list) != 0, std::string_view(name) != "List3") << name;
        SCROLLINFO scroll{sizeof scroll, SIF_ALL, 0, 0, 0, 0, 0};
        ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &scroll)) << name;
        EXPECT_EQ(scroll.nMax, 57) << name;
        // Only List4's selection moves (to its last row), and with it its view.
        const bool last = scroll.nPos + static_cast<int>(scroll.nPage) == 58;
        EXPECT_EQ(last, list == list4) << name;
    }
    EXPECT_EQ(SendMessageW(list4, LB_GETCURSEL, 0, 0), 57);

    // Down to a table the lists hold without scrolling, twice: from
    // scrolling lists, then from lists that fit already.
    ws.wmiObjects.resize(3);
    for (int time = 0; time < 2; ++time) {
        refresh();
        for (const char* name : {"List4", "List1", "List2"}) {
            const HWND list = app.Control(name);
            EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3) << name;
            EXPECT_TRUE(IsWindowVisible(list)) << name;
        }
    }
    EXPECT_EQ(GetFocus(), list4);
}

}  // namespace
}  // namespace vindrel::testing
