#include "table/lookup.h"

#include <gtest/gtest.h>

#include "fakes/fake_toolkit.h"
#include "fakes/fake_window_system.h"
#include "platform/step_error.h"
#include "platform/text.h"
#include "platform/wmi_listing.h"

namespace vindrel::testing {
namespace {

class LookupTest : public ::testing::Test {
protected:
    void AddProcess(Pid pid, const std::wstring& exe) {
        ws.processes.push_back({pid, ToAnsi(exe)});
    }
    FakeWindowSystem ws;
};

TEST_F(LookupTest, GetPsPidTakesTheLastProcessOfANameIgnoringCase) {
    AddProcess(4, L"System");
    AddProcess(10, L"notepad.exe");
    AddProcess(11, L"other.exe");
    AddProcess(12, L"NOTEPAD.EXE");
    AddProcess(13, L"记事本.exe");
    EXPECT_EQ(GetPsPid(ws, L"notepad.exe"), 12);
    EXPECT_EQ(GetPsPid(ws, L"Notepad.Exe"), 12);
    EXPECT_EQ(GetPsPid(ws, L"记事本.EXE"), 13);
    EXPECT_EQ(GetPsPid(ws, L"notepad"), 0);  // exact match only
    EXPECT_EQ(GetPsPid(ws, L"missing.exe"), 0);
    EXPECT_EQ(GetPsPid(ws, L""), 0);
    // Every walk closed its snapshot.
    EXPECT_EQ(ws.OpenSnapshots(), 0);
    EXPECT_EQ(ws.calls["CreateToolhelp32Snapshot"], ws.calls["CloseHandle"]);
}

TEST_F(LookupTest, GetPsPidWithNamesTheCodePageCannotHold) {
    // The snapshot gives the name in the ANSI code page, where a character
    // it lacks became '?': it no longer matches its Unicode name.
    AddProcess(20, L"\u0E01.exe");
    EXPECT_EQ(GetPsPid(ws, L"\u0E01.exe"), 0);
    EXPECT_EQ(GetPsPid(ws, L"?.exe"), 20);
}

TEST_F(LookupTest, GetPsPidGivesZeroWhenTheSnapshotFails) {
    AddProcess(10, L"a.exe");
    ws.snapshotFails = true;
    EXPECT_EQ(GetPsPid(ws, L"a.exe"), 0);
    EXPECT_EQ(ws.calls["Process32First"], 0);
    EXPECT_EQ(ws.calls["CloseHandle"], 0);
}

TEST_F(LookupTest, InstanceToWndTakesTheFirstWindowWhoseParentIsZero) {
    auto& popup = ws.AddWindow(100, 7);  // owned pop-up: GetParent gives its owner
    popup.popup = true;
    popup.owner = 300;
    auto& child = ws.AddWindow(101, 7);  // a child window is not top-level
    child.parent = 300;
    auto& hidden = ws.AddWindow(200, 7);  // hidden, but first to pass the test
    hidden.visible = false;
    ws.AddWindow(300, 7, "main");
    auto& ownedOverlapped = ws.AddWindow(400, 8);  // owned but not a pop-up: GetParent gives 0
    ownedOverlapped.owner = 500;
    ws.AddWindow(500, 8);
    auto& onlyPopup = ws.AddWindow(600, 9);
    onlyPopup.popup = true;
    onlyPopup.owner = 500;

    EXPECT_EQ(InstanceToWnd(ws, 7), 200);
    EXPECT_EQ(InstanceToWnd(ws, 8), 400);
    EXPECT_EQ(InstanceToWnd(ws, 9), 0);  // its only window is an owned pop-up
    EXPECT_EQ(InstanceToWnd(ws, 0), 0);
    EXPECT_EQ(InstanceToWnd(ws, 42), 0);
}

TEST_F(LookupTest, HwndToTitleReadsAtMost255BytesUpToTheFirstNul) {
    ws.AddWindow(1, 1, ToAnsi(L"无标题 - 记事本"));
    ws.AddWindow(2, 1, std::string("ab\0cd", 5));
    // 127 double-byte characters and one byte more: 255 bytes end inside
    // the 128th character, which is dropped whole.
    ws.AddWindow(3, 1, ToAnsi(std::wstring(200, L'中')));
    ws.AddWindow(4, 1, std::string(300, 'x'));
    ws.AddWindow(5, 1, "x" + ToAnsi(std::wstring(200, L'中')));
    EXPECT_EQ(HwndToTitle(ws, 1), L"无标题 - 记事本");
    EXPECT_EQ(HwndToTitle(ws, 2), L"ab");
    EXPECT_EQ(HwndToTitle(ws, 3), std::wstring(127, L'中'));
    EXPECT_EQ(HwndToTitle(ws, 4), std::wstring(255, L'x'));
    EXPECT_EQ(HwndToTitle(ws, 5), L"x" + std::wstring(127, L'中'));
    EXPECT_EQ(HwndToTitle(ws, 0), L"");
    EXPECT_EQ(HwndToTitle(ws, 999), L"");
    EXPECT_EQ(ws.log.back(), "GetWindowTextA(999,256)");
}

// WMI's list where it works; where it fails, at any step, the snapshot's
// names and ids in snapshot order, with why; nothing WMI held is kept.
TEST_F(LookupTest, ListProcessesFallsBackToTheSnapshotWhereWmiFails) {
    AddProcess(11, L"记事本.exe");  // snapshot order: by neither id nor name
    AddProcess(10, L"b.exe");
    ws.wmiObjects = {{L"wmi.exe", 7}, {L"nameless.exe"}};
    WmiListing wmi(ws, kListingDeadline, std::make_shared<PlainCompletions>());
    const ProcessList listed = ListProcesses(wmi, ws);
    EXPECT_FALSE(listed.wmiFailure);
    ASSERT_EQ(listed.processes.size(), 2u);
    EXPECT_EQ(listed.processes[1].Name, L"nameless.exe");
    EXPECT_FALSE(listed.processes[1].ProcessId);

    const auto snapshotted = [&] {
        const ProcessList substitute = ListProcesses(wmi, ws);
        std::vector<std::pair<std::wstring, Pid>> rows;
        for (const WmiObject& process : substitute.processes)
            rows.emplace_back(process.Name, process.ProcessId.value_or(-1));
        EXPECT_TRUE(substitute.wmiFailure);
        return std::pair(rows, substitute.wmiFailure ? substitute.wmiFailure->Code() : 0);
    };
    const std::vector<std::pair<std::wstring, Pid>> fromSnapshot{{L"记事本.exe", 11},
                                                                 {L"b.exe", 10}};
    ws.wmiQueryFailures = {0x80041003};
    EXPECT_EQ(snapshotted(), std::pair(fromSnapshot, 0x80041003u));
    WmiListing unconnected(ws, kListingDeadline, std::make_shared<PlainCompletions>());
    ws.wmiConnectFailures = {0x80070005};
    const ProcessList refused = ListProcesses(unconnected, ws);
    ASSERT_TRUE(refused.wmiFailure);
    EXPECT_NE(SnapshotNotice(*refused.wmiFailure).find(L"ConnectServer 失败（HRESULT 0x80070005）"),
              std::wstring::npos);
    EXPECT_EQ(refused.processes.size(), 2u);

    ws.wmiQueryFailures = {0x80041003};
    ws.snapshotFails = true;
    EXPECT_THROW(ListProcesses(wmi, ws), StepError);
    ASSERT_TRUE(wmi.WaitIdle(std::chrono::seconds(5)));
    EXPECT_EQ(ws.liveWmiCollections, 0);  // released although the walk failed
    EXPECT_EQ(ws.OpenSnapshots(), 0);
}

}  // namespace
}  // namespace vindrel::testing
