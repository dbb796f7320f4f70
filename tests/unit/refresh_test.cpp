#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "fakes/fake_world.h"
#include "platform/step_error.h"
#include "platform/text.h"
#include "table/process_table.h"

namespace vindrel::testing {
namespace {

constexpr LayoutRow kLists[] = {
    {"List4", ControlKind::ListBox, "Form1", L"", {}, 13},
    {"List1", ControlKind::ListBox, "Form1", L"", {}, 1},
    {"List2", ControlKind::ListBox, "Form1", L"", {}, 2},
    {"List3", ControlKind::ListBox, "Form1", L"", {}, 7},
};

// Four fresh lists forming one table.
struct Table {
    explicit Table(FakeToolkit& toolkit) {
        for (const auto& row : kLists)
            owned.push_back(toolkit.CreateListBox(row));
    }
    ProcessTable View() { return {*owned[0], *owned[1], *owned[2], *owned[3]}; }
    std::vector<std::vector<std::wstring>> Columns() const {
        std::vector<std::vector<std::wstring>> columns;
        for (const auto& list : owned)
            columns.push_back(dynamic_cast<FakeListBox&>(*list).Rows());
        return columns;
    }
    std::vector<std::unique_ptr<ListBox>> owned;
};

// A world with the cases the two refreshes must agree on.
void Populate(FakeWindowSystem& ws) {
    ws.processes = {
        {4, ToAnsi(L"System")},        {10, ToAnsi(L"notepad.exe")},
        {11, ToAnsi(L"svc.exe")},       // no window
        {12, ToAnsi(L"NOTEPAD.EXE")},   // same name in other case
        {13, ToAnsi(L"popups.exe")},    // only owned pop-ups
        {14, ToAnsi(L"记事本.exe")},    // two top-level windows
        {15, ToAnsi(L"untitled.exe")},  // a window with no title
        {16, ToAnsi(L"表情😀.exe")},     // the code page has no 😀: "表情?.exe"
        {17, ToAnsi(L"Mixed.exe")},     // listed by WMI in capitals, without an id
        {77, ToAnsi(L"idle.exe")},      // WMI gives another process of this name id 0
    };
    ws.AddWindow(1000, 10, "first notepad");
    ws.AddWindow(1001, 14, ToAnsi(L"中文标题"));
    auto& popup = ws.AddWindow(1002, 13, "popup");
    popup.popup = true;
    popup.owner = 1000;
    ws.AddWindow(1003, 12, "second notepad");
    ws.AddWindow(1004, 15, "");
    auto& child = ws.AddWindow(1005, 11, "child of another");
    child.parent = 1003;
    ws.AddWindow(1006, 14, "later window");  // not the first of its process
    ws.AddWindow(1007, 16, "emoji");
    // gone.exe ended before the window walk; notepad.exe, nameless.exe and
    // MIXED.EXE came without a ProcessId (notepad.exe resolves by name to the
    // last notepad, nameless.exe to no process at all, MIXED.EXE whatever its
    // case); id 0 is an id like any other, not a missing one.
    ws.wmiObjects = {
        {L"System", 4},      {L"notepad.exe", 10}, {L"svc.exe", 11},  {L"Notepad.exe", 12},
        {L"popups.exe", 13}, {L"记事本.exe", 14},  {L"gone.exe", 99}, {L"untitled.exe", 15},
        {L"表情😀.exe", 16},  {L"notepad.exe"},     {L"nameless.exe"}, {L"MIXED.EXE"},
        {L"idle.exe", 0},
    };
}

std::vector<std::wstring> Names(const FakeWindowSystem& ws) {
    std::vector<std::wstring> names;
    for (const WmiObject& object : ws.wmiObjects)
        names.push_back(object.Name);
    return names;
}

class RefreshTest : public ::testing::Test {
protected:
    FakeToolkit toolkit;
    FakeWindowSystem ws;
    Table fast{toolkit};
    Table reference{toolkit};
};

TEST_F(RefreshTest, EachRowDescribesItsOwnProcess) {
    Populate(ws);
    auto table = fast.View();
    Refresh(table, ws, ws.wmiObjects);
    const auto columns = fast.Columns();
    EXPECT_EQ(columns[0], Names(ws));
    EXPECT_EQ(columns[1], (std::vector<std::wstring>{
                              L"无", L"first notepad", L"无", L"second notepad", L"无", L"中文标题",
                              L"无", L"无", L"emoji", L"second notepad", L"无", L"无", L"无"}));
    EXPECT_EQ(columns[2],
              (std::vector<std::wstring>{L"0", L"1000", L"0", L"1003", L"0", L"1001", L"0", L"1004",
                                         L"1007", L"1003", L"0", L"0", L"0"}));
    EXPECT_EQ(columns[3], (std::vector<std::wstring>{L"4", L"10", L"11", L"12", L"13", L"14", L"99",
                                                     L"15", L"16", L"12", L"0", L"17", L"0"}));
    EXPECT_EQ(table.List4.ListIndex(), 12);
    EXPECT_EQ(table.List1.ListIndex(), -1);
    EXPECT_EQ(table.List2.ListIndex(), -1);
    EXPECT_EQ(table.List3.ListIndex(), -1);
}

TEST_F(RefreshTest, GivesThePerRowTableWithOneWalkOfEachKind) {
    Populate(ws);
    auto fastTable = fast.View();
    auto referenceTable = reference.View();
    RefreshPerRow(referenceTable, ws, ws.wmiObjects);
    ws.calls.clear();
    Refresh(fastTable, ws, ws.wmiObjects);
    EXPECT_EQ(fast.Columns(), reference.Columns());
    EXPECT_EQ(fastTable.List4.ListIndex(), referenceTable.List4.ListIndex());
    EXPECT_EQ(ws.calls["CreateToolhelp32Snapshot"], 1);  // for the rows without an id
    EXPECT_EQ(ws.calls["FindWindowA"], 1);
    EXPECT_EQ(ws.OpenSnapshots(), 0);

    // Refreshing again gives the same table, not a doubled one.
    Refresh(fastTable, ws, ws.wmiObjects);
    EXPECT_EQ(fast.Columns(), reference.Columns());
}

TEST_F(RefreshTest, WalksEachSourceOnceWhateverTheProcessCount) {
    for (int processes : {1, 10, 1000}) {
        FakeWindowSystem session;
        PopulateSession(session, processes);
        auto table = fast.View();
        Refresh(table, session, session.wmiObjects);
        EXPECT_EQ(table.List4.ListCount(), processes);
        // Every object has its id: no snapshot is needed.
        EXPECT_EQ(session.calls["CreateToolhelp32Snapshot"], 0) << processes;
        EXPECT_EQ(session.calls["FindWindowA"], 1) << processes;
        // One title read per distinct window shown (and one for "none").
        EXPECT_LE(session.calls["GetWindowTextA"], processes / 2 + 1) << processes;
    }
}

TEST_F(RefreshTest, AgreesOnEmptyListingsAndFailedSnapshots) {
    auto fastTable = fast.View();
    auto referenceTable = reference.View();
    Refresh(fastTable, ws, {});  // no processes at all
    EXPECT_EQ(fast.Columns(), std::vector<std::vector<std::wstring>>(4));
    EXPECT_EQ(fastTable.List4.ListIndex(), -1);

    Populate(ws);
    ws.snapshotFails = true;  // the rows without an id resolve to 0
    Refresh(fastTable, ws, ws.wmiObjects);
    RefreshPerRow(referenceTable, ws, ws.wmiObjects);
    EXPECT_EQ(fast.Columns(), reference.Columns());
    const auto pids = fast.Columns()[3];
    EXPECT_EQ(pids[1], L"10");
    EXPECT_EQ(pids[9], L"0");
}

}  // namespace
}  // namespace vindrel::testing
