// The main window's icon in the notification area: Shell_NotifyIconW
// (shell32, loaded only once an icon is wanted), version 4 callbacks, the
// icon added again when the shell starts again, and its menu.
#include <windows.h>

#include <shellapi.h>

#include "platform/win32/controls_win32.h"
#include "platform/win32/system_function.h"

namespace vindrel::win32 {

namespace {

constexpr UINT kTrayId = 1;

using NotifyIcon = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);

BOOL TrayCall(DWORD message, NOTIFYICONDATAW& data) {
    static const auto notify = SystemFunction<NotifyIcon>(L"shell32.dll", "Shell_NotifyIconW");
    return notify != nullptr && notify(message, &data);
}

NOTIFYICONDATAW IconData(HWND hwnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd;
    data.uID = kTrayId;
    return data;
}

void CopyInto(wchar_t* to, std::size_t size, const std::wstring& text) {
    const std::size_t count = std::min(text.size(), size - 1);
    text.copy(to, count);
    to[count] = L'\0';
}

}  // namespace

UINT Win32Form::TaskbarCreated() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool Win32Form::ShowTrayIcon(const std::wstring& tip) {
    NOTIFYICONDATAW data = IconData(hwnd_);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICONSM));
    if (data.hIcon == nullptr)
        data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICON));
    CopyInto(data.szTip, std::size(data.szTip), tip);
    trayUsed_ = true;
    // An icon the shell lost (it started again) is added anew; one it kept
    // (TaskbarCreated also comes on a change of the taskbar, and an add may
    // time out yet take) is only set.
    if (trayAdded_ && TrayCall(NIM_MODIFY, data)) return true;
    trayAdded_ = TrayCall(NIM_ADD, data) != FALSE || TrayCall(NIM_MODIFY, data) != FALSE;
    if (!trayAdded_) return false;
    data.uVersion = NOTIFYICON_VERSION_4;
    TrayCall(NIM_SETVERSION, data);
    // Run as administrator, the window still hears of a new shell.
    LetThroughFilter(hwnd_, TaskbarCreated());
    return true;
}

void Win32Form::RemoveTrayIcon() {
    if (!trayUsed_) return;
    NOTIFYICONDATAW data = IconData(hwnd_);
    TrayCall(NIM_DELETE, data);
    trayAdded_ = false;
}

void Win32Form::TrayBalloon(const std::wstring& title, const std::wstring& text) {
    if (!trayAdded_) return;
    NOTIFYICONDATAW data = IconData(hwnd_);
    // The tip would otherwise stop showing after the balloon.
    data.uFlags = NIF_INFO | NIF_SHOWTIP;
    data.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    CopyInto(data.szInfoTitle, std::size(data.szInfoTitle), title);
    CopyInto(data.szInfo, std::size(data.szInfo), text);
    TrayCall(NIM_MODIFY, data);
}

std::optional<std::size_t> Win32Form::TrayMenu(const std::vector<TrayItem>& items) {
    const HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return std::nullopt;
    trayMenuAsked_ = true;  // while it is open, no other
    for (std::size_t i = 0; i < items.size(); ++i) {
        AppendMenuW(menu, MF_STRING | (items[i].enabled ? 0 : MF_GRAYED), i + 1,
                    items[i].caption.c_str());
    }
    // Without the foreground the menu would not close on a click elsewhere;
    // the message after it lets the menu's end be seen at once. The global
    // key works meanwhile, as it does while a message box waits.
    SetForegroundWindow(hwnd_);
    const Dispatch::Asking asking(ui_.dispatch);
    const auto chosen = static_cast<std::size_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, trayAnchor_.x,
                       trayAnchor_.y, 0, hwnd_, nullptr));
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    trayMenuAsked_ = false;
    if (chosen == 0 || chosen > items.size()) return std::nullopt;
    return chosen - 1;
}

void Win32Form::OnTray(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(lParam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
        case NIN_BALLOONUSERCLICK:
            // While a handling waits for an answer, its box comes forward
            // rather than another handling queued behind it.
            if (ui_.dispatch.Busy()) {
                SetForegroundWindow(GetLastActivePopup(hwnd_));
                break;
            }
            ui_.dispatch.Command([this] { TrayClicked.Raise(); });
            break;
        case WM_CONTEXTMENU:
            // Where the shell says (the keyboard, another monitor); one menu
            // however often it is asked for meanwhile.
            trayAnchor_ = {static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))};
            if (trayMenuAsked_) break;
            trayMenuAsked_ = true;
            ui_.dispatch.Command([this] {
                trayMenuAsked_ = false;
                TrayMenuAsked.Raise();
            });
            break;
        default:
            break;
    }
}

void Win32Form::OnShellRestarted() {
    trayAdded_ = false;
    ui_.dispatch.Command([this] { ShellRestarted.Raise(); });
}

}  // namespace vindrel::win32
