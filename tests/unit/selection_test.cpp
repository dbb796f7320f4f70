// Row linking across the four columns and the two search boxes.
#include <gtest/gtest.h>

#include "form_fixture.h"

namespace vindrel::testing {
namespace {

class SelectionTest : public FormTest {
protected:
    // Rows: 0 a.exe 100 10 | 1 b.exe 0 11 | 2 c.exe 300 12 | 3 d.exe 0 13 | 4 e.exe 500 14
    SelectionTest() {
        ws.processes = {{10, "a.exe"}, {11, "b.exe"}, {12, "c.exe"}, {13, "d.exe"}, {14, "e.exe"}};
        ws.AddWindow(100, 10, "A");
        ws.AddWindow(300, 12, "C");
        ws.AddWindow(500, 14, "E");
        ws.wmiObjects = {{L"a.exe"}, {L"b.exe"}, {L"c.exe"}, {L"d.exe"}, {L"e.exe"}};
        Click("Command1");
    }
    void Reset() {
        for (const char* list : {"List1", "List2", "List3", "List4"})
            List(list).SetListIndex(-1);
        Box("Text2").SetText(L"x");
        Box("Text1").SetText(L"x");
    }
};

TEST_F(SelectionTest, AClickInAnyColumnSelectsTheRowEverywhereFirstAndLastIncluded) {
    const std::vector<std::wstring> handles{L"100", L"0", L"300", L"0", L"500"};
    for (const char* column : {"List1", "List2", "List3"}) {
        for (int row : {0, 2, 4}) {
            Reset();
            List(column).UserClick(row);
            EXPECT_EQ(Selections(), std::vector<int>(4, row)) << column << " row " << row;
            EXPECT_EQ(Box("Text2").Text(), handles[static_cast<std::size_t>(row)]);
            EXPECT_EQ(Box("Text1").Text(), std::to_wstring(10 + row));
        }
    }
    EXPECT_TRUE(toolkit.messages.empty());
}

// (A row selected again raises no click: the controls' tests.)
TEST_F(SelectionTest, ANameClickChangesNothingElse) {
    List("List1").UserClick(2);
    List("List4").UserClick(0);
    EXPECT_EQ(Selections(), (std::vector<int>{0, 2, 2, 2}));
}

TEST_F(SelectionTest, HandleSearchSelectsTheLastEqualRow) {
    Box("Text3").UserType(L"300");
    EXPECT_EQ(Selections(), std::vector<int>(4, 2));
    EXPECT_EQ(Box("Text2").Text(), L"300");
    EXPECT_EQ(Box("Text1").Text(), L"12");

    Box("Text3").UserType(L"0");  // every windowless row matches; the last wins
    EXPECT_EQ(Selections(), std::vector<int>(4, 3));
    EXPECT_EQ(Box("Text2").Text(), L"0");

    Box("Text3").UserType(L"500abc");  // digits then letters
    EXPECT_EQ(List("List2").ListIndex(), 4);

    Box("Text3").UserType(L"abc");  // no number: reads as 0
    EXPECT_EQ(List("List2").ListIndex(), 3);
}

TEST_F(SelectionTest, ASearchWithoutMatchDeselectsAndWritesNoEmptyText) {
    Box("Text3").UserType(L"100");
    Box("Text3").UserType(L"999");
    EXPECT_EQ(List("List2").ListIndex(), -1);
    EXPECT_EQ(Box("Text2").Text(), L"100");
    EXPECT_EQ(Box("Text1").Text(), L"10");

    // Emptying the box leaves the selection as it was.
    Box("Text3").UserType(L"500");
    Box("Text3").UserType(L"");
    EXPECT_EQ(Selections(), std::vector<int>(4, 4));
}

TEST_F(SelectionTest, PidSearchAlsoFillsTheHandleBox) {
    Box("Text4").UserType(L"12");
    EXPECT_EQ(Selections(), std::vector<int>(4, 2));
    EXPECT_EQ(Box("Text1").Text(), L"12");
    EXPECT_EQ(Box("Text2").Text(), L"300");
    Box("Text4").UserType(L"10");  // the first row is linked too
    EXPECT_EQ(Selections(), std::vector<int>(4, 0));
    EXPECT_EQ(Box("Text2").Text(), L"100");
}

TEST_F(SelectionTest, SearchingAnEmptyTableDoesNothing) {
    Click("Command7");
    Box("Text3").UserType(L"0");
    Box("Text4").UserType(L"0");
    EXPECT_EQ(Selections(), std::vector<int>(4, -1));
    EXPECT_EQ(Box("Text2").Text(), L"0");
    EXPECT_TRUE(toolkit.messages.empty());
}

}  // namespace
}  // namespace vindrel::testing
