#include "platform/tab_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ui/layout.h"

namespace vindrel::testing {
namespace {

// The layout's controls in tab order, as the main window holds them, with
// the start-up state: the hidden ones (and what their frames hold)
// unavailable, Option1 chosen.
class TabOrderTest : public ::testing::Test {
protected:
    TabOrderTest() {
        for (const LayoutRow& row : layout::kControls) {
            if (row.kind != ControlKind::Timer) entries.push_back({&row, true, false});
        }
        std::stable_sort(entries.begin(), entries.end(), [](const TabEntry& a, const TabEntry& b) {
            return a.row->tab < b.row->tab;
        });
        for (auto& entry : entries) {
            entry.chosen = entry.row->kind == ControlKind::OptionButton && entry.row->value != 0;
            const std::set<std::string_view> hidden{"Command6", "Command14", "Command18",
                                                    "Frame5",   "Frame6",    "Label9"};
            if (hidden.count(entry.row->name) || hidden.count(entry.row->container)) {
                entry.available = false;
            }
        }
    }
    int Index(std::string_view name) const {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].row->name == name) return static_cast<int>(i);
        }
        return -1;
    }
    TabEntry& Entry(std::string_view name) {
        return entries[static_cast<std::size_t>(Index(name))];
    }
    // The names Tab visits from a control until it comes back to it.
    std::vector<std::string_view> Round(std::string_view from, bool forward) const {
        std::vector<std::string_view> names;
        int at = Index(from);
        do {
            at = NextTabStop(entries, at, forward);
            names.push_back(entries[static_cast<std::size_t>(at)].row->name);
        } while (names.size() < 100 && names.back() != from);
        return names;
    }

    std::vector<TabEntry> entries;
};

TEST_F(TabOrderTest, TabVisitsTheAvailableControlsInTabOrderAcrossFramesAndWraps) {
    const std::vector<std::string_view> forward{
        "List1",    "List2", "Text2",     "List3",     "Command7",  "Command9",  "List4",
        "Text3",    "Text4", "Check1",    "Command21", "Command19", "Command17", "Command8",
        "Command4", "Text5", "Command22", "HScroll2",  "Option1",   "Command1"};
    EXPECT_EQ(Round("Command1", true), forward);
    // Shift+Tab: the same round backwards.
    std::vector<std::string_view> backward(forward.rbegin() + 1, forward.rend());
    backward.push_back("Command1");
    EXPECT_EQ(Round("Command1", false), backward);
    // From no focus at all: the first and the last stop.
    EXPECT_EQ(NextTabStop(entries, -1, true), Index("Command1"));
    EXPECT_EQ(NextTabStop(entries, -1, false), Index("Option1"));
}

TEST_F(TabOrderTest, OnlyTheChosenOptionOfAGroupIsATabStop) {
    Entry("Option1").chosen = false;
    Entry("Option2").chosen = true;
    EXPECT_EQ(NextTabStop(entries, Index("HScroll2"), true), Index("Option2"));
    EXPECT_EQ(NextTabStop(entries, Index("Command1"), false), Index("Option2"));
    // None chosen: the first available option stands for the group.
    Entry("Option2").chosen = false;
    EXPECT_EQ(NextTabStop(entries, Index("HScroll2"), true), Index("Option1"));
    EXPECT_EQ(NextTabStop(entries, Index("Option1"), true), Index("Command1"));
    Entry("Option1").available = false;
    EXPECT_EQ(NextTabStop(entries, Index("HScroll2"), true), Index("Option2"));
}

TEST_F(TabOrderTest, ArrowsMoveBetweenTheOptionsOfOneGroupOnly) {
    EXPECT_EQ(NextOption(entries, Index("Option1"), true), Index("Option2"));
    EXPECT_EQ(NextOption(entries, Index("Option2"), true), Index("Option1"));  // wraps
    EXPECT_EQ(NextOption(entries, Index("Option1"), false), Index("Option2"));
    Entry("Option2").available = false;
    EXPECT_EQ(NextOption(entries, Index("Option1"), true), Index("Option1"));
}

TEST_F(TabOrderTest, ASingleStopIsItsOwnNextAndGroupsInOtherFramesStayApart) {
    for (auto& entry : entries)
        entry.available = entry.row->name == "Text2";
    EXPECT_EQ(NextTabStop(entries, Index("Text2"), true), Index("Text2"));
    EXPECT_EQ(NextTabStop(entries, Index("Text2"), false), Index("Text2"));
    EXPECT_EQ(NextTabStop(entries, -1, true), Index("Text2"));

    // Two groups of options, one per frame, each with its own stop.
    constexpr LayoutRow kRows[] = {
        {"FrameA", ControlKind::Frame, "Form1", L"", {}, 0},
        {"A1", ControlKind::OptionButton, "FrameA", L"", {}, 1},
        {"A2", ControlKind::OptionButton, "FrameA", L"", {}, 2},
        {"FrameB", ControlKind::Frame, "Form1", L"", {}, 3},
        {"B1", ControlKind::OptionButton, "FrameB", L"", {}, 4},
        {"B2", ControlKind::OptionButton, "FrameB", L"", {}, 5},
    };
    std::vector<TabEntry> groups;
    for (const LayoutRow& row : kRows)
        groups.push_back({&row, true, row.name == "A2" || row.name == "B1"});
    EXPECT_EQ(NextTabStop(groups, 2, true), 4);  // A2, the chosen of A, then B1
    EXPECT_EQ(NextTabStop(groups, 4, true), 2);
    EXPECT_EQ(NextOption(groups, 2, true), 1);  // within A, wrapping
    EXPECT_EQ(NextOption(groups, 1, false), 2);
    EXPECT_EQ(NextOption(groups, 4, false), 5);  // within B
    groups[5].available = false;
    EXPECT_EQ(NextOption(groups, 4, true), 4);
}

TEST_F(TabOrderTest, NoStopWhenNothingCanTakeTheFocus) {
    for (auto& entry : entries)
        entry.available = false;
    EXPECT_EQ(NextTabStop(entries, -1, true), -1);
    EXPECT_EQ(NextTabStop(entries, Index("Command1"), false), -1);
    EXPECT_EQ(NextTabStop(std::span<const TabEntry>{}, -1, true), -1);
}

}  // namespace
}  // namespace vindrel::testing
