// Functions of system DLLs, loaded when first asked for rather than at
// start-up: a DLL that older systems lack, or one whose loading costs every
// start (shell32 brings ole32 with it). The one loader of the program.
#pragma once

#include <windows.h>

#include <functional>

namespace vindrel::win32 {

// A function found, or why not: the loader's error.
struct SystemProc {
    FARPROC address = nullptr;
    DWORD error = 0;
};

// Looks a function up in a DLL of the system folder (and there only);
// nullptr, with the error, where the DLL or the function is missing.
SystemProc FindSystemFunction(const wchar_t* dll, const char* name);

// The lookup a class is given, so that a test can stand in for the system.
using SystemLoader = std::function<SystemProc(const wchar_t* dll, const char* name)>;

template <class Function>
Function As(const SystemProc& proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc.address));
}

// nullptr where the DLL or the function is missing.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    return As<Function>(FindSystemFunction(dll, name));
}

// Lets the message reach the window from processes of lower rights
// (ChangeWindowMessageFilterEx), where the system filters messages.
void LetThroughFilter(HWND window, UINT message);

}  // namespace vindrel::win32
