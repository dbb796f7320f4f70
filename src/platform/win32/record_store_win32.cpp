#include "platform/win32/record_store_win32.h"

#include <windows.h>

#include <chrono>

#include "platform/win32/system_function.h"
#include "platform/win32/unique_handle.h"

namespace vindrel::win32 {

namespace {

// How often a wait for a file to go looks again.
constexpr DWORD kGoneLook = 50;
// How long a file that a scanner or indexer holds is tried again.
constexpr auto kHeldRetry = std::chrono::milliseconds(200);

// The last call failed because another program holds the file: true, after
// a short wait, while the time allowed lasts.
bool HeldUntil(std::chrono::steady_clock::time_point until) {
    const DWORD error = GetLastError();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                      error == ERROR_LOCK_VIOLATION;
    if (!held || std::chrono::steady_clock::now() >= until) return false;
    Sleep(20);
    return true;
}

std::wstring Variable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0 || length >= size) return {};
    value.resize(length);
    return value;
}

// The local application data folder from the shell, for a session
// without the variable.
std::wstring KnownLocalAppData() {
    // FOLDERID_LocalAppData.
    static const GUID kLocalAppData = {
        0xF1B32785, 0x6FBA, 0x4FCF, {0x9D, 0x55, 0x7B, 0x8E, 0x7F, 0x15, 0x70, 0x91}};
    using GetPath = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
    using Free = void(WINAPI*)(LPVOID);
    const auto getPath = SystemFunction<GetPath>(L"shell32.dll", "SHGetKnownFolderPath");
    const auto free = SystemFunction<Free>(L"ole32.dll", "CoTaskMemFree");
    if (getPath == nullptr || free == nullptr) return {};
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(getPath(kLocalAppData, 0, nullptr, &path)) && path != nullptr) folder = path;
    free(path);
    return folder;
}

std::optional<std::uint64_t> CreatedOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

UniqueProcessHandle OpenToWatch(Pid pid) {
    return UniqueProcessHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                           static_cast<DWORD>(pid)));
}

// The process behind the handle is that one and still runs; empty where it
// cannot be told.
std::optional<bool> StillRuns(HANDLE process, std::uint64_t created) {
    const std::optional<std::uint64_t> start = CreatedOf(process);
    if (!start) return std::nullopt;
    return *start == created && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// A wait on a process handle in the system's thread pool.
class Win32ProcessWatch : public ProcessWatch {
public:
    Win32ProcessWatch(UniqueProcessHandle process, std::function<void()> ended)
        : process_(std::move(process)), ended_(std::move(ended)) {}
    ~Win32ProcessWatch() override {
        // Waits for a callback in progress before the watch goes.
        if (wait_ != nullptr) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    }
    Win32ProcessWatch(const Win32ProcessWatch&) = delete;
    Win32ProcessWatch& operator=(const Win32ProcessWatch&) = delete;

    bool Start() {
        return RegisterWaitForSingleObject(&wait_, process_.Get(), &Ended, this, INFINITE,
                                           WT_EXECUTEONLYONCE) != FALSE;
    }

private:
    static VOID CALLBACK Ended(PVOID context, BOOLEAN) noexcept {
        try {
            static_cast<Win32ProcessWatch*>(context)->ended_();
        } catch (...) {
            // Nothing may cross into the thread pool; the record is taken
            // over at the next start instead.
        }
    }

    UniqueProcessHandle process_;
    std::function<void()> ended_;
    HANDLE wait_ = nullptr;
};

}  // namespace

const std::wstring& Win32RecordFolder::Folder() {
    if (folder_.empty()) {
        std::wstring base = Variable(L"LOCALAPPDATA");
        if (base.empty()) base = KnownLocalAppData();
        if (!base.empty()) folder_ = base + L"\\Vindrel";
    }
    return folder_;
}

std::wstring Win32RecordFolder::PathOf(const std::wstring& name) {
    return Folder() + L"\\" + name;
}

std::vector<std::wstring> Win32RecordFolder::Files(const std::wstring& suffix) {
    std::vector<std::wstring> names;
    if (Folder().empty()) return names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(PathOf(L"*" + suffix).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.ends_with(suffix)) {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::optional<std::string> Win32RecordFolder::Read(const std::wstring& name, std::size_t limit) {
    if (Folder().empty()) return std::nullopt;
    return ReadAt(PathOf(name), limit);
}

std::optional<std::string> Win32RecordFolder::ReadAt(const std::wstring& path, std::size_t limit) {
    const auto until = std::chrono::steady_clock::now() + kHeldRetry;
    UniqueFileHandle file;
    do {
        file = UniqueFileHandle(CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    } while (!file && HeldUntil(until));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

bool Win32RecordFolder::Write(const std::wstring& name, const std::string& bytes) {
    if (Folder().empty()) return false;
    if (!CreateDirectoryW(Folder().c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    const std::wstring path = PathOf(name);
    const std::wstring temporary = path + L".tmp";
    UniqueFileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool whole =
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.Get());
    file.Reset();  // closed before it is moved or deleted
    if (!whole) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + kHeldRetry;
    for (;;) {
        if (MoveFileExW(temporary.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (!HeldUntil(until)) break;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

bool Win32RecordFolder::Rename(const std::wstring& from, const std::wstring& to) {
    return !Folder().empty() && RenameAt(PathOf(from), PathOf(to));
}

bool Win32RecordFolder::RenameAt(const std::wstring& from, const std::wstring& to) {
    // Within one folder: one step, never over another file.
    return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
}

void Win32RecordFolder::Delete(const std::wstring& name) {
    if (!Folder().empty()) DeleteAt(PathOf(name));
}

void Win32RecordFolder::DeleteAt(const std::wstring& path) {
    DeleteFileW(path.c_str());
}

bool Win32RecordFolder::WaitGone(const std::wstring& name, std::chrono::milliseconds timeout) {
    if (Folder().empty()) return false;
    const std::wstring path = PathOf(name);
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= until) return false;
        // Sent messages are answered meanwhile (a window of another program
        // may wait on ours); posted ones wait in the queue.
        if (MsgWaitForMultipleObjectsEx(0, nullptr, kGoneLook, QS_SENDMESSAGE,
                                        MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

ProcessStamp Win32Lifetimes::Self() {
    return {static_cast<Pid>(GetCurrentProcessId()), CreatedOf(GetCurrentProcess()).value_or(0)};
}

std::optional<std::uint64_t> Win32Lifetimes::Created(Pid pid) {
    const UniqueProcessHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process) return std::nullopt;
    return CreatedOf(process.Get());
}

bool Win32Lifetimes::Running(const ProcessStamp& stamp) {
    // A copy of this program, of this user, can always be opened so: a
    // process that cannot is another (its id reused) or none.
    const UniqueProcessHandle process = OpenToWatch(stamp.pid);
    return process && StillRuns(process.Get(), stamp.created).value_or(true);
}

std::unique_ptr<ProcessWatch> Win32Lifetimes::WhenEnded(const ProcessStamp& stamp,
                                                        std::function<void()> ended) {
    UniqueProcessHandle process = OpenToWatch(stamp.pid);
    if (!process) {  // gone since it was seen running
        ended();
        return nullptr;
    }
    const std::optional<bool> runs = StillRuns(process.Get(), stamp.created);
    if (!runs) return nullptr;
    if (!*runs) {
        ended();
        return nullptr;
    }
    auto watch = std::make_unique<Win32ProcessWatch>(std::move(process), std::move(ended));
    if (!watch->Start()) return nullptr;
    return watch;
}

}  // namespace vindrel::win32
