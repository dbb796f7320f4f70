#include "platform/win32/system_function.h"

#include <string>

namespace vindrel::win32 {

namespace {

HMODULE LoadFromSystemFolder(const wchar_t* dll) {
    const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its 2011 loader update does not know the flag and
    // refuses it: the DLL is then loaded by its full path in System32.
    if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, static_cast<UINT>(std::size(folder)));
    if (length == 0 || length >= std::size(folder)) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemProc FindSystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = LoadFromSystemFolder(dll);
    if (module == nullptr) return {nullptr, GetLastError()};
    const FARPROC address = GetProcAddress(module, name);
    return {address, address == nullptr ? GetLastError() : 0};
}

void LetThroughFilter(HWND window, UINT message) {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const auto filter = SystemFunction<Filter>(L"user32.dll", "ChangeWindowMessageFilterEx");
    if (filter != nullptr) filter(window, message, 1 /* MSGFLT_ALLOW */, nullptr);
}

}  // namespace vindrel::win32
