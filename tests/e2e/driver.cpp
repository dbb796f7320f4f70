#include "driver.h"

#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "platform/layout_row.h"
#include "ui/layout.h"

namespace vindrel::e2e {

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::wstring SiblingPath(const wchar_t* exeName) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir + exeName;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    const int length = GetWindowTextW(hwnd, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

Process::Process(const std::wstring& commandLine, bool waitForInputIdle) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // A start can fail for a moment while a new Wine session settles (seen
    // once in four runs right after a new prefix): try again for a few
    // seconds, saying what failed, before giving up.
    std::string errors;
    for (int attempt = 0;; ++attempt) {
        std::wstring line = commandLine;  // CreateProcessW may write into it
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info)) {
            break;
        }
        const DWORD error = GetLastError();
        errors += (errors.empty() ? "" : ", ") + std::to_string(error);
        if (attempt == 5) throw std::runtime_error("CreateProcessW failed, errors " + errors);
        std::fprintf(stderr, "CreateProcessW failed, error %lu; trying again\n", error);
        Sleep(500);
    }
    process_ = win32::UniqueProcessHandle(info.hProcess);
    CloseHandle(info.hThread);
    id_ = info.dwProcessId;
    if (waitForInputIdle) WaitForInputIdle(info.hProcess, 10000);
}

Process::~Process() {
    Terminate();
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds deadline) const {
    if (!process_ || WaitForSingleObject(process_.Get(), static_cast<DWORD>(deadline.count())) !=
                         WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

void Process::Terminate() {
    if (Running()) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
    }
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* cls;  // nullptr: any class
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || (search->visibleOnly && !IsWindowVisible(hwnd))) return TRUE;
    wchar_t cls[256] = {};
    GetClassNameW(hwnd, cls, static_cast<int>(std::size(cls)));
    if (search->cls != nullptr && std::wstring_view(cls) != search->cls) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindTopLevel(DWORD pid, const wchar_t* cls, bool visibleOnly) {
    WindowSearch search{pid, cls, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HWND Process::WaitForWindow(const wchar_t* windowClass, std::chrono::milliseconds deadline,
                            bool visibleOnly) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(id_, windowClass, visibleOnly)) != nullptr; },
            deadline);
    return found;
}

std::wstring NewFolder() {
    static int made = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Process ids repeat across runs under Wine: a folder left by an
    // earlier run is never reused.
    for (;;) {
        const std::wstring folder = std::wstring(temp) + L"vindrel-e2e-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++made);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make a folder");
    }
}

namespace {

// Starts what `start` starts with LOCALAPPDATA set to the folder: the
// program inherits the variable; the driver's own is put back.
template <class Start>
auto WithAppData(const std::wstring& appData, Start start) {
    wchar_t own[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", own, MAX_PATH + 1);
    SetEnvironmentVariableW(L"LOCALAPPDATA", appData.c_str());
    struct PutBack {
        const wchar_t* own;
        ~PutBack() { SetEnvironmentVariableW(L"LOCALAPPDATA", own); }
    } putBack{length != 0 ? own : nullptr};
    return start();
}

}  // namespace

Ran RunToEnd(const std::wstring& commandLine, const std::wstring& appData) {
    const std::wstring path = NewFolder() + L"\\output.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const win32::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw std::runtime_error("the output file could not be made");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file.Get();
    startup.hStdError = file.Get();
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    const BOOL started = WithAppData(appData, [&] {
        return CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &info);
    });
    if (!started) throw std::runtime_error("the command could not be started");
    const win32::UniqueProcessHandle process(info.hProcess);
    CloseHandle(info.hThread);
    Ran ran;
    if (WaitForSingleObject(process.Get(), 20000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.Get(), &code);
        ran.exitCode = code;
    } else {
        TerminateProcess(process.Get(), 99);
    }
    std::ifstream read(std::filesystem::path(path), std::ios::binary);
    ran.output.assign(std::istreambuf_iterator<char>(read), {});
    return ran;
}

Vindrel::Vindrel(const std::wstring& exePath, const std::wstring& arguments,
                 const std::wstring& appData) {
    process_ = WithAppData(appData, [&] {
        return Process(L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments));
    });
    main_ = process_.WaitForWindow(L"VindrelForm1");
    if (main_ == nullptr) throw std::runtime_error("Vindrel's main window did not appear");
}

HWND Vindrel::Control(std::string_view name) const {
    const LayoutRow& row = layout::Find(name);
    HWND parent = main_;
    if (row.container != "Form1") parent = Control(row.container);
    return GetDlgItem(parent, ControlId(row));
}

std::vector<std::wstring> Vindrel::Rows(std::string_view list) const {
    const HWND hwnd = Control(list);
    std::vector<std::wstring> rows;
    const auto count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        // The W call: Wine 8 returns UTF-16 bytes to the A call across processes.
        const auto copied = SendMessageW(hwnd, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        rows.push_back(text);
    }
    return rows;
}

int Vindrel::Selected(std::string_view list) const {
    return static_cast<int>(SendMessageW(Control(list), LB_GETCURSEL, 0, 0));
}

std::wstring Vindrel::Text(std::string_view control) const {
    return EditText(Control(control));
}

std::wstring EditText(HWND hwnd) {
    // WM_GETTEXT: GetWindowText does not ask another process's edit box.
    const auto length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const auto copied = SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void Vindrel::SetText(std::string_view edit, const std::wstring& text) const {
    SendMessageW(Control(edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Vindrel::Click(std::string_view button) const {
    SendMessageW(Control(button), BM_CLICK, 0, 0);
}

void Vindrel::PostClick(std::string_view button) const {
    PostMessageW(Control(button), BM_CLICK, 0, 0);
}

void Vindrel::ClickRow(std::string_view list, int row, bool twice) const {
    const HWND hwnd = Control(list);
    SendMessageW(hwnd, LB_SETTOPINDEX, static_cast<WPARAM>(row), 0);
    RECT rect{};
    SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, point);
    if (!twice) return;
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, point);
}

void Vindrel::Type(std::string_view edit, const std::wstring& text) const {
    const HWND hwnd = Control(edit);
    SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t c : text)
        SendMessageW(hwnd, WM_CHAR, c, 1);
}

namespace {

void Notify(bool post, HWND bar, int code, int position) {
    const auto deliver = [&](int sent, int at) {
        const WPARAM what = MAKEWPARAM(sent, at);
        if (post) {
            PostMessageW(GetParent(bar), WM_HSCROLL, what, reinterpret_cast<LPARAM>(bar));
        } else {
            SendMessageW(GetParent(bar), WM_HSCROLL, what, reinterpret_cast<LPARAM>(bar));
        }
    };
    deliver(code, position);
    if (code != SB_THUMBTRACK) deliver(SB_ENDSCROLL, 0);
}

}  // namespace

void Vindrel::Scroll(std::string_view bar, int code, int position) const {
    Notify(false, Control(bar), code, position);
}

void Vindrel::PostScroll(std::string_view bar, int code, int position) const {
    Notify(true, Control(bar), code, position);
}

bool Vindrel::Responsive() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

bool Vindrel::Activate() const {
    SetForegroundWindow(main_);
    return WaitFor([&] { return GetForegroundWindow() == main_; });
}

HWND Vindrel::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

namespace {

INPUT Key(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Mouse input that says where it happens. Absolute positions (0 to 65535
// across the primary screen) land where they are meant to, whatever the
// pointer's acceleration. A button's input carries its place too: Wine now
// and then takes a bare press where the pointer was a moment before (a late
// echo of an earlier move), which clicks whatever was there.
INPUT MouseAt(DWORD flags, POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = Mouse(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    input.mi.dx = (point.x * 65535 + (width - 1) / 2) / (width - 1);
    input.mi.dy = (point.y * 65535 + (height - 1) / 2) / (height - 1);
    return input;
}

// Moves the pointer there by input, and waits until it is there: the
// buttons' input then comes after the move, in the same queue (a
// SetCursorPos may reach Wine's pointer later, and a click land elsewhere).
void PointAt(POINT point) {
    MoveMouseTo(point);
    WaitFor([&] {
        POINT at{};
        GetCursorPos(&at);
        return at.x == point.x && at.y == point.y;
    });
}

// A left click at a point of the screen.
void ClickAt(POINT point) {
    PointAt(point);
    INPUT inputs[] = {MouseAt(MOUSEEVENTF_LEFTDOWN, point), MouseAt(MOUSEEVENTF_LEFTUP, point)};
    SendInput(static_cast<UINT>(std::size(inputs)), inputs, sizeof(INPUT));
}

}  // namespace

void Vindrel::PressChord(WORD modifier, WORD key) const {
    std::vector<INPUT> inputs;
    if (modifier != 0) inputs.push_back(Key(modifier, false));
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
    if (modifier != 0) inputs.push_back(Key(modifier, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressCtrlAlt(WORD key, int downs) {
    std::vector<INPUT> inputs{Key(VK_CONTROL, false), Key(VK_MENU, false)};
    for (int i = 0; i < downs; ++i)
        inputs.push_back(Key(key, false));
    for (const WORD up : {key, WORD(VK_MENU), WORD(VK_CONTROL)})
        inputs.push_back(Key(up, true));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Vindrel::PressKey(WORD key, bool shift) const {
    const HWND before = Focus();
    PressChord(shift ? VK_SHIFT : 0, key);
    WaitFor([&] { return Focus() != before; }, 1000ms);
}

void Vindrel::MouseClick(std::string_view control) const {
    ClickAt(Centre(Control(control)));
}

void Vindrel::MousePress(std::string_view control) const {
    const POINT point = Centre(Control(control));
    PointAt(point);
    INPUT press = MouseAt(MOUSEEVENTF_LEFTDOWN, point);
    SendInput(1, &press, sizeof(INPUT));
    Sleep(100);
}

namespace {

// Memory in another process, for a message whose argument points to it
// (the list view's messages are not carried across processes).
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {
        if (address_ == nullptr) throw std::runtime_error("VirtualAllocEx failed");
    }
    ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* Address() const { return static_cast<char*>(address_); }
    void Write(const void* data, std::size_t size, std::size_t offset = 0) const {
        WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
    }
    void Read(void* data, std::size_t size, std::size_t offset = 0) const {
        ReadProcessMemory(process_, Address() + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* address_;
};

}  // namespace

HWND Vindrel::WindowList() const {
    return process_.WaitForWindow(L"VindrelOwnedForm", 5000ms);
}

HWND Vindrel::ListControl(std::string_view name) const {
    for (const LayoutRow& row : layout::kWindowListControls) {
        if (row.name == name) return GetDlgItem(WindowList(), ControlId(row));
    }
    throw std::logic_error("the window list has no such control");
}

std::vector<std::wstring> Vindrel::ListRows() const {
    const HWND view = ListControl("lvwWindows");
    constexpr int kChars = 1024;
    const RemoteBuffer remote(process_.Handle(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    std::vector<std::wstring> rows;
    const auto count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::wstring joined;
        for (int column = 0; column < 6; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(remote.Address() + sizeof(LVITEMW));
            item.cchTextMax = kChars;
            remote.Write(&item, sizeof item);
            const auto length = static_cast<std::size_t>(
                SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(remote.Address())));
            std::wstring cell(std::min<std::size_t>(length, kChars), L'\0');
            remote.Read(cell.data(), cell.size() * sizeof(wchar_t), sizeof(LVITEMW));
            joined += (column == 0 ? L"" : L" | ") + cell;
        }
        rows.push_back(joined);
    }
    return rows;
}

void Vindrel::ChooseMenuItem(int index) const {
    PostMessageW(main_, WM_SYSCOMMAND, static_cast<WPARAM>(0x10 * (index + 1)), 0);
}

void Vindrel::SelectListRow(int row) const {
    const HWND view = ListControl("lvwWindows");
    const RemoteBuffer remote(process_.Handle(), sizeof(LVITEMW));
    LVITEMW item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(&item, sizeof item);
    SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.Address()));
}

void Vindrel::ClickListRow(int row, bool twice) const {
    const HWND view = ListControl("lvwWindows");
    const RemoteBuffer remote(process_.Handle(), sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    remote.Write(&rect, sizeof rect);
    SendMessageW(view, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(&rect, sizeof rect);
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(view, &point);
    PointAt(point);
    std::vector<INPUT> inputs{MouseAt(MOUSEEVENTF_LEFTDOWN, point),
                              MouseAt(MOUSEEVENTF_LEFTUP, point)};
    if (twice) inputs = {inputs[0], inputs[1], inputs[0], inputs[1]};
    // Wine's list view sometimes loses the first click of a session (the row
    // may be focused already, the view not): once more then.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (WaitFor(
                [&] {
                    return Focus() == view &&
                           SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                        LVNI_FOCUSED) == row;
                },
                2000ms)) {
            return;
        }
    }
}

POINT Centre(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void MoveMouseTo(POINT point) {
    POINT from{};
    GetCursorPos(&from);
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        INPUT move = MouseAt(0, {from.x + (point.x - from.x) * i / kSteps,
                                 from.y + (point.y - from.y) * i / kSteps});
        SendInput(1, &move, sizeof(INPUT));
        Sleep(20);
    }
    Sleep(200);
}

void ReleaseMouse(POINT at) {
    INPUT release = MouseAt(MOUSEEVENTF_LEFTUP, at);
    SendInput(1, &release, sizeof(INPUT));
    Sleep(200);
}

void Vindrel::ClickCloseBox() const {
    // Where the window itself says its close box is: the middle of it, as a
    // click on its edge may be taken as one beside it.
    RECT rect{};
    GetWindowRect(main_, &rect);
    RECT box{rect.right, rect.bottom, rect.left, rect.top};
    for (LONG y = rect.top; y < rect.top + 60; ++y) {
        for (LONG x = rect.right - 1; x > rect.right - 120; --x) {
            if (SendMessageW(main_, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
        }
    }
    if (box.left > box.right) throw std::runtime_error("the main window has no close box");
    ClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
}

Target::Target(const std::wstring& title, Mode mode, HWND peer, const std::wstring& exe) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    wchar_t file[MAX_PATH];
    GetTempFileNameW(dir, L"vtg", 0, file);
    logPath_ = file;
    const std::wstring peerText = std::to_wstring(reinterpret_cast<std::intptr_t>(peer));
    const std::wstring modeText = mode == Mode::Callback      ? L" callback"
                                  : mode == Mode::ClickOnHide ? L" click " + peerText
                                  : mode == Mode::CloseOnHide ? L" close " + peerText
                                  : mode == Mode::TwoWindows  ? L" two"
                                  : mode == Mode::Lost        ? L" lost"
                                  : mode == Mode::Minimised   ? L" minimised"
                                                              : L"";
    process_ = Process(L"\"" + (exe.empty() ? SiblingPath(L"target_window.exe") : exe) + L"\" \"" +
                       logPath_ + L"\" \"" + title + L"\"" + modeText);
    window_ = process_.WaitForWindow(L"VindrelTestTarget", 10000ms,
                                     mode != Mode::Lost && mode != Mode::Minimised);
    if (window_ == nullptr) throw std::runtime_error("the target window did not appear");
}

std::string Target::Log() const {
    std::string text;
    const HANDLE file = CreateFileW(logPath_.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    return text;
}

namespace {

HWND FindMessageBox(DWORD processId) {
    return FindTopLevel(processId, L"#32770", true);
}

}  // namespace

MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds deadline) {
    MessageBoxSeen seen;
    WaitFor([&] { return (seen.box = FindMessageBox(processId)) != nullptr; }, deadline);
    if (seen.box != nullptr) {
        seen.title = WindowText(seen.box);
        seen.text = WindowText(GetDlgItem(seen.box, 0xFFFF));
    }
    return seen;
}

bool CloseMessageBox(const MessageBoxSeen& seen, int button) {
    if (seen.box == nullptr) return false;
    PostMessageW(seen.box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return WaitFor([&] { return !IsWindow(seen.box); });
}

bool AnyMessageBox(DWORD processId) {
    return FindMessageBox(processId) != nullptr;
}

}  // namespace vindrel::e2e
