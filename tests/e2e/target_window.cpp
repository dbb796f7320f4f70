// A window for the end-to-end tests to act on: one top-level window with
// the title given on the command line, which logs the messages it receives
// to a file, one line each. Sent kHangMessage, its thread stops answering
// for good, as a hung program's does.
//   target_window.exe <log file> <title>
//                     [callback | click <hwnd> | close <hwnd> | two | lost | minimised]
// With "callback", while it handles WM_SHOWWINDOW, WM_SIZE, WM_SETTEXT and
// WM_STYLECHANGED it sends a message to Vindrel's main window and waits
// for the answer. That stands for what Windows does when a call on another
// program's window moves the activation: it sends WM_NCACTIVATE/WM_ACTIVATE
// to the caller's window and waits (Wine does not), and for any target
// that talks back to the caller while it handles the call.
// With "click", while it is being hidden it clicks the button <hwnd> with a
// sent BM_CLICK; with "close" it sends WM_CLOSE to the window <hwnd>: any
// program may do so while Vindrel waits for the hiding to finish.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

FILE* g_log = nullptr;
bool g_callback = false;
// What is sent to g_peer while the window is being hidden (0: nothing).
UINT g_onHide = 0;
HWND g_peer = nullptr;

void Log(const char* line) {
    if (g_log == nullptr) return;
    std::fputs(line, g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

// Sends to Vindrel's main window, if there is one, and waits for the answer.
void CallBack(const char* during) {
    if (!g_callback) return;
    const HWND vindrel = FindWindowW(L"VindrelForm1", nullptr);
    if (vindrel == nullptr) return;
    SendMessageW(vindrel, WM_NULL, 0, 0);
    Log((std::string("CALLBACK ") + during).c_str());
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETTEXT:
            Log("WM_SETTEXT");
            CallBack("WM_SETTEXT");
            break;
        case WM_SHOWWINDOW:
            CallBack("WM_SHOWWINDOW");
            if (wParam == FALSE && g_onHide != 0) {
                Log("SENDING");
                SendMessageW(g_peer, g_onHide, 0, 0);
                Log("SENT");
            }
            break;
        case WM_SIZE:
            CallBack("WM_SIZE");
            break;
        case WM_STYLECHANGED:
            CallBack("WM_STYLECHANGED");
            break;
        case WM_APP + 1:  // kHangMessage
            Log("HANG");
            Sleep(INFINITE);
            return 0;
        case WM_APP + 2:  // kNewWindowMessage: another top-level window, shown
            ShowWindow(CreateWindowExW(0, L"VindrelTestTarget", L"后来的窗口", WS_OVERLAPPEDWINDOW,
                                       140, 140, 320, 200, nullptr, nullptr, nullptr, nullptr),
                       SW_SHOWNOACTIVATE);
            return 0;
        case WM_CLOSE:
            Log("WM_CLOSE");
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) return 2;
    g_log = _wfopen(argv[1], L"w");
    const std::wstring title = argv[2];
    const std::wstring mode = argc > 3 ? argv[3] : L"";
    g_callback = mode == L"callback";
    if ((mode == L"click" || mode == L"close") && argc > 4) {
        g_onHide = mode == L"click" ? BM_CLICK : WM_CLOSE;
        g_peer = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[4], nullptr, 10)));
    }
    LocalFree(argv);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VindrelTestTarget";
    RegisterClassExW(&wc);
    // "lost": never shown, far off screen, and all but transparent;
    // "minimised": never shown, minimised where it would be seen.
    const bool lost = mode == L"lost", minimised = mode == L"minimised";
    const int at = lost ? -5000 : 100;
    const HWND hwnd = CreateWindowExW(lost ? WS_EX_LAYERED : 0, wc.lpszClassName, title.c_str(),
                                      WS_OVERLAPPEDWINDOW | (minimised ? WS_MINIMIZE : 0), at, at,
                                      320, 200, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    if (lost) {
        SetLayeredWindowAttributes(hwnd, 0, 10, LWA_ALPHA);
    } else if (!minimised) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    if (mode == L"two") {
        // A second top-level window, hidden, with a title of its own.
        CreateWindowExW(0, wc.lpszClassName, (title + L" 的隐藏窗口").c_str(), WS_OVERLAPPEDWINDOW,
                        120, 120, 320, 200, nullptr, nullptr, instance, nullptr);
    }
    Log("READY");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_log != nullptr) std::fclose(g_log);
    return 0;
}
