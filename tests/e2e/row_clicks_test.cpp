// A user's clicks on the process table and typing in the search boxes.
#include <gtest/gtest.h>

#include "driver.h"

namespace vindrel::e2e {
namespace {

class RowClicks : public ::testing::Test {
protected:
    RowClicks() {
        // Started after Vindrel (the members are made before this runs), the
        // target is the last process: its row is the last row of the table.
        app.Click("Command1");
        rows = static_cast<int>(app.Rows("List4").size());
    }
    std::vector<int> Selections() const {
        return {app.Selected("List4"), app.Selected("List1"), app.Selected("List2"),
                app.Selected("List3")};
    }

    Vindrel app;
    Target target{L"目标窗口 一"};
    int rows = 0;
};

TEST_F(RowClicks, AClickOnARowOfAnyColumnSelectsItEverywhere) {
    ASSERT_GE(rows, 3);
    const auto handles = app.Rows("List2");
    const auto pids = app.Rows("List3");
    ASSERT_EQ(pids.back(), std::to_wstring(target.Program().Id()));
    ASSERT_EQ(handles.back(), HandleText(target.Window()));

    for (const char* column : {"List1", "List2", "List3"}) {
        for (int row : {0, rows / 2, rows - 1}) {
            app.SetText("Text2", L"");
            app.ClickRow(column, row);
            EXPECT_EQ(Selections(), std::vector<int>(4, row)) << column << " row " << row;
            EXPECT_EQ(app.Text("Text2"), handles[static_cast<std::size_t>(row)]) << column;
            EXPECT_EQ(app.Text("Text1"), pids[static_cast<std::size_t>(row)]) << column;
        }
    }
}

TEST_F(RowClicks, TypingAHandleOrAPidSelectsTheTargetsRow) {
    app.ClickRow("List1", 0);
    app.Type("Text3", HandleText(target.Window()));
    EXPECT_EQ(Selections(), std::vector<int>(4, rows - 1));
    EXPECT_EQ(app.Text("Text2"), HandleText(target.Window()));

    app.ClickRow("List1", 0);
    app.Type("Text4", std::to_wstring(target.Program().Id()));
    EXPECT_EQ(Selections(), std::vector<int>(4, rows - 1));
    EXPECT_EQ(app.Text("Text1"), std::to_wstring(target.Program().Id()));
    EXPECT_EQ(app.Text("Text2"), HandleText(target.Window()));
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

}  // namespace
}  // namespace vindrel::e2e
