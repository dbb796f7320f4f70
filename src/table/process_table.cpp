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

void AppendRow(ProcessTable& table, Pid pid, Hwnd window, const std::wstring& title) {
    table.List3.AddItem(DecimalText(pid));
    table.List2.AddItem(DecimalText(window));
    table.List1.AddItem(title.empty() ? kNoTitle : title);
}

template <class Map, class Key>
typename Map::mapped_type FindOrZero(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? 0 : found->second;
}

}  // namespace

void Clear(ProcessTable& table) {
    table.List1.Clear();
    table.List2.Clear();
    table.List3.Clear();
    table.List4.Clear();
}

void Refresh(ProcessTable& table, WindowSystem& ws) {
    const ListUpdates updates{&table.List4, &table.List1, &table.List2, &table.List3};
    Clear(table);
    const std::vector<std::optional<Pid>> ids = ListProcesses(ws, table.List4);

    // What GetPsPid would give for every name (the last process bearing
    // it), for the rows WMI gave no id; walked only when some row needs it.
    std::unordered_map<std::wstring, Pid> pidByName;
    if (std::find(ids.begin(), ids.end(), std::nullopt) != ids.end()) {
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
    const int count = table.List4.ListCount();
    for (int row = 0; row < count; ++row) {
        const auto& id = ids[static_cast<std::size_t>(row)];
        const Pid pid = id ? *id : FindOrZero(pidByName, LowerCase(table.List4.List(row)));
        const Hwnd window = FindOrZero(windowByPid, pid);
        auto title = titles.find(window);
        if (title == titles.end()) title = titles.emplace(window, HwndToTitle(ws, window)).first;
        AppendRow(table, pid, window, title->second);
    }
    table.List4.SetListIndex(count - 1);
}

void RefreshPerRow(ProcessTable& table, WindowSystem& ws) {
    Clear(table);
    const std::vector<std::optional<Pid>> ids = ListProcesses(ws, table.List4);
    for (int row = 0; row < table.List4.ListCount(); ++row) {
        table.List4.SetListIndex(row);
        const auto& id = ids[static_cast<std::size_t>(row)];
        const Pid pid = id ? *id : GetPsPid(ws, table.List4.List(table.List4.ListIndex()));
        const Hwnd window = InstanceToWnd(ws, pid);
        AppendRow(table, pid, window, HwndToTitle(ws, window));
    }
}

}  // namespace vindrel
