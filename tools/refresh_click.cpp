// Waits for Vindrel's main window in this Wine session, clicks "刷新列表"
// as a user would, and prints the window's rectangle on the screen
// ("WIDTHxHEIGHT+LEFT+TOP"); the run script crops its screenshot to it.
#include <windows.h>

#include <cstdio>

#include "platform/win32/toolkit_win32.h"
#include "ui/layout.h"

int wmain() {
    for (int tries = 0; tries < 400; ++tries) {
        const HWND main = FindWindowW(vindrel::win32::kFormClass, nullptr);
        if (main != nullptr && IsWindowVisible(main)) {
            const HWND refresh =
                GetDlgItem(main, vindrel::ControlId(vindrel::layout::Find("Command1")));
            SendMessageW(refresh, BM_CLICK, 0, 0);
            RECT rect{};
            GetWindowRect(main, &rect);
            std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top,
                        rect.left, rect.top);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}
