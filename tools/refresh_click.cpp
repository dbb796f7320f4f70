// Waits for Vindrel's main window in this Wine session, clicks "刷新列表"
// as a user would, and prints the window's rectangle on the screen
// ("WIDTHxHEIGHT+LEFT+TOP"); the run script crops its screenshot to it.
// With "list" it then opens the window list from the window menu, and
// prints that window's rectangle instead.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/controls_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "ui/layout.h"

namespace {

void PrintRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool list = argc > 1 && std::wstring(argv[1]) == L"list";
    for (int tries = 0; tries < 400; ++tries) {
        const HWND main = FindWindowW(vindrel::win32::kFormClass, nullptr);
        if (main != nullptr && IsWindowVisible(main)) {
            const HWND refresh =
                GetDlgItem(main, vindrel::ControlId(vindrel::layout::Find("Command1")));
            SendMessageW(refresh, BM_CLICK, 0, 0);
            if (!list) {
                PrintRect(main);
                return 0;
            }
            SendMessageW(main, WM_SYSCOMMAND, vindrel::win32::Win32Form::kMenuItemCommand + 0x10,
                         0);
            for (int wait = 0; wait < 100; ++wait, Sleep(50)) {
                const HWND windows = FindWindowW(vindrel::win32::kOwnedFormClass, nullptr);
                if (windows != nullptr && IsWindowVisible(windows)) {
                    PrintRect(windows);
                    return 0;
                }
            }
            return 1;
        }
        Sleep(50);
    }
    return 1;
}
