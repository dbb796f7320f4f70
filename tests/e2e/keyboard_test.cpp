// Tab visits the controls in the layout's tab order across frames, and
// Shift+Tab goes back; of the two speed options only the chosen one is a
// Tab stop, and the arrow keys move between them.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "driver.h"

namespace vindrel::e2e {
namespace {

// The controls shown at start-up that take the focus, in tab order.
const std::vector<std::string_view> kTabOrder{
    "Command1", "List1",    "List2", "Text2",     "List3",     "Command7",  "Command9",
    "List4",    "Text3",    "Text4", "Check1",    "Command21", "Command19", "Command17",
    "Command8", "Command4", "Text5", "Command22", "HScroll2",  "Option1"};

std::string_view NameOf(const Vindrel& app, HWND focus) {
    for (std::string_view name : kTabOrder) {
        if (app.Control(name) == focus) return name;
    }
    return app.Control("Option2") == focus ? "Option2" : "(another window)";
}

TEST(Keyboard, TabFollowsTheTabOrderAndWraps) {
    const Vindrel app;
    ASSERT_TRUE(app.Activate());
    ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Control("Command1"); }));

    std::vector<std::string_view> visited;
    for (std::size_t i = 0; i < kTabOrder.size(); ++i) {
        app.PressKey(VK_TAB);
        visited.push_back(NameOf(app, app.Focus()));
    }
    std::vector<std::string_view> expected(kTabOrder.begin() + 1, kTabOrder.end());
    expected.push_back("Command1");
    EXPECT_EQ(visited, expected);
}

TEST(Keyboard, ArrowsChooseTheOtherOptionWhichBecomesTheTabStop) {
    const Vindrel app;
    ASSERT_TRUE(app.Activate());
    ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.Control("Command1"); }));
    app.PressKey(VK_TAB, true);  // back from the first stop: the chosen option
    ASSERT_EQ(NameOf(app, app.Focus()), "Option1");

    app.PressKey(VK_RIGHT);
    EXPECT_EQ(NameOf(app, app.Focus()), "Option2");
    EXPECT_EQ(SendMessageW(app.Control("Option2"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(app.Control("Option1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    app.PressKey(VK_TAB);
    EXPECT_EQ(NameOf(app, app.Focus()), "Command1");
    app.PressKey(VK_TAB, true);
    EXPECT_EQ(NameOf(app, app.Focus()), "Option2");
}

}  // namespace
}  // namespace vindrel::e2e
