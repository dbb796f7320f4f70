// The window finder over Win32: its drawing, the drag with the mouse
// capture, and the outline's bars.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>

#include "platform/outline_geometry.h"
#include "platform/step_error.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/handle_cast.h"
#include "platform/win32/system_function.h"

namespace vindrel::win32 {

namespace {

constexpr wchar_t kFinderClass[] = L"VindrelFinder";
constexpr wchar_t kOutlineClass[] = L"VindrelOutline";
constexpr COLORREF kOutlineColour = RGB(255, 0, 0);

// Where the pointer was when the message being handled was posted.
Finder::Point MessagePoint() {
    const DWORD at = GetMessagePos();
    return {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

// The window's rectangle as drawn: from Windows 10 on, GetWindowRect also
// counts the invisible borders meant for resizing.
bool VisibleRect(HWND window, RECT& rect) {
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    static const auto getAttribute =
        SystemFunction<DwmGetWindowAttributeFn>(L"dwmapi.dll", "DwmGetWindowAttribute");
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    if (getAttribute != nullptr &&
        SUCCEEDED(getAttribute(window, kExtendedFrameBounds, &rect, sizeof rect))) {
        return true;
    }
    return GetWindowRect(window, &rect) != FALSE;
}

// The DPI of the screen a window is on: GetDpiForMonitor exists from
// Windows 8.1 on; earlier systems have one DPI.
int ScreenDpi(HMONITOR monitor, int fallback) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpiForMonitor != nullptr && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && x != 0) {
        return static_cast<int>(x);
    }
    return fallback;
}

LRESULT CALLBACK FinderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // A drag's steps run the handlings at once: as in the main window's
    // procedure, nothing may cross into the window manager.
    try {
        if (auto* finder = dynamic_cast<Win32Finder*>(NativeControl::From(hwnd))) {
            LRESULT result = 0;
            if (finder->OnMessage(msg, wParam, lParam, result)) return result;
        }
    } catch (const StepError& failure) {
        MessageBoxW(GetAncestor(hwnd, GA_ROOT), failure.Prompt().c_str(), L"Vindrel",
                    MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(GetAncestor(hwnd, GA_ROOT), L"程序内部错误", L"Vindrel", MB_OK | MB_ICONERROR);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK OutlineProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // Never in the way of the pointer.
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

const wchar_t* Win32Finder::RegisterClasses(HINSTANCE instance) {
    // The outline's brush belongs to its class for the rest of the run.
    static const HBRUSH outline = CreateSolidBrush(kOutlineColour);
    if (!RegisterWindowClass(instance, {.name = kFinderClass, .procedure = FinderProc}) ||
        !RegisterWindowClass(
            instance, {.name = kOutlineClass, .procedure = OutlineProc, .background = outline})) {
        return nullptr;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return kFinderClass;
}

Win32Finder::Win32Finder(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
    : NativeControl(ui, row, hwnd) {
    // The tooltip is a popup owned by the main window, like the outline.
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, ui_.form, nullptr, ui_.instance, nullptr);
    if (tooltip_ != nullptr) {
        std::wstring text(row.caption);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;  // what every version of the control takes
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = ui_.form;
        tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        tool.lpszText = text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

Win32Finder::~Win32Finder() {
    if (capturing_ && GetCapture() == hwnd_) ReleaseCapture();
    RemoveOutline();
    if (tooltip_ != nullptr && IsWindow(tooltip_)) DestroyWindow(tooltip_);
}

void Win32Finder::Route(bool command, void (*step)(Win32Finder&, Point), Point at) {
    const HWND hwnd = hwnd_;
    auto run = [hwnd, step, at] {
        if (auto* finder = dynamic_cast<Win32Finder*>(NativeControl::From(hwnd))) step(*finder, at);
    };
    if (command) {
        ui_.dispatch.Command(run);
    } else {
        ui_.dispatch.Tick(run);
    }
}

bool Win32Finder::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            if (capturing_) return true;
            focusBefore_ = GetFocus();
            SetFocus(hwnd_);
            SetCapture(hwnd_);
            capturing_ = true;
            SetCursor(LoadCursorW(nullptr, IDC_CROSS));
            InvalidateRect(hwnd_, nullptr, TRUE);
            Route(
                true, [](Win32Finder& f, Point at) { f.UserPressed(at); }, MessagePoint());
            return true;
        case WM_MOUSEMOVE:
            if (!capturing_) return false;
            SetCursor(LoadCursorW(nullptr, IDC_CROSS));
            Route(
                false, [](Win32Finder& f, Point at) { f.UserMoved(at); }, MessagePoint());
            return true;
        case WM_LBUTTONUP:
            if (capturing_) Finish(false);
            return true;
        case WM_KEYDOWN:
            if (!capturing_ || wParam != VK_ESCAPE) return false;
            Finish(true);
            return true;
        case WM_CAPTURECHANGED:
            // Taken away by another window: given up.
            if (capturing_) Finish(true);
            return false;
        case WM_GETDLGCODE:
            // Esc is the drag's, not the dialog manager's.
            result = capturing_ ? DLGC_WANTALLKEYS : 0;
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT:
            Paint();
            return true;
        default:
            return false;
    }
}

void Win32Finder::Finish(bool cancelled) {
    capturing_ = false;
    const Point at = MessagePoint();
    // Not when another window of this thread has taken the capture.
    if (GetCapture() == hwnd_) ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    RemoveOutline();
    if (GetFocus() == hwnd_) {
        SetFocus(focusBefore_ != nullptr && IsWindow(focusBefore_) ? focusBefore_
                                                                   : ui_.firstInTabOrder);
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (cancelled) {
        Route(
            true, [](Win32Finder& f, Point) { f.UserCancelled(); }, at);
    } else {
        Route(
            true, [](Win32Finder& f, Point p) { f.UserReleased(p); }, at);
    }
}

void Win32Finder::Outline(vindrel::Hwnd window) {
    const HWND target = ToHwnd(window);
    RECT rect{};
    if (window == 0 || !IsWindow(target) || !VisibleRect(target, rect)) {
        RemoveOutline();
        return;
    }
    const HMONITOR monitor = MonitorFromWindow(target, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const auto bars = OutlineBars(
        {rect.left, rect.top, rect.right, rect.bottom},
        {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom},
        ScreenDpi(monitor, ui_.dpi));
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (bars_[i] == nullptr) {
            bars_[i] = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                                           WS_EX_LAYERED | WS_EX_TRANSPARENT,
                                       kOutlineClass, nullptr, WS_POPUP, 0, 0, 0, 0, ui_.form,
                                       nullptr, ui_.instance, nullptr);
            if (bars_[i] == nullptr) continue;
            SetLayeredWindowAttributes(bars_[i], 0, 255, LWA_ALPHA);
        }
        const ScreenRect& bar = bars[i];
        SetWindowPos(
            bars_[i], HWND_TOPMOST, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
            SWP_NOACTIVATE | SWP_NOOWNERZORDER |
                (bar.right > bar.left && bar.bottom > bar.top ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

void Win32Finder::RemoveOutline() {
    for (HWND& bar : bars_) {
        if (bar != nullptr && IsWindow(bar)) DestroyWindow(bar);
        bar = nullptr;
    }
}

void Win32Finder::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int size = std::min(client.right, client.bottom);
    const int pen = std::max(1, size / 16);
    const HPEN line = CreatePen(PS_SOLID, pen, GetSysColor(COLOR_BTNTEXT));
    const HGDIOBJ oldPen = SelectObject(dc, line);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, pen / 2, pen / 2, size - pen / 2, size - pen / 2);
    if (!capturing_) {
        // The crosshair: a ring and two lines through its centre.
        const int mid = size / 2;
        const int ring = size / 2;
        const int reach = size * 3 / 8;
        Ellipse(dc, mid - ring / 2 - 1, mid - ring / 2 - 1, mid + ring / 2 + 1, mid + ring / 2 + 1);
        MoveToEx(dc, mid - reach, mid, nullptr);
        LineTo(dc, mid + reach + 1, mid);
        MoveToEx(dc, mid, mid - reach, nullptr);
        LineTo(dc, mid, mid + reach + 1);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(line);
    EndPaint(hwnd_, &ps);
}

}  // namespace vindrel::win32
