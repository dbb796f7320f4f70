// Waits for Vindrel's main window in this Wine session and clicks
// "刷新列表" as a user would; used by the run script before its screenshot.
#include <windows.h>

#include "platform/win32/toolkit_win32.h"
#include "ui/layout.h"

int wmain() {
    for (int tries = 0; tries < 400; ++tries) {
        const HWND main = FindWindowW(vindrel::win32::kFormClass, nullptr);
        if (main != nullptr && IsWindowVisible(main)) {
            const HWND refresh =
                GetDlgItem(main, vindrel::ControlId(vindrel::layout::Find("Command1")));
            SendMessageW(refresh, BM_CLICK, 0, 0);
            return 0;
        }
        Sleep(50);
    }
    return 1;
}
