#include "table/lookup.h"

#include <cstring>

#include "platform/text.h"

namespace vindrel {

ProcessList ListProcesses(WmiListing& wmi, WindowSystem& ws) {
    try {
        return {wmi.List(), std::nullopt};
    } catch (const StepError& failure) {
        ProcessList substitute{{}, failure};
        const bool taken = ForEachProcess(ws, [&](Pid pid, const std::wstring& name) {
            substitute.processes.push_back({name, pid});
        });
        if (!taken) throw StepError(failure.What(), failure.Why() + L"；进程快照也无法取得");
        return substitute;
    }
}

std::wstring SnapshotNotice(const StepError& wmiFailure) {
    return L"无法通过 WMI 列出进程：" + wmiFailure.Why() + L"。\r\n" +
           L"进程列表改由系统的进程快照给出（程序名和进程 ID）。本次运行中不再提示。";
}

void AppendNames(ListBox& list, const std::vector<WmiObject>& listed) {
    for (const WmiObject& process : listed)
        list.AddItem(process.Name);
}

bool ForEachProcess(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit) {
    const ScopedSnapshot snapshot(ws, api::kTh32csSnapProcess, 0);
    if (!snapshot.Valid()) return false;
    ProcessEntry32 entry{};
    entry.dwSize = sizeof entry;
    for (auto more = ws.Process32First(snapshot.Get(), entry); more;
         more = ws.Process32Next(snapshot.Get(), entry)) {
        const std::size_t length = strnlen(entry.szExeFile, sizeof entry.szExeFile);
        visit(static_cast<Pid>(entry.th32ProcessID),
              FromAnsi(std::string_view(entry.szExeFile, length)));
    }
    return true;
}

void ForEachTopLevelWindow(WindowSystem& ws, const std::function<bool(Hwnd, Pid)>& visit) {
    for (Hwnd window = ws.FindWindowA(nullptr, nullptr); window != 0;
         window = ws.GetWindow(window, api::kGwHwndNext)) {
        if (ws.GetParent(window) != 0) continue;
        Pid pid = 0;
        ws.GetWindowThreadProcessId(window, &pid);
        if (!visit(window, pid)) return;
    }
}

Pid GetPsPid(WindowSystem& ws, const std::wstring& sProcess) {
    const std::wstring wanted = LowerCase(sProcess);
    Pid result = 0;
    // No early exit: the last process bearing the name wins.
    ForEachProcess(ws, [&](Pid pid, const std::wstring& name) {
        if (LowerCase(name) == wanted) result = pid;
    });
    return result;
}

std::wstring ProcessNames::Of(Pid pid) {
    if (!names_) {
        names_.emplace();
        ForEachProcess(ws_, [this](Pid each, const std::wstring& exeFile) {
            names_->insert_or_assign(each, exeFile);
        });
    }
    const auto found = names_->find(pid);
    return found == names_->end() ? std::wstring() : found->second;
}

Hwnd InstanceToWnd(WindowSystem& ws, Pid target_pid) {
    Hwnd result = 0;
    ForEachTopLevelWindow(ws, [&](Hwnd window, Pid pid) {
        if (pid != target_pid) return true;
        result = window;
        return false;
    });
    return result;
}

std::wstring HwndToTitle(WindowSystem& ws, Hwnd hwnd) {
    char buffer[256] = {};
    ws.GetWindowTextA(hwnd, buffer, static_cast<std::int32_t>(std::size(buffer)));
    return FromAnsi(std::string_view(buffer, strnlen(buffer, std::size(buffer))));
}

}  // namespace vindrel
