// However the program is told to end, it ends cleanly with code 0, also
// with the focus in a text box, whose last notification comes as the
// window goes.
#include <gtest/gtest.h>

#include "driver.h"

namespace vindrel::e2e {
namespace {

TEST(Ending, EndsWithCodeZeroHoweverItIsTold) {
    struct Way {
        const char* name;
        std::function<void(const Vindrel&)> end;
    };
    const Way ways[] = {
        {"the close box", [](const Vindrel& app) { app.ClickCloseBox(); }},
        {"Alt+F4", [](const Vindrel& app) { app.PressChord(VK_MENU, VK_F4); }},
        {"WM_CLOSE", [](const Vindrel& app) { SendMessageW(app.Main(), WM_CLOSE, 0, 0); }},
        {"WM_DESTROY", [](const Vindrel& app) { SendMessageW(app.Main(), WM_DESTROY, 0, 0); }},
        {"WM_QUIT",
         [](const Vindrel& app) {
             PostThreadMessageW(GetWindowThreadProcessId(app.Main(), nullptr), WM_QUIT, 0, 0);
         }},
    };
    for (const Way& way : ways) {
        const Vindrel app;
        ASSERT_TRUE(app.Activate()) << way.name;
        app.MouseClick("Text2");
        ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Control("Text2"); })) << way.name;
        way.end(app);
        EXPECT_EQ(app.Program().WaitForExit(), 0u) << way.name;
    }
}

}  // namespace
}  // namespace vindrel::e2e
