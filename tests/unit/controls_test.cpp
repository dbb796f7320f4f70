// The event rules of the control layer, on the in-memory controls. The Win32
// controls share the rules (they live in the base classes) and are checked
// end to end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_toolkit.h"

namespace vindrel::testing {
namespace {

constexpr LayoutRow kList{"L", ControlKind::ListBox, "Form1", L"", {}, 1};
constexpr LayoutRow kOther{"M", ControlKind::ListBox, "Form1", L"", {}, 2};
constexpr LayoutRow kText{"T", ControlKind::TextBox, "Form1", L"0", {}, 3};
// A scroll bar from 0 to 51 at 51; an option chosen from the start.
constexpr LayoutRow kScroll = [] {
    LayoutRow row{"S", ControlKind::ScrollBar, "Form1", L"", {}, 4};
    row.max = row.value = 51;
    return row;
}();
constexpr LayoutRow kFrame{"F", ControlKind::Frame, "Form1", L"", {}, 5};
constexpr LayoutRow kCheck{"C", ControlKind::CheckBox, "F", L"", {}, 6};
constexpr LayoutRow kFast = [] {
    LayoutRow row{"O1", ControlKind::OptionButton, "F", L"", {}, 7};
    row.value = 1;
    return row;
}();
constexpr LayoutRow kSlow{"O2", ControlKind::OptionButton, "F", L"", {}, 8};

class ControlsTest : public ::testing::Test {
protected:
    void Note(std::string_view what, int value) {
        events.push_back(std::string(what).append(std::to_string(value)));
    }
    FakeToolkit toolkit;
    std::vector<std::string> events;
};

TEST_F(ControlsTest, SelectingARowRaisesClickAtOnceNestedInTheCaller) {
    auto list = toolkit.CreateListBox(kList);
    auto other = toolkit.CreateListBox(kOther);
    for (auto* l : {list.get(), other.get()}) {
        l->AddItem(L"a");
        l->AddItem(L"b");
    }
    // The click of one list selects a row of the other, whose click comes
    // back and selects the same row of the first: no further click.
    list->Click.Connect([&] {
        Note("L", list->ListIndex());
        other->SetListIndex(list->ListIndex());
        events.push_back("L-end");
    });
    other->Click.Connect([&] {
        Note("M", other->ListIndex());
        list->SetListIndex(other->ListIndex());
    });
    list->SetListIndex(1);
    EXPECT_EQ(events, (std::vector<std::string>{"L1", "M1", "L-end"}));
}

TEST_F(ControlsTest, ReselectingDeselectingAppendingAndClearingRaiseNothing) {
    auto owned = toolkit.CreateListBox(kList);
    auto& list = dynamic_cast<FakeListBox&>(*owned);
    list.Click.Connect([&] { Note("click", list.ListIndex()); });
    list.AddItem(L"a");
    list.AddItem(L"b");
    list.SetListIndex(0);
    list.SetListIndex(0);        // the selected row again
    list.SetSelected(1, false);  // not the selected row: no change
    EXPECT_EQ(list.ListIndex(), 0);
    list.SetSelected(0, false);  // deselecting from code
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetSelected(1, true);
    list.UserClick(1);     // the user clicks the selected row
    list.UserClick(0);     // the user selects another row
    list.SetListIndex(2);  // one past the last row: ignored
    list.SetListIndex(5);  // names no row: ignored
    list.SetListIndex(-2);
    EXPECT_EQ(list.ListIndex(), 0);
    list.Clear();
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.ListCount(), 0);
    // After a clear, selecting row 0 of the new rows is a new selection.
    list.AddItem(L"c");
    list.UserClick(0);
    EXPECT_EQ(events, (std::vector<std::string>{"click0", "click1", "click0", "click0"}));
}

TEST_F(ControlsTest, TextBoxRaisesChangeOnEveryChangeTypedOrSet) {
    auto owned = toolkit.CreateTextBox(kText);
    auto& text = dynamic_cast<FakeTextBox&>(*owned);
    text.Change.Connect([&] {
        const std::wstring now = text.Text();
        events.push_back(std::string(now.begin(), now.end()));
    });
    EXPECT_EQ(text.Text(), L"0");
    text.SetText(L"0");  // no change
    text.SetText(L"12");
    text.UserType(L"123");
    text.UserType(L"123");  // a notification without a change
    text.SetText(L"");
    EXPECT_EQ(events, (std::vector<std::string>{"12", "123", ""}));
}

TEST_F(ControlsTest, ScrollBarStepsByOneAndReportsMovesAndTheEndOfADrag) {
    auto owned = toolkit.CreateScrollBar(kScroll);
    auto& bar = dynamic_cast<FakeScrollBar&>(*owned);
    bar.Change.Connect([&] { events.push_back(std::to_string(bar.Value())); });
    bar.UserStep(+1);  // at the maximum already: no move, no change
    bar.UserStep(-1);
    bar.UserStep(-1);
    bar.UserDrag(10);  // the thumb moves, the value does not
    bar.UserDrag(3);
    EXPECT_EQ(bar.Value(), 49);
    bar.UserRelease();
    bar.SetValue(-4);  // clamped
    bar.SetValue(0);   // already there
    EXPECT_EQ(events, (std::vector<std::string>{"50", "49", "3", "0"}));
    EXPECT_EQ(bar.Thumb(), 0);
}

TEST_F(ControlsTest, CheckBoxTogglesAndOptionsExcludeOneAnother) {
    auto frame = toolkit.CreateFrame(kFrame);
    auto check = toolkit.CreateCheckBox(kCheck);
    auto fast = toolkit.CreateOptionButton(kFast);
    auto slow = toolkit.CreateOptionButton(kSlow);
    check->Click.Connect([&] { Note("check", check->Value()); });
    fast->Click.Connect([&] { events.push_back("fast"); });
    slow->Click.Connect([&] { events.push_back("slow"); });
    toolkit.Get<FakeCheckBox>("C").UserClick();
    toolkit.Get<FakeCheckBox>("C").UserClick();
    check->SetValue(0);                               // unchanged: no click
    toolkit.Get<FakeOptionButton>("O1").UserClick();  // already chosen
    toolkit.Get<FakeOptionButton>("O2").UserClick();
    EXPECT_FALSE(fast->Value());
    EXPECT_TRUE(slow->Value());
    toolkit.Get<FakeOptionButton>("O1").UserClick();
    EXPECT_EQ(events, (std::vector<std::string>{"check1", "check0", "slow", "fast"}));
    // Hiding the frame hides what it holds, which keeps its own flag.
    frame->SetVisible(false);
    EXPECT_TRUE(check->Visible());
    EXPECT_FALSE(toolkit.Shown("C"));
}

}  // namespace
}  // namespace vindrel::testing
