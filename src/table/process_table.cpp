#include "table/process_table.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/conversions.h"
#include "platform/text.h"
#include "table/lookup.h"

namespace vindrel {

namespace {

constexpr wchar_t kNoTitle[] = L"无";

// What the table shows of one process, besides its name.
struct Row {
    Pid pid;
    Hwnd window;
    std::wstring title;
};

template <class Map, class Key>
typename Map::mapped_type FindOrZero(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? 0 : found->second;
}

// Writes the whole table in one step: the listed names and their rows, and
// the selection of List4 on its last row. Nothing is written before
// everything is known, so nothing that runs while the table is being
// computed sees half a table. The lists draw once, at the end, with the
// selection and the scrolling it brings.
void Write(ProcessTable& table, const std::vector<WmiObject>& listed,
           const std::vector<Row>& rows) {
    const ListUpdates updates({&table.List4, &table.List1, &table.List2, &table.List3},
                              static_cast<int>(listed.size()));
    Clear(table);
    AppendNames(table.List4, listed);
    for (const Row& row : rows) {
        table.List3.AddItem(DecimalText(row.pid));
        table.List2.AddItem(DecimalText(row.window));
        table.List1.AddItem(row.title.empty() ? kNoTitle : row.title);
    }
    table.List4.SetListIndex(table.List4.ListCount() - 1);
}

// One snapshot walk (only when some process came without an id), one
// window walk, and one title read per window.
std::vector<Row> RowsByWalks(WindowSystem& ws, const std::vector<WmiObject>& listed) {
    // What GetPsPid would give for every name (the last process bearing
    // it), for the rows WMI gave no id.
    std::unordered_map<std::wstring, Pid> pidByName;
    const auto withoutId = [](const WmiObject& process) { return !process.ProcessId; };
    if (std::any_of(listed.begin(), listed.end(), withoutId)) {
        ForEachProcess(
            ws, [&](Pid pid, const std::wstring& name) { pidByName[LowerCase(name)] = pid; });
    }
    // What InstanceToWnd would give for every process: its first window.
    std::unordered_map<Pid, Hwnd> windowByPid;
    ForEachTopLevelWindow(ws, [&](Hwnd window, Pid pid) {
        windowByPid.emplace(pid, window);
        return true;
    });

    std::unordered_map<Hwnd, std::wstring> titles;
    std::vector<Row> rows;
    rows.reserve(listed.size());
    for (const WmiObject& process : listed) {
        const Pid pid =
            process.ProcessId ? *process.ProcessId : FindOrZero(pidByName, LowerCase(process.Name));
        const Hwnd window = FindOrZero(windowByPid, pid);
        auto title = titles.find(window);
        if (title == titles.end()) title = titles.emplace(window, HwndToTitle(ws, window)).first;
        rows.push_back({pid, window, title->second});
    }
    return rows;
}

// Row by row: a window walk for each, and a fresh snapshot walk for each
// process WMI gave no id.
std::vector<Row> RowsOneByOne(WindowSystem& ws, const std::vector<WmiObject>& listed) {
    std::vector<Row> rows;
    for (const WmiObject& process : listed) {
        const Pid pid = process.ProcessId ? *process.ProcessId : GetPsPid(ws, process.Name);
        const Hwnd window = InstanceToWnd(ws, pid);
        rows.push_back({pid, window, HwndToTitle(ws, window)});
    }
    return rows;
}

}  // namespace

void Clear(ProcessTable& table) {
    table.List1.Clear();
    table.List2.Clear();
    table.List3.Clear();
    table.List4.Clear();
}

void Refresh(ProcessTable& table, WindowSystem& ws, const std::vector<WmiObject>& listed) {
    Write(table, listed, RowsByWalks(ws, listed));
}

void RefreshPerRow(ProcessTable& table, WindowSystem& ws, const std::vector<WmiObject>& listed) {
    Write(table, listed, RowsOneByOne(ws, listed));
}

}  // namespace vindrel
