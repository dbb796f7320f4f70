#include "platform/win32/navigation_win32.h"

#include <vector>

#include "platform/tab_order.h"
#include "platform/win32/controls_win32.h"

namespace vindrel::win32 {

namespace {

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

// The children in tab order (their creation order) as navigation sees them.
std::vector<TabEntry> Entries(const Win32Ui& ui) {
    std::vector<TabEntry> entries;
    entries.reserve(ui.children.size());
    for (const auto& [hwnd, row] : ui.children) {
        const bool option = row->kind == ControlKind::OptionButton;
        entries.push_back({row, IsWindowVisible(hwnd) != FALSE && IsWindowEnabled(hwnd) != FALSE,
                           option && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED});
    }
    return entries;
}

int IndexOf(const Win32Ui& ui, HWND hwnd) {
    for (std::size_t i = 0; i < ui.children.size(); ++i) {
        if (ui.children[i].first == hwnd) return static_cast<int>(i);
    }
    return -1;
}

void Focus(const Win32Ui& ui, int index) {
    const auto& [hwnd, row] = ui.children[static_cast<std::size_t>(index)];
    SetFocus(hwnd);
    // As the dialog manager does: a text box entered with Tab has its text
    // selected, ready to be typed over.
    if (row->kind == ControlKind::TextBox) SendMessageW(hwnd, EM_SETSEL, 0, -1);
}

}  // namespace

void FocusNextStop(const Win32Ui& ui, HWND from) {
    const int next = NextTabStop(Entries(ui), IndexOf(ui, from), true);
    if (next >= 0) Focus(ui, next);
}

bool Navigate(const Win32Ui& ui, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || ui.form == nullptr) return false;
    if (msg.hwnd != ui.form && !IsChild(ui.form, msg.hwnd)) return false;
    if (const NativeControl* control = NativeControl::From(msg.hwnd);
        control != nullptr && control->OwnsKeys()) {
        return false;
    }
    if (Pressed(VK_CONTROL) || Pressed(VK_MENU)) return false;
    if (msg.wParam == VK_F5) {
        if (ui.formWrapper != nullptr) ui.formWrapper->OnRefreshKey();
        return true;
    }
    const int current = IndexOf(ui, GetFocus());

    if (msg.wParam == VK_TAB) {
        const int next = NextTabStop(Entries(ui), current, !Pressed(VK_SHIFT));
        if (next >= 0) Focus(ui, next);
        return true;
    }
    const bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN;
    const bool back = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
    if ((!forward && !back) || current < 0 ||
        ui.children[static_cast<std::size_t>(current)].second->kind != ControlKind::OptionButton) {
        return false;
    }
    // Within a group the arrow keys move the focus and choose the option,
    // through the same click as the mouse's.
    const int next = NextOption(Entries(ui), current, forward);
    if (next != current) {
        const HWND option = ui.children[static_cast<std::size_t>(next)].first;
        SetFocus(option);
        SendMessageW(option, BM_CLICK, 0, 0);
    }
    return true;
}

}  // namespace vindrel::win32
