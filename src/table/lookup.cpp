#include "table/lookup.h"

#include <algorithm>
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

namespace {

std::wstring ExeName(const char (&name)[260]) {
    return FromAnsi(std::string_view(name, strnlen(name, std::size(name))));
}

std::wstring ExeName(const wchar_t (&name)[260]) {
    return std::wstring(name, std::find(std::begin(name), std::end(name), L'\0'));
}

// One walk of a fresh snapshot through the ANSI or the wide calls.
template <class Entry>
bool WalkSnapshot(WindowSystem& ws, std::int32_t (WindowSystem::*first)(KernelHandle, Entry&),
                  std::int32_t (WindowSystem::*next)(KernelHandle, Entry&),
                  const std::function<void(Pid, const std::wstring&)>& visit) {
    const ScopedSnapshot snapshot(ws, api::kTh32csSnapProcess, 0);
    if (!snapshot.Valid()) return false;
    Entry entry{};
    entry.dwSize = sizeof entry;
    for (auto more = (ws.*first)(snapshot.Get(), entry); more;
         more = (ws.*next)(snapshot.Get(), entry)) {
        visit(static_cast<Pid>(entry.th32ProcessID), ExeName(entry.szExeFile));
    }
    return true;
}

}  // namespace

bool ForEachProcess(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit) {
    return WalkSnapshot(ws, &WindowSystem::Process32First, &WindowSystem::Process32Next, visit);
}

bool ForEachProcessW(WindowSystem& ws, const std::function<void(Pid, const std::wstring&)>& visit) {
    return WalkSnapshot(ws, &WindowSystem::Process32FirstW, &WindowSystem::Process32NextW, visit);
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
        ForEachProcessW(ws_, [this](Pid each, const std::wstring& exeFile) {
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

std::wstring WholeTitle(WindowSystem& ws, Hwnd window) {
    // The buffer grows until it holds the title.
    for (std::int32_t size = 256;; size *= 2) {
        std::wstring buffer(static_cast<std::size_t>(size), L'\0');
        const std::int32_t length = ws.GetWindowTextW(window, buffer.data(), size);
        if (length < size - 1 || size >= (1 << 20)) {
            buffer.resize(static_cast<std::size_t>(std::clamp(length, 0, size - 1)));
            return buffer;
        }
    }
}

std::wstring ClassOf(WindowSystem& ws, Hwnd window) {
    // Class names are at most 256 characters.
    std::wstring name(257, L'\0');
    name.resize(
        static_cast<std::size_t>(std::clamp(ws.GetClassNameW(window, name.data(), 257), 0, 256)));
    return name;
}

}  // namespace vindrel
