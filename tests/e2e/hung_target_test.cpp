// A target whose program stops answering must not freeze Vindrel.
#include <gtest/gtest.h>

#include <chrono>

#include "driver.h"
#include "platform/deadline_window_system.h"

namespace vindrel::e2e {
namespace {

TEST(HungTarget, EveryWaitingCommandGivesUpInTimeAndTheProgramStaysResponsive) {
    const Vindrel app;
    Target hung(L"将要挂起的窗口");
    const Target other(L"目标窗口 二");
    PostMessageW(hung.Window(), Target::kHangMessage, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return hung.Log().find("HANG") != std::string::npos; }));
    app.SetText("Text2", HandleText(hung.Window()));
    app.SetText("Text5", L"新标题");

    // The first call waits the whole deadline, and not much more; the others
    // find the target still busy with it and give up at once.
    bool first = true;
    const auto check = [&](const char* what, const std::function<void()>& act) {
        const auto start = std::chrono::steady_clock::now();
        act();
        const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id(), 3 * kTargetDeadline);
        const auto waited = std::chrono::steady_clock::now() - start;
        ASSERT_NE(seen.box, nullptr) << what;
        if (first) {
            EXPECT_GE(waited, kTargetDeadline) << what;
        }
        EXPECT_LT(waited, first ? 3 * kTargetDeadline : kTargetDeadline) << what;
        first = false;
        EXPECT_EQ(seen.text.substr(0, seen.text.find(L'\r')), L"目标窗口没有响应") << what;
        EXPECT_TRUE(CloseMessageBox(seen)) << what;
        EXPECT_TRUE(app.Responsive()) << what;
        EXPECT_FALSE(AnyMessageBox(app.Program().Id())) << what;  // reported once
    };
    check("隐藏", [&] { app.PostClick("Command4"); });
    check("显示", [&] { app.PostClick("Command8"); });
    check("最小化", [&] { app.PostClick("Command17"); });
    check("还原", [&] { app.PostClick("Command19"); });
    check("更改名字", [&] { app.PostClick("Command22"); });
    check("透明度", [&] { app.PostScroll("HScroll2", SB_LINELEFT); });

    // The hung program ends; its pending calls return and break nothing.
    hung.Program().Terminate();
    app.SetText("Text2", HandleText(other.Window()));
    app.Click("Command17");
    EXPECT_TRUE(WaitFor([&] { return IsIconic(other.Window()) != 0; }));
    app.Click("Command19");
    EXPECT_TRUE(WaitFor([&] { return IsIconic(other.Window()) == 0; }));
    app.Click("Command22");
    EXPECT_EQ(WindowText(other.Window()), L"新标题");
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
    EXPECT_TRUE(app.Responsive());
}

}  // namespace
}  // namespace vindrel::e2e
