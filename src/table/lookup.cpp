#include "table/lookup.h"

#include <cstring>

#include "platform/step_error.h"
#include "platform/text.h"

namespace vindrel {

std::vector<WmiObject> ListProcesses(
    WindowSystem& ws,
    const std::function<void(const std::vector<WmiObject>&)>& listedBeforeFailure) {
    std::vector<WmiObject> listed;
    try {
        const auto processes = ws.InstancesOf(L"WinMgmts:", L"Win32_Process");
        for (WmiObject process; processes->Next(process);)
            listed.push_back(process);
    } catch (const StepError&) {
        listedBeforeFailure(listed);
        throw;
    }
    return listed;
}

void AppendNames(ListBox& list, const std::vector<WmiObject>& listed) {
    for (const WmiObject& process : listed)
        list.AddItem(process.Name);
}

void ProcessListing(WindowSystem& ws, ListBox& List4) {
    const auto appendTo = [&List4](const std::vector<WmiObject>& listed) {
        AppendNames(List4, listed);
    };
    appendTo(ListProcesses(ws, appendTo));
}

void ForEachProcess(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit) {
    const ScopedSnapshot snapshot(ws, api::kTh32csSnapProcess, 0);
    if (!snapshot.Valid()) return;
    ProcessEntry32 entry{};
    entry.dwSize = sizeof entry;
    for (auto more = ws.Process32First(snapshot.Get(), entry); more;
         more = ws.Process32Next(snapshot.Get(), entry)) {
        const std::size_t length = strnlen(entry.szExeFile, sizeof entry.szExeFile);
        visit(static_cast<Pid>(entry.th32ProcessID),
              FromAnsi(std::string_view(entry.szExeFile, length)));
    }
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
