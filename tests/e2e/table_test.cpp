// The process table of the real Wine session: refresh, refresh again, clear.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"
#include "platform/win32/window_system_win32.h"
#include "platform/wmi_listing.h"
#include "table/lookup.h"

namespace vindrel::e2e {
namespace {

// The driver's own WMI listing, through the same platform layer.
std::vector<std::wstring> ListProcesses() {
    win32::Win32WindowSystem ws;
    WmiListing wmi(ws, kListingDeadline, std::make_shared<PlainCompletions>());
    std::vector<std::wstring> names;
    for (const WmiObject& process : wmi.List())
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

// A copy of the program under a name of its own, for which Wine loads no
// WMI provider (a per-program DLL override): WMI is missing for it alone.
class WithoutWmi {
public:
    WithoutWmi() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"vindrel-nowmi-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir_.c_str(), nullptr);
        exe_ = dir_ + L"\\" + kName;
        CopyFileW(SiblingPath(L"Vindrel.exe").c_str(), exe_.c_str(), FALSE);
        const wchar_t disabled[] = L"disabled";
        RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"wbemprox", REG_SZ, disabled,
                        sizeof disabled);
    }
    ~WithoutWmi() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
        DeleteFileW(exe_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    const std::wstring& Exe() const { return exe_; }
    static constexpr wchar_t kName[] = L"VindrelNoWmi.exe";

private:
    static constexpr wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\VindrelNoWmi.exe";
    static constexpr wchar_t kOverrides[] =
        L"Software\\Wine\\AppDefaults\\VindrelNoWmi.exe\\DllOverrides";
    std::wstring dir_;
    std::wstring exe_;
};

TEST(Table, WithoutWmiTheSnapshotFillsTheTableAndTheUserIsToldOnce) {
    const WithoutWmi copy;
    const Target target(L"快照里的窗口");
    const Vindrel app(copy.Exe());
    app.PostClick("Command1");
    const MessageBoxSeen seen = WaitForMessageBox(app.Program().Id(), 8000ms);
    ASSERT_NE(seen.box, nullptr);
    EXPECT_NE(seen.text.find(L"HRESULT 0x"), std::wstring::npos) << seen.text;
    EXPECT_NE(seen.text.find(L"进程快照"), std::wstring::npos) << seen.text;
    // The table is written before the message: the test's own window and
    // the program's own process, each on its row.
    const auto names = app.Rows("List4");
    const auto handles = app.Rows("List2");
    const auto pids = app.Rows("List3");
    ASSERT_EQ(handles.size(), names.size());
    ASSERT_EQ(pids.size(), names.size());
    const auto rowOf = [&](DWORD pid) {
        const auto found = std::find(pids.begin(), pids.end(), std::to_wstring(pid));
        return found == pids.end() ? std::size_t{0}
                                   : static_cast<std::size_t>(found - pids.begin()) + 1;
    };
    const std::size_t targetRow = rowOf(target.Program().Id());
    ASSERT_NE(targetRow, 0u);
    EXPECT_EQ(names[targetRow - 1], L"target_window.exe");
    EXPECT_EQ(handles[targetRow - 1], HandleText(target.Window()));
    const std::size_t ownRow = rowOf(app.Program().Id());
    ASSERT_NE(ownRow, 0u);
    EXPECT_EQ(names[ownRow - 1], WithoutWmi::kName);
    EXPECT_EQ(handles[ownRow - 1], HandleText(app.Main()));
    ASSERT_TRUE(CloseMessageBox(seen));

    app.Click("Command1");
    EXPECT_FALSE(AnyMessageBox(app.Program().Id()));
    EXPECT_EQ(app.Rows("List4").size(), names.size());
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

}  // namespace
}  // namespace vindrel::e2e
