// While 隐藏 waits for its target, the target (any program) clicks one of
// Vindrel's buttons or closes its window: that runs after 隐藏 has finished,
// its message box included (a close then asks about the window hidden).
// And Vindrel never hides itself.
#include <gtest/gtest.h>

#include "driver.h"

namespace vindrel::e2e {
namespace {

bool AllEmpty(const Vindrel& app) {
    for (const char* list : {"List1", "List2", "List3", "List4"}) {
        if (!app.Rows(list).empty()) return false;
    }
    return true;
}

TEST(Reentry, ARefreshClickedDuringHideRunsAfterItsMessageBox) {
    const Vindrel app;
    const Target target(L"点刷新的目标", Target::Mode::ClickOnHide, app.Control("Command1"));
    app.SetText("Text2", HandleText(target.Window()));
    app.PostClick("Command4");
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"成功");
    EXPECT_NE(target.Log().find("SENT"), std::string::npos);  // clicked, and answered
    Sleep(300);
    EXPECT_TRUE(AllEmpty(app));  // not refreshed inside 隐藏
    EXPECT_TRUE(CloseMessageBox(seen));

    ASSERT_TRUE(WaitFor([&] { return !app.Rows("List1").empty(); }));
    const std::size_t rows = app.Rows("List4").size();
    for (const char* list : {"List1", "List2", "List3"}) {
        EXPECT_EQ(app.Rows(list).size(), rows) << list;
    }
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

TEST(Reentry, AWindowClosedDuringHideEndsAfterTheHandling) {
    const Vindrel app;
    const Target target(L"关窗口的目标", Target::Mode::CloseOnHide, app.Main());
    app.SetText("Text2", HandleText(target.Window()));
    app.PostClick("Command4");
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"成功");
    EXPECT_NE(target.Log().find("SENT"), std::string::npos);
    EXPECT_TRUE(IsWindow(app.Main()));  // still there while 隐藏 reports
    EXPECT_TRUE(app.Program().Running());
    EXPECT_TRUE(CloseMessageBox(seen));
    // The close, at its turn, asks about the window just hidden: 是 shows
    // it again and the program ends.
    const MessageBoxSeen question = WaitForMessageBox(app.Program().Id());
    EXPECT_NE(question.text.find(HandleText(target.Window())), std::wstring::npos);
    EXPECT_TRUE(CloseMessageBox(question, IDYES));
    EXPECT_EQ(app.Program().WaitForExit(), 0u);
    EXPECT_TRUE(IsWindowVisible(target.Window()));
}

TEST(OwnWindow, HideRefusesSayingWhyAndOpacityKeepsATenth) {
    const Vindrel app;
    app.SetText("Text2", HandleText(app.Main()));
    app.PostClick("Command4");
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id());
    EXPECT_EQ(seen.text, L"这是本程序自己的窗口：隐藏后将无法再把它找回。");
    EXPECT_TRUE(CloseMessageBox(seen));
    EXPECT_TRUE(IsWindowVisible(app.Main()));

    app.Scroll("HScroll2", SB_THUMBPOSITION, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(app.Main(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 25);
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

}  // namespace
}  // namespace vindrel::e2e
