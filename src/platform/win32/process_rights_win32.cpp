#include <windows.h>
// after windows.h
#include <objbase.h>
#include <shellapi.h>

#include <cstddef>
#include <vector>

#include "platform/win32/handle_cast.h"
#include "platform/win32/process_rights_win32.h"
#include "platform/win32/system_function.h"
#include "platform/win32/unique_handle.h"

namespace vindrel::win32 {

namespace {

// The token of a process, opened for reading; empty when access is denied.
UniqueTokenHandle TokenOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    return UniqueTokenHandle(token);
}

// This program's own path, however long.
std::wstring OwnPath() {
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
}

// A failure's error; never 0, which would count as started.
std::uint32_t Failure(DWORD error) {
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

}  // namespace

std::optional<std::uint32_t> Win32ProcessRights::IntegrityLevel(Pid pid) {
    // The least access that reads a token, which Windows grants for most
    // processes of the same user whatever their level.
    const UniqueProcessHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process) return std::nullopt;
    const UniqueTokenHandle token = TokenOf(process.Get());
    if (!token) return std::nullopt;
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
    // Allocated in units of the strictest alignment: the label holds a pointer.
    std::vector<std::max_align_t> buffer((size + sizeof(std::max_align_t) - 1) /
                                         sizeof(std::max_align_t));
    if (!GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer.data(), size, &size)) {
        return std::nullopt;
    }
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (sid == nullptr || !IsValidSid(sid)) return std::nullopt;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count == 0) return std::nullopt;
    return static_cast<std::uint32_t>(*GetSidSubAuthority(sid, count - 1u));
}

bool Win32ProcessRights::Elevated() {
    const UniqueTokenHandle token = TokenOf(GetCurrentProcess());
    if (!token) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

const SystemProc& Win32ProcessRights::Function(std::optional<SystemProc>& found, const wchar_t* dll,
                                               const char* name) {
    if (!found) found = loader_(dll, name);
    return *found;
}

std::uint32_t Win32ProcessRights::StartElevated(const std::wstring& argument, Hwnd owner) {
    // shell32 is loaded only now: at start-up it would bring ole32 along.
    const SystemProc& shellExecute = Function(shellExecute_, L"shell32.dll", "ShellExecuteExW");
    if (shellExecute.address == nullptr) return Failure(shellExecute.error);
    const std::wstring path = OwnPath();
    if (path.empty()) return Failure(GetLastError());
    // The shell may hand the verb to COM objects: the thread is in an
    // apartment for the call, and leaves it after.
    const auto coInitialize =
        As<decltype(&CoInitializeEx)>(Function(coInitialize_, L"ole32.dll", "CoInitializeEx"));
    const auto coUninitialize =
        As<decltype(&CoUninitialize)>(Function(coUninitialize_, L"ole32.dll", "CoUninitialize"));
    const bool apartment =
        coInitialize != nullptr && coUninitialize != nullptr &&
        SUCCEEDED(coInitialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // Returns once the program has started (or was refused), without
    // error boxes of the shell's own: the caller reports a failure.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = ToHwnd(owner);
    info.lpVerb = L"runas";
    info.lpFile = path.c_str();
    info.lpParameters = argument.c_str();
    info.nShow = SW_SHOWNORMAL;
    const bool started = As<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(shellExecute)(&info) != FALSE;
    const std::uint32_t error = started ? 0 : Failure(GetLastError());
    if (apartment) coUninitialize();
    return error;
}

}  // namespace vindrel::win32
