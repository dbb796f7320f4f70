// The smallest Win32 program with one empty window, of the same size as
// Vindrel's: the start-up time that Vindrel's start-up is compared with.
// With "exit" it ends at once, windowless: the floor of a command's run.
#include <windows.h>

#include <cwchar>

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    if (std::wcsstr(commandLine, L"exit") != nullptr) return 0;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"VindrelBenchMinimal";
    RegisterClassExW(&wc);
    // Vindrel's client area: 12465 x 6855 twips at the screen's DPI.
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT rect{0, 0, MulDiv(12465, dpi, 1440), MulDiv(6855, dpi, 1440)};
    AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Minimal", kStyle, CW_USEDEFAULT,
                                      CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                                      nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, showCommand);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
