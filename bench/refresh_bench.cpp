// Refresh speed and start-up under Wine, in one run and one Wine session.
//
// For each count P of extra processes it times, as medians:
//   refresh  - a click of "刷新列表" in the running Vindrel.exe (SendMessage
//              BM_CLICK returns when the handling has ended);
//   floor    - one WMI listing and one walk of the top-level windows with
//              their titles, through the platform layer;
//   per-row  - the row-by-row algorithm by name (for each row GetPsPid, a
//              fresh snapshot walk, and InstanceToWnd, a window walk) through
//              the same platform layer;
// checks that the refresh gives the table of the row-by-row reference
// (RefreshPerRow), and then times Vindrel's start-up against a minimal
// one-window program. With --list-windows N extra top-level windows, it
// times the window list: an update (刷新) and a re-filter for one typed
// character, against the floor of reading every window (ReadWindows).
// With --boss N it times the boss key on a program with N shown windows:
// from the key sent to the last window hidden, and back, against the floor
// of N bare ShowWindow calls from one thread and one write of the record.
// With --commands 1 it times a command of the command line from start to
// exit, alone and handed to a running copy, against a windowless program.
//
//   refresh_bench.exe [--counts 0,50,200] [--reps 5] [--per-row-up-to 200]
//                     [--list-windows 2000] [--boss 20] [--commands 1]
// The row-by-row algorithm is quadratic: above --per-row-up-to processes it
// is not timed ("-").
#include <windows.h>
// after windows.h
#include <psapi.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "actions/boss_settings.h"
#include "driver.h"
#include "fakes/fake_process_rights.h"
#include "fakes/fake_record_store.h"
#include "fakes/fake_toolkit.h"
#include "fakes/fake_world.h"
#include "platform/conversions.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/record_store_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/window_system_win32.h"
#include "platform/wmi_listing.h"
#include "table/lookup.h"
#include "table/process_table.h"
#include "table/window_reading.h"
#include "ui/form1.h"
#include "ui/layout.h"

namespace {

using namespace vindrel;
using Clock = std::chrono::steady_clock;

// In-memory list boxes, for the algorithms the benchmark runs itself.
constexpr LayoutRow kMemoryList{"MemoryList", ControlKind::ListBox, "Form1", L"", {}, 1};

std::unique_ptr<ListBox> MemoryList(testing::FakeToolkit& toolkit) {
    return toolkit.CreateListBox(kMemoryList);
}

const std::vector<std::wstring>& Rows(const std::unique_ptr<ListBox>& list) {
    return dynamic_cast<const testing::FakeListBox&>(*list).Rows();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MedianMs(int reps, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < reps; ++i)
        times.push_back(Milliseconds(work));
    return Median(times);
}

std::vector<int> ParseCounts(const std::wstring& text) {
    std::vector<int> counts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(L',', start);
        counts.push_back(std::stoi(text.substr(start, comma - start)));
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    std::sort(counts.begin(), counts.end());
    return counts;
}

// Copies of the child program under a few names, so that many processes
// share each executable name.
class ChildNames {
public:
    static constexpr int kNames = 8;
    ChildNames() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"vindrel-bench-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir_.c_str(), nullptr);
        const std::wstring source = e2e::SiblingPath(L"bench_child.exe");
        for (int i = 0; i < kNames; ++i) {
            paths_.push_back(dir_ + L"\\bench_child_" + std::to_wstring(i) + L".exe");
            CopyFileW(source.c_str(), paths_.back().c_str(), FALSE);
        }
    }
    ~ChildNames() {
        for (const auto& path : paths_)
            DeleteFileW(path.c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    const std::wstring& Path(int i) const { return paths_[static_cast<std::size_t>(i % kNames)]; }

private:
    std::wstring dir_;
    std::vector<std::wstring> paths_;
};

int CountTopLevelWindows(WindowSystem& ws) {
    int count = 0;
    ForEachTopLevelWindow(ws, [&](Hwnd, Pid) {
        ++count;
        return true;
    });
    return count;
}

// The platform's floor for one refresh: the listing and the window walk
// once each, with the titles.
void Floor(WindowSystem& ws, WmiListing& wmi, testing::FakeToolkit& toolkit) {
    const auto names = MemoryList(toolkit);
    AppendNames(*names, wmi.List());
    ForEachTopLevelWindow(ws, [&](Hwnd window, Pid) {
        HwndToTitle(ws, window);
        return true;
    });
}

// Each row's process id looked up by its name, its window by a walk.
void PerRowByName(ProcessTable& table, WindowSystem& ws, WmiListing& wmi) {
    Clear(table);
    AppendNames(table.List4, wmi.List());
    for (int row = 0; row < table.List4.ListCount(); ++row) {
        const Pid pid = GetPsPid(ws, table.List4.List(row));
        const Hwnd window = InstanceToWnd(ws, pid);
        const std::wstring title = HwndToTitle(ws, window);
        table.List3.AddItem(DecimalText(pid));
        table.List2.AddItem(DecimalText(window));
        table.List1.AddItem(title.empty() ? L"无" : title);
    }
}

std::vector<std::vector<std::wstring>> VindrelTable(const e2e::Vindrel& app) {
    return {app.Rows("List4"), app.Rows("List1"), app.Rows("List2"), app.Rows("List3")};
}

// What the four list boxes cost: the main window built in this process,
// over a fake platform of P processes whose calls cost next to nothing, so
// that a refresh is the list-box work alone (the handling), and the paint
// it leaves for the message loop, forced right after.
struct ListBoxCost {
    double handling;
    double painting;
};

// The main window built and shown in this process over a given platform,
// its record and rights faked; no message loop runs.
struct LocalForm {
    explicit LocalForm(WindowSystem& ws)
        : wmi(ws, kListingDeadline, std::make_shared<PlainCompletions>()),
          form(toolkit, toolkit, ws, wmi, rights, folder, lifetimes) {
        form.Form_Load();
        ShowWindow(main, SW_SHOW);
        UpdateWindow(main);
    }
    win32::Win32Toolkit toolkit{GetModuleHandleW(nullptr), 0, 0};
    WmiListing wmi;
    testing::FakeProcessRights rights;
    testing::FakeRecordFolder folder;
    testing::FakeLifetimes lifetimes;
    Form1 form;
    const HWND main = reinterpret_cast<HWND>(static_cast<std::intptr_t>(form.Window().hWnd()));
};

ListBoxCost ListBoxWork(int processes, int reps) {
    testing::FakeWindowSystem ws;
    testing::PopulateSession(ws, processes);
    const LocalForm local(ws);
    const HWND main = local.main;
    const HWND button = GetDlgItem(main, ControlId(layout::Find("Command1")));
    std::vector<double> handling, painting;
    for (int i = 0; i < reps; ++i) {
        ws.log.clear();
        handling.push_back(Milliseconds([&] { SendMessageW(button, BM_CLICK, 0, 0); }));
        painting.push_back(Milliseconds(
            [&] { RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }));
    }
    return {Median(handling), Median(painting)};
}

double PeakWorkingSetMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!K32GetProcessMemoryInfo(process, &memory, sizeof memory)) return 0;
    return static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// The window list over a real session with `extra` more top-level windows
// (of one helper process): the main window and its list built in this
// process, so that what is timed is the handling alone, with no message
// loop (and no refresh tick) running alongside. Then the peak working set
// of a running Vindrel.exe with its list open.
void WindowListWork(int extra, int reps) {
    e2e::Process helper(L"\"" + e2e::SiblingPath(L"bench_child.exe") + L"\" windows " +
                        std::to_wstring(extra));
    win32::Win32WindowSystem ws;
    for (std::size_t seen = 0, stable = 0; stable < 5; Sleep(100)) {
        const std::size_t now = ReadWindows(ws, nullptr).size();
        stable = now == seen ? stable + 1 : 0;
        seen = now;
    }
    const LocalForm local(ws);
    SendMessageW(local.main, WM_SYSCOMMAND, win32::Win32Form::kMenuItemCommand + 0x10, 0);
    const HWND list = FindWindowW(win32::kOwnedFormClass, nullptr);
    const auto control = [&](std::string_view name) {
        for (const LayoutRow& row : layout::kWindowListControls) {
            if (row.name == name) return GetDlgItem(list, ControlId(row));
        }
        return HWND{};
    };
    const HWND refresh = control("cmdRefresh"), search = control("txtSearch");
    const HWND view = control("lvwWindows");
    // Update and floor in turn, so that a drift of the machine's speed
    // weighs on both alike; the paint the update leaves is timed apart.
    std::vector<double> updates, paints, floors, filters;
    std::size_t windows = 0;
    for (int i = 0; i < reps; ++i) {
        updates.push_back(Milliseconds([&] { SendMessageW(refresh, BM_CLICK, 0, 0); }));
        paints.push_back(Milliseconds(
            [&] { RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }));
        floors.push_back(Milliseconds([&] { windows = ReadWindows(ws, nullptr).size(); }));
        SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        filters.push_back(Milliseconds([&] { SendMessageW(search, WM_CHAR, L'9', 1); }));
        SendMessageW(search, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
    const double update = Median(updates), floor = Median(floors), filter = Median(filters);
    std::printf(
        "window list, %zu windows (%d extra): update %.1f ms (paint %.1f ms), floor %.1f "
        "ms, update/floor %.2f; re-filter for one character %.1f ms, re-filter/floor "
        "%.3f; %d rows shown\n",
        windows, extra, update, Median(paints), floor, update / floor, filter, filter / floor,
        static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0)));

    e2e::Vindrel app;
    PostMessageW(app.Main(), WM_SYSCOMMAND, win32::Win32Form::kMenuItemCommand + 0x10, 0);
    SendMessageW(app.ListControl("cmdRefresh"), BM_CLICK, 0, 0);
    std::printf("peak working set of Vindrel with the window list open: %.1f MiB\n",
                PeakWorkingSetMiB(app.Program().Handle()));
    std::fflush(stdout);
}

// Start-up until the main window is visible: milliseconds, or -1 when the
// window does not appear.
double StartupMs(const std::wstring& exe, const wchar_t* windowClass) {
    const auto start = Clock::now();
    e2e::Process program(L"\"" + exe + L"\"");  // waits for input idle
    if (program.WaitForWindow(windowClass) == nullptr) return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

BOOL CALLBACK Collect(HWND hwnd, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    return TRUE;
}

void BossWork(int count, int reps) {
    const std::wstring folder = e2e::NewFolder();
    const std::wstring exe = folder + L"\\bench_boss.exe";
    CopyFileW(e2e::SiblingPath(L"bench_child.exe").c_str(), exe.c_str(), FALSE);
    const std::wstring appData = e2e::NewFolder();
    win32::Win32RecordFolder settings(appData + L"\\Vindrel");
    settings.Write(std::wstring(kSettingsFile),
                   WriteSettingsFile({HotKey{kModControl | kModAlt, 'B'}, {exe}}));
    e2e::Process child(L"\"" + exe + L"\" shown windows " + std::to_wstring(count));
    std::vector<HWND> windows;
    for (int tries = 0; tries < 100 && static_cast<int>(windows.size()) < count; ++tries) {
        Sleep(50);
        windows.clear();
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
        std::erase_if(windows, [&](HWND hwnd) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            return pid != child.Id() || !IsWindowVisible(hwnd);
        });
    }
    if (static_cast<int>(windows.size()) != count) {
        throw std::runtime_error("the child's windows did not all show");
    }
    const e2e::Vindrel app(e2e::SiblingPath(L"Vindrel.exe"), L"", appData);
    const auto all = [&](bool visible) {
        return std::all_of(windows.begin(), windows.end(),
                           [&](HWND hwnd) { return (IsWindowVisible(hwnd) != FALSE) == visible; });
    };
    const auto until = [&](bool visible) {
        e2e::PressCtrlAlt('B');
        const auto give = Clock::now() + std::chrono::seconds(10);
        while (!all(visible)) {
            if (Clock::now() > give) throw std::runtime_error("the boss key did not act");
            Sleep(0);
        }
    };
    // The floor writes a record of the same size into a folder of its own.
    win32::Win32RecordFolder floorFolder(e2e::NewFolder());
    const std::string record(600 * windows.size(), 'x');
    const auto floor = [&](int command) {
        for (const HWND hwnd : windows)
            ShowWindow(hwnd, command);
        floorFolder.Write(L"floor.record", record);
    };
    // The chord's way to a window's WM_HOTKEY, timed on a key of the
    // benchmark's own: the program's figures count from the press.
    const HWND own =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!RegisterHotKey(own, 1, MOD_CONTROL | MOD_ALT, 'N')) {
        throw std::runtime_error("Ctrl+Alt+N, the benchmark's own key, is taken");
    }
    const auto delivery = [&] {
        const auto start = Clock::now();
        e2e::PressCtrlAlt('N');
        for (MSG msg; Clock::now() < start + std::chrono::seconds(10);) {
            if (!PeekMessageW(&msg, own, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
                Sleep(0);
                continue;
            }
            const double took =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            // Wine repeats a chord's held key: those come with this one.
            Sleep(50);
            while (PeekMessageW(&msg, own, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
            }
            return took;
        }
        throw std::runtime_error("the benchmark's own key did not arrive");
    };
    std::vector<double> hides, shows, floorHides, floorShows, deliveries;
    for (int i = 0; i < reps; ++i) {
        deliveries.push_back(delivery());
        // A press within 30 ms of the last is taken for its repeat.
        Sleep(100);
        hides.push_back(Milliseconds([&] { until(false); }));
        Sleep(100);
        shows.push_back(Milliseconds([&] { until(true); }));
        Sleep(300);  // the sweep is idle again
        floorHides.push_back(Milliseconds([&] { floor(SW_HIDE); }));
        floorShows.push_back(Milliseconds([&] { floor(SW_SHOWNA); }));
    }
    UnregisterHotKey(own, 1);
    DestroyWindow(own);
    // From WM_HOTKEY: the press's way to the program taken off.
    const double delivered = Median(deliveries);
    const double hide = Median(hides) - delivered, show = Median(shows) - delivered;
    const double floorHide = Median(floorHides), floorShow = Median(floorShows);
    std::printf(
        "boss key, %zu windows, from WM_HOTKEY (the press took %.1f ms to arrive): hide %.1f "
        "ms, floor %.1f ms, hide/floor %.2f; show %.1f ms, floor %.1f ms, show/floor %.2f\n",
        windows.size(), delivered, hide, floorHide, hide / floorHide, show, floorShow,
        show / floorShow);
}

// `Vindrel.exe hide pid:N` from its start to its exit, run alone and handed
// to a running copy, against a windowless program that ends at once,
// started the same way (its output into a file, as a script's redirection).
void CommandWork(int reps) {
    const e2e::Process child(L"\"" + e2e::SiblingPath(L"bench_child.exe") + L"\" shown windows 1");
    HWND window = nullptr;
    e2e::WaitFor([&] { return (window = child.WaitForWindow(L"VindrelBenchChild")) != nullptr; });
    if (window == nullptr) throw std::runtime_error("the child's window did not show");
    const std::wstring appData = e2e::NewFolder();
    const std::wstring hide =
        L"\"" + e2e::SiblingPath(L"Vindrel.exe") + L"\" hide pid:" + std::to_wstring(child.Id());
    const std::wstring minimal = L"\"" + e2e::SiblingPath(L"bench_minimal.exe") + L"\" exit";
    const auto timed = [&](const std::wstring& line) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        e2e::Ran ran;
        const double ms = Milliseconds([&] { ran = e2e::RunToEnd(line, appData); });
        if (ran.exitCode != 0u || IsWindowVisible(window) == (line == hide)) {
            throw std::runtime_error("a command did not do what it should");
        }
        return ms;
    };
    std::vector<double> alone, handed, floors;
    for (int i = 0; i < reps; ++i) {
        alone.push_back(timed(hide));
        floors.push_back(timed(minimal));
    }
    {
        const e2e::Vindrel copy(e2e::SiblingPath(L"Vindrel.exe"), L"", appData);
        for (int i = 0; i < reps; ++i) {
            handed.push_back(timed(hide));
            floors.push_back(timed(minimal));
        }
    }
    const double floor = Median(floors);
    std::printf(
        "command hide pid:N, start to exit: alone %.1f ms, handed to a running copy %.1f ms, "
        "windowless program %.1f ms; alone/floor %.2f, handed/floor %.2f\n",
        Median(alone), Median(handed), floor, Median(alone) / floor, Median(handed) / floor);
}

int wmain(int argc, wchar_t** argv) {
    std::vector<int> counts{0, 50, 200};
    int reps = 11;
    int perRowUpTo = 200;
    int listWindows = 0;
    int boss = 0;
    bool commands = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring flag = argv[i];
        if (flag == L"--counts") counts = ParseCounts(argv[i + 1]);
        if (flag == L"--reps") reps = std::max(1, std::stoi(argv[i + 1]));
        if (flag == L"--per-row-up-to") perRowUpTo = std::stoi(argv[i + 1]);
        if (flag == L"--list-windows") listWindows = std::stoi(argv[i + 1]);
        if (flag == L"--boss") boss = std::stoi(argv[i + 1]);
        if (flag == L"--commands") commands = std::stoi(argv[i + 1]) != 0;
    }
    if (commands) {
        CommandWork(reps);
        return 0;
    }
    if (boss > 0) {
        BossWork(boss, reps);
        return 0;
    }
    if (listWindows > 0) {
        WindowListWork(listWindows, reps);
        return 0;
    }

    win32::Win32WindowSystem ws;
    // The floor lists on a warm connection, as the program does.
    WmiListing wmi(ws, kListingDeadline, std::make_shared<PlainCompletions>());
    wmi.Warm();
    const ChildNames names;
    std::vector<e2e::Process> children;
    testing::FakeToolkit toolkit;

    // The first refresh of a program just started (its connection to WMI
    // is still being made) and of one started a second before, against
    // their later refreshes.
    const auto firstThenLater = [&](std::chrono::milliseconds pause) {
        const e2e::Vindrel started;
        Sleep(static_cast<DWORD>(pause.count()));
        const double first = Milliseconds([&] { started.Click("Command1"); });
        return std::pair(first, MedianMs(reps, [&] { started.Click("Command1"); }));
    };
    const auto [atOnce, laterAtOnce] = firstThenLater(std::chrono::milliseconds(0));
    const auto [afterASecond, laterAfterASecond] = firstThenLater(std::chrono::milliseconds(1000));
    std::printf(
        "first refresh at once after start-up %.1f ms (later ones %.1f ms); a second after "
        "start-up %.1f ms (later ones %.1f ms)\n",
        atOnce, laterAtOnce, afterASecond, laterAfterASecond);

    std::printf("%6s %12s %12s\n", "rows", "list ms", "paint ms");
    for (const int rows : {8, 58, 208, 508}) {
        const ListBoxCost cost = ListBoxWork(rows, reps);
        std::printf("%6d %12.1f %12.1f\n", rows, cost.handling, cost.painting);
    }
    std::fflush(stdout);

    e2e::Vindrel app;

    std::printf("%6s %8s %12s %10s %10s %12s %14s %16s\n", "P", "windows", "refresh ms", "paint ms",
                "floor ms", "per-row ms", "refresh/floor", "per-row/refresh");
    double peakMiB = 0;
    for (const int p : counts) {
        while (static_cast<int>(children.size()) < p) {
            const int i = static_cast<int>(children.size());
            const bool window = i % 2 == 0;
            children.emplace_back(L"\"" + names.Path(i) + L"\" " + (window ? L"window" : L"none"),
                                  window);
        }
        // Let the new children settle: until the window count holds still.
        int windows = CountTopLevelWindows(ws);
        for (int stable = 0; stable < 5;) {
            Sleep(100);
            const int now = CountTopLevelWindows(ws);
            stable = now == windows ? stable + 1 : 0;
            windows = now;
        }

        // Refresh and floor in turn, so that a drift of the machine's
        // speed weighs on both alike. The paint the refresh leaves for
        // Vindrel's message loop is forced (a sent WM_PAINT) and timed
        // apart, so that it does not run alongside the floor.
        std::vector<double> refreshTimes, paintTimes, floorTimes;
        for (int i = 0; i < reps; ++i) {
            refreshTimes.push_back(Milliseconds([&] { app.Click("Command1"); }));
            paintTimes.push_back(Milliseconds([&] {
                RedrawWindow(app.Main(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            }));
            floorTimes.push_back(Milliseconds([&] { Floor(ws, wmi, toolkit); }));
        }
        const double refresh = Median(refreshTimes);
        const double paint = Median(paintTimes);
        const double floor = Median(floorTimes);
        const auto shown = VindrelTable(app);
        const auto list4 = MemoryList(toolkit), list1 = MemoryList(toolkit),
                   list2 = MemoryList(toolkit), list3 = MemoryList(toolkit);
        ProcessTable table{*list4, *list1, *list2, *list3};
        RefreshPerRow(table, ws, wmi.List());
        const std::vector<std::vector<std::wstring>> reference{Rows(list4), Rows(list1),
                                                               Rows(list2), Rows(list3)};
        if (shown != reference) {
            std::printf("FAIL: at P = %d the refresh and the row-by-row reference differ\n", p);
            return 1;
        }
        if (p <= perRowUpTo) {
            const double perRow = MedianMs(reps, [&] { PerRowByName(table, ws, wmi); });
            std::printf("%6d %8d %12.1f %10.1f %10.1f %12.1f %14.2f %16.1f\n", p, windows, refresh,
                        paint, floor, perRow, refresh / floor, perRow / refresh);
        } else {
            std::printf("%6d %8d %12.1f %10.1f %10.1f %12s %14.2f %16s\n", p, windows, refresh,
                        paint, floor, "-", refresh / floor, "-");
        }
        std::fflush(stdout);

        peakMiB = PeakWorkingSetMiB(app.Program().Handle());
    }
    std::printf("peak working set of Vindrel after the refresh at P = %d: %.1f MiB\n",
                counts.back(), peakMiB);
    children.clear();

    // The two programs in turn, so that a drift of the machine's speed
    // weighs on both alike.
    std::vector<double> vindrelTimes, minimalTimes;
    for (int i = 0; i < std::max(reps, 5); ++i) {
        vindrelTimes.push_back(StartupMs(e2e::SiblingPath(L"Vindrel.exe"), L"VindrelForm1"));
        minimalTimes.push_back(
            StartupMs(e2e::SiblingPath(L"bench_minimal.exe"), L"VindrelBenchMinimal"));
    }
    if (*std::min_element(vindrelTimes.begin(), vindrelTimes.end()) < 0 ||
        *std::min_element(minimalTimes.begin(), minimalTimes.end()) < 0) {
        std::printf("FAIL: a program's window did not appear\n");
        return 1;
    }
    const double vindrel = Median(vindrelTimes);
    const double minimal = Median(minimalTimes);
    std::printf(
        "start-up to a visible main window: Vindrel %.1f ms, minimal program %.1f ms, "
        "ratio %.2f\n",
        vindrel, minimal, vindrel / minimal);
    return 0;
}
