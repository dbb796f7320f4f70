// A process for the refresh benchmark to start many of: with "window" it
// owns one top-level window, otherwise none. It waits until it is ended.
#include <windows.h>

#include <cwchar>

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
    CreateWindowExW(0, wc.lpszClassName, L"基准测试窗口", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                    nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
