// The process table of the real Wine session: refresh, refresh again, clear.
#include <gtest/gtest.h>

#include "driver.h"
#include "platform/win32/com.h"
#include "platform/win32/window_system_win32.h"
#include "table/lookup.h"

namespace vindrel::e2e {
namespace {

// The driver's own WMI listing, through the same platform layer.
std::vector<std::wstring> ListProcesses() {
    const win32::ComApartment com;
    win32::Win32WindowSystem ws;
    std::vector<std::wstring> names;
    const auto processes = ws.InstancesOf(L"WinMgmts:", L"Win32_Process");
    for (WmiObject process; processes->Next(process);)
        names.push_back(process.Name);
    return names;
}

TEST(Table, RefreshShowsTheSessionsProcessesAndNotepadsRow) {
    const Process notepad(L"notepad.exe");
    const HWND notepadWindow = notepad.WaitForWindow(L"Notepad");
    ASSERT_NE(notepadWindow, nullptr);
    const Vindrel app;
    ListProcesses();  // let WMI start whatever it starts on first use

    app.Click("Command1");
    const auto names = app.Rows("List4");
    EXPECT_EQ(names, ListProcesses());
    const auto titles = app.Rows("List1");
    const auto handles = app.Rows("List2");
    const auto pids = app.Rows("List3");
    ASSERT_EQ(titles.size(), names.size());
    ASSERT_EQ(handles.size(), names.size());
    ASSERT_EQ(pids.size(), names.size());
    EXPECT_EQ(app.Selected("List4"), static_cast<int>(names.size()) - 1);

    const std::wstring notepadPid = std::to_wstring(notepad.Id());
    int rows = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (pids[i] != notepadPid) continue;
        ++rows;
        EXPECT_EQ(names[i], L"notepad.exe");
        EXPECT_EQ(handles[i], std::to_wstring(reinterpret_cast<std::intptr_t>(notepadWindow)));
        EXPECT_EQ(titles[i], WindowText(notepadWindow));
    }
    EXPECT_EQ(rows, 1);
    // Rows without a window show no title.
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (handles[i] == L"0") {
            EXPECT_EQ(titles[i], L"无") << names[i];
        }
    }

    // Refreshing again gives the same table, not a doubled one.
    app.Click("Command1");
    EXPECT_EQ(app.Rows("List4"), names);
    EXPECT_EQ(app.Rows("List1"), titles);
    EXPECT_EQ(app.Rows("List2"), handles);
    EXPECT_EQ(app.Rows("List3"), pids);
}

TEST(Table, TwoInstancesOfOneProgramGetARowEach) {
    const Target first(L"第一个实例");
    const Target second(L"第二个实例");
    const Vindrel app;
    app.Click("Command1");
    const auto names = app.Rows("List4");
    const auto titles = app.Rows("List1");
    const auto handles = app.Rows("List2");
    const auto pids = app.Rows("List3");
    ASSERT_EQ(pids.size(), names.size());
    for (const Target* target : {&first, &second}) {
        const std::wstring pid = std::to_wstring(target->Program().Id());
        int rows = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (pids[i] != pid) continue;
            ++rows;
            EXPECT_EQ(names[i], L"target_window.exe");
            EXPECT_EQ(handles[i], HandleText(target->Window()));
            EXPECT_EQ(titles[i], WindowText(target->Window()));
        }
        EXPECT_EQ(rows, 1) << "process " << target->Program().Id();
    }
}

TEST(Table, ClearEmptiesTheListsAndLeavesTheHandleBox) {
    const Vindrel app;
    app.SetText("Text2", L"12345");
    app.Click("Command1");
    ASSERT_FALSE(app.Rows("List4").empty());
    app.Click("Command7");
    for (const char* list : {"List1", "List2", "List3", "List4"}) {
        EXPECT_TRUE(app.Rows(list).empty()) << list;
    }
    EXPECT_EQ(app.Text("Text2"), L"12345");
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
}

}  // namespace
}  // namespace vindrel::e2e
