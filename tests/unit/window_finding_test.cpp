// Picking a window with the finder, and where its outline goes on screens
// of several DPIs.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "platform/outline_geometry.h"

namespace vindrel::testing {
namespace {

class WindowFindingTest : public FormTest {
protected:
    // Rows: 0 z.exe 1000 | 1 a.exe 100 | 2 b.exe 200. Window 100 has a
    // child 101 over its top left; 300 is the program's own, 400 a window
    // without a row.
    WindowFindingTest() {
        ws.processes = {{5, "z.exe"}, {10, "a.exe"}, {20, "b.exe"}};
        ws.AddWindow(1000, 5).rect = {900, 900, 901, 901};
        auto& child = ws.AddWindow(101, 10);
        child.parent = 100;
        child.rect = {10, 10, 50, 50};
        ws.AddWindow(100, 10, "A").rect = {0, 0, 100, 100};
        ws.AddWindow(200, 20, "B").rect = {100, 0, 200, 100};
        ws.AddWindow(300, FakeWindowSystem::kOwnPid).rect = {200, 0, 300, 100};
        ws.AddWindow(400, 30).rect = {300, 0, 400, 100};
        ws.wmiObjects = {{L"z.exe", 5}, {L"a.exe", 10}, {L"b.exe", 20}};
        Click("Command1");
        Box("Text2").SetText(L"555");
    }
    FakeFinder& Finder() { return toolkit.Get<FakeFinder>("Finder1"); }
};

TEST_F(WindowFindingTest, TheRootUnderThePointerIsShownOwnWindowsNeverAndAReleaseSelectsItsRow) {
    Finder().UserPress(250, 50);  // on our own window, where the finder is
    EXPECT_EQ(Finder().outlined, 0);
    Finder().UserMove(20, 20);  // the child: its top-level window is taken
    EXPECT_EQ(Box("Text2").Text(), L"100");
    EXPECT_EQ(Finder().outlined, 100);
    Finder().UserMove(250, 50);
    EXPECT_EQ(Box("Text2").Text(), L"555");
    EXPECT_EQ(Finder().outlined, 0);
    Finder().UserMove(150, 50);
    EXPECT_EQ(List("List2").ListIndex(), -1);  // not before the release
    Finder().UserRelease(150, 50);
    EXPECT_EQ(Box("Text2").Text(), L"200");
    EXPECT_EQ(Finder().outlined, 0);
    EXPECT_EQ(Selections(), std::vector<int>(4, 2));
    EXPECT_EQ(Box("Text1").Text(), L"20");  // as a click on the row would
    Finder().UserPress(250, 50);
    Finder().UserRelease(20, 20);
    EXPECT_EQ(Selections(), std::vector<int>(4, 1));  // the row of 100, not of 1000

    // A window without a row: its handle, no selection change.
    Finder().UserPress(250, 50);
    Finder().UserRelease(350, 50);
    EXPECT_EQ(Box("Text2").Text(), L"400");
    EXPECT_EQ(Selections(), std::vector<int>(4, 1));
    Finder().UserMove(20, 20);  // no drag: nothing
    EXPECT_EQ(Box("Text2").Text(), L"400");
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(WindowFindingTest, EscOrAReleaseOverNoOtherProgramsWindowPutsTheBoxBack) {
    Finder().UserPress(250, 50);
    Finder().UserMove(20, 20);
    Finder().UserPress(20, 20);  // a second press: the same drag
    Finder().UserEscape();
    EXPECT_EQ(Box("Text2").Text(), L"555");
    EXPECT_EQ(Finder().outlined, 0);
    Finder().UserRelease(20, 20);  // no drag any more: nothing
    Finder().UserMove(20, 20);
    EXPECT_EQ(Box("Text2").Text(), L"555");
    EXPECT_EQ(Finder().outlined, 0);

    for (const auto& end : {std::pair{250, 50}, std::pair{950, 950}}) {
        Finder().UserPress(250, 50);
        Finder().UserMove(150, 50);
        Finder().UserRelease(end.first, end.second);
        EXPECT_EQ(Box("Text2").Text(), L"555");
        EXPECT_EQ(Finder().outlined, 0);
    }
    EXPECT_EQ(List("List2").ListIndex(), -1);
    // After a drag given up, the next one is not.
    Finder().UserPress(250, 50);
    Finder().UserRelease(150, 50);
    EXPECT_EQ(Box("Text2").Text(), L"200");
}

TEST(OutlineGeometryTest, BarsLineTheInsideOfTheVisiblePartAtTheScreensDpi) {
    const ScreenRect screen{0, 0, 1920, 1080};
    using Bars = std::array<ScreenRect, 4>;
    EXPECT_EQ(OutlineBars({100, 100, 400, 300}, screen, 96), (Bars{{{100, 100, 400, 103},
                                                                    {100, 297, 400, 300},
                                                                    {100, 103, 103, 297},
                                                                    {397, 103, 400, 297}}}));
    EXPECT_EQ(OutlineThickness(120), 4);
    EXPECT_EQ(OutlineThickness(144), 5);
    EXPECT_EQ(OutlineThickness(192), 6);
    // Maximised (past the screen's edges), on a screen left of the primary.
    const ScreenRect left{-2880, 0, 0, 1620};
    EXPECT_EQ(OutlineBars({-2891, -11, 11, 1631}, left, 144), (Bars{{{-2880, 0, 0, 5},
                                                                     {-2880, 1615, 0, 1620},
                                                                     {-2880, 5, -2875, 1615},
                                                                     {-5, 5, 0, 1615}}}));
    // Off this screen: nothing. Thinner than two bars: covered, no more.
    EXPECT_EQ(OutlineBars({2000, 0, 2100, 100}, screen, 96), Bars{});
    for (const ScreenRect& window :
         {ScreenRect{10, 10, 14, 13}, ScreenRect{10, 10, 15, 30}, ScreenRect{0, 0, 1, 1}}) {
        // Each pixel of the window lies under exactly one bar.
        const Bars bars = OutlineBars(window, screen, 144);
        for (int y = window.top; y < window.bottom; ++y) {
            for (int x = window.left; x < window.right; ++x) {
                int under = 0;
                for (const ScreenRect& bar : bars)
                    under += x >= bar.left && x < bar.right && y >= bar.top && y < bar.bottom;
                EXPECT_EQ(under, 1) << x << "," << y << " of " << window.right - window.left << "x"
                                    << window.bottom - window.top;
            }
        }
    }
}

}  // namespace
}  // namespace vindrel::testing
