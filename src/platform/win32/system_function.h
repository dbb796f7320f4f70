// A function of a system DLL, loaded when first asked for rather than at
// start-up: a DLL that older systems lack, or one whose loading costs
// every start (shell32 brings ole32 with it).
#pragma once

#include <windows.h>

namespace vindrel::win32 {

// nullptr where the DLL or the function is missing. Only the system folder
// is searched.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace vindrel::win32
