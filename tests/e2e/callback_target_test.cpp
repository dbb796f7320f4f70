// A target that, while it handles a command's call, sends a message to
// Vindrel's main window and waits for the answer: what Windows does to the
// caller's window when such a call moves the activation. The command must
// take effect at once, with no "not responding" report.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "driver.h"

namespace vindrel::e2e {
namespace {

using Clock = std::chrono::steady_clock;

TEST(CallbackTarget, EveryCommandTakesEffectWithinASecondAndReportsNothingElse) {
    const Vindrel app;
    const Target target(L"回调目标", Target::Mode::Callback);
    const HWND window = target.Window();
    app.SetText("Text2", HandleText(window));
    app.SetText("Text5", L"回调之后");

    // 隐藏 reports its result within a second.
    auto start = Clock::now();
    app.PostClick("Command4");
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id(), 3000ms);
    EXPECT_LT(Clock::now() - start, 1000ms);
    EXPECT_EQ(seen.text, L"成功");
    EXPECT_TRUE(CloseMessageBox(seen));
    EXPECT_FALSE(IsWindowVisible(window));

    // The silent commands take effect within a second, and no message box
    // follows (the deadline would have shown one after 1.5 s).
    const auto check = [&](const char* what, const std::function<void()>& act,
                           const std::function<bool()>& done) {
        start = Clock::now();
        act();
        EXPECT_TRUE(WaitFor(done, 1000ms)) << what;
        std::this_thread::sleep_until(start + 1700ms);
        EXPECT_FALSE(AnyMessageBox(app.Program().Id())) << what;
        EXPECT_TRUE(app.Responsive()) << what;
    };
    check(
        "显示", [&] { app.PostClick("Command8"); }, [&] { return IsWindowVisible(window) != 0; });
    check(
        "最小化", [&] { app.PostClick("Command17"); }, [&] { return IsIconic(window) != 0; });
    check(
        "还原", [&] { app.PostClick("Command19"); }, [&] { return IsIconic(window) == 0; });
    check(
        "更改名字", [&] { app.PostClick("Command22"); },
        [&] { return WindowText(window) == L"回调之后"; });
    check(
        "透明度", [&] { app.PostScroll("HScroll2", SB_LINELEFT); },
        [&] {
            BYTE alpha = 0;
            DWORD flags = 0;
            return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == 250;
        });

    // The target did call back during each kind of call.
    const std::string log = target.Log();
    for (const char* during : {"CALLBACK WM_SHOWWINDOW", "CALLBACK WM_SIZE", "CALLBACK WM_SETTEXT",
                               "CALLBACK WM_STYLECHANGED"}) {
        EXPECT_NE(log.find(during), std::string::npos) << during;
    }
}

}  // namespace
}  // namespace vindrel::e2e
