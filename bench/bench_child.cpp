// A process for the refresh benchmark to start many of: with "window" it
// owns one top-level window, with "windows N" N of them (one in ten
// shown), with "shown windows N" N of them all shown, otherwise none. It
// waits until it is ended.
#include <windows.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (std::wcsstr(commandLine, L"window") == nullptr) {
        Sleep(INFINITE);
        return 0;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"VindrelBenchChild";
    RegisterClassExW(&wc);
    const wchar_t* many = std::wcsstr(commandLine, L"windows ");
    const int count = many != nullptr ? static_cast<int>(std::wcstol(many + 8, nullptr, 10)) : 1;
    for (int i = 0; i < count; ++i) {
        const std::wstring title = L"基准测试窗口 " + std::to_wstring(i);
        const HWND hwnd =
            CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10 * (i % 50),
                            10 * (i % 40), 200, 100, nullptr, nullptr, instance, nullptr);
        const bool shown = std::wcsstr(commandLine, L"shown") != nullptr;
        if (many != nullptr && (shown || i % 10 == 0)) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
