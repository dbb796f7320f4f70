#include "platform/win32/toolkit_win32.h"

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <string>

#include "platform/step_error.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/navigation_win32.h"
#include "platform/win32/system_function.h"
#include "platform/win32/unique_handle.h"

namespace vindrel::win32 {

namespace {

[[noreturn]] void FailCreate(const wchar_t* call, std::string_view name) {
    const DWORD error = GetLastError();
    throw StepError(L"无法创建主窗口", std::wstring(call) + L"（" +
                                           std::wstring(name.begin(), name.end()) +
                                           L"）失败，错误 " + HexCode(error));
}

// GetDpiForWindow exists from Windows 10 on; earlier systems have one DPI.
UINT WindowDpi(HWND hwnd, UINT fallback) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(hwnd) : 0;
    return dpi != 0 ? dpi : fallback;
}

// The notifications of our own controls, routed to their wrappers through
// the dispatch: a handling never runs inside another. The wrapper is looked
// up again when the notification runs, since it may run later.
bool RouteNotification(Win32Ui& ui, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto child = reinterpret_cast<HWND>(lParam);
    if (NativeControl::From(child) == nullptr) return false;
    if (msg == WM_COMMAND) {
        const int code = HIWORD(wParam);
        ui.dispatch.Command([child, code] {
            if (auto* control = NativeControl::From(child)) control->OnCommand(code);
        });
    } else {
        const int code = LOWORD(wParam);
        const int position = static_cast<short>(HIWORD(wParam));
        ui.dispatch.Command([child, code, position] {
            if (auto* control = NativeControl::From(child)) control->OnScroll(code, position);
        });
    }
    return true;
}

// What is drawn, and the pointer: answered at once, never a handling.
bool RouteDrawing(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (auto* control = NativeControl::From(reinterpret_cast<HWND>(lParam))) {
                if (const HBRUSH brush = control->OnColour(reinterpret_cast<HDC>(wParam))) {
                    result = reinterpret_cast<LRESULT>(brush);
                    return true;
                }
            }
            return false;
        case WM_SETCURSOR:
            if (auto* control = NativeControl::From(reinterpret_cast<HWND>(wParam))) {
                if (control->OnSetCursor()) {
                    result = TRUE;
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

// Whether that many bytes at an address are committed, readable memory of
// this process.
bool Readable(LPARAM address, std::size_t size) {
    MEMORY_BASIC_INFORMATION region{};
    const auto* at = reinterpret_cast<const char*>(address);
    if (at == nullptr || VirtualQuery(at, &region, sizeof region) == 0) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const auto* end = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    return region.State == MEM_COMMIT && (region.Protect & kReadable) != 0 &&
           (region.Protect & PAGE_GUARD) == 0 && at + size <= end;
}

LRESULT HandleMessage(Win32Ui* ui, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteDrawing(msg, wParam, lParam, result)) return result;
    if (ui == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
            if (RouteNotification(*ui, msg, wParam, lParam)) return 0;
            // Esc in a window the main window owns closes it.
            if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL && lParam == 0 && ui->owned &&
                ui->formWrapper != nullptr) {
                ui->formWrapper->OnClose();
                return 0;
            }
            break;
        case WM_NOTIFY: {
            // A WM_NOTIFY another program sends may carry a pointer into
            // its own memory: only a header this process can read is read.
            if (!Readable(lParam, sizeof(NMHDR))) break;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (auto* control = NativeControl::From(header->hwndFrom)) {
                if (control->OnNotify(*header, result)) return result;
            }
            break;
        }
        case DM_GETDEFID:
            // Enter clicks the default button.
            if (ui->defaultButton != 0) return MAKELRESULT(ui->defaultButton, DC_HASDEFID);
            break;
        case WM_SIZE:
            if (ui->owned && wParam != SIZE_MINIMIZED) ui->Place();
            break;
        case WM_SHOWWINDOW:
            // Shown again with its owner, which was minimised.
            if (ui->owned && wParam != FALSE && lParam == SW_PARENTOPENING &&
                ui->formWrapper != nullptr) {
                ui->formWrapper->OnReappeared();
            }
            break;
        case WM_GETMINMAXINFO:
            if (ui->owned) {
                RECT least{0, 0, ui->Px(ui->design.width), ui->Px(ui->design.height)};
                AdjustWindowRectEx(&least, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)),
                                   FALSE, static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)));
                auto* sizes = reinterpret_cast<MINMAXINFO*>(lParam);
                sizes->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // A window the main window owns gives the focus back to the
            // control that had it.
            if (ui->owned) {
                if (LOWORD(wParam) == WA_INACTIVE) {
                    if (const HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd, focus)) {
                        ui->lastFocus = focus;
                    }
                } else if (HIWORD(wParam) == 0) {
                    const HWND focus = ui->lastFocus != nullptr && IsWindow(ui->lastFocus)
                                           ? ui->lastFocus
                                           : ui->firstInTabOrder;
                    if (focus != nullptr) SetFocus(focus);
                }
                return 0;
            }
            if (LOWORD(wParam) != WA_INACTIVE && ui->formWrapper != nullptr) {
                ui->formWrapper->OnActivated();
            }
            break;
        case WM_QUERYENDSESSION:
            if (ui->formWrapper != nullptr && ui->formWrapper->SessionEnding) {
                ui->formWrapper->SessionEnding();
            }
            return TRUE;
        case WM_ENDSESSION:
            if (wParam == FALSE && ui->formWrapper != nullptr) ui->formWrapper->OnSessionResumed();
            break;
        case WM_HOTKEY:
            if (ui->formWrapper != nullptr) ui->formWrapper->OnHotKey();
            return 0;
        case WM_TIMER:
            if (wParam == Win32Form::kKeyUpTimer && ui->formWrapper != nullptr) {
                ui->formWrapper->OnKeyUpWatch();
                return 0;
            }
            if (const auto timer = ui->timers.find(wParam); timer != ui->timers.end()) {
                Win32Timer* const ticking = timer->second;
                ui->dispatch.Tick([ticking] { ticking->OnTimer(); });
            }
            return 0;
        case WM_CLOSE:
            // The close box, Alt+F4 or another program: once no handling is
            // in progress, the window goes if the form lets it.
            if (ui->formWrapper != nullptr) {
                ui->formWrapper->OnClose();
            } else {
                ui->dispatch.Command([hwnd] { DestroyWindow(hwnd); });
            }
            return 0;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam) != 0 && ui->formWrapper != nullptr) {
                ui->formWrapper->OnSystemMenu(reinterpret_cast<HMENU>(wParam));
            }
            break;
        case WM_SYSCOMMAND:
            if (ui->formWrapper != nullptr &&
                ui->formWrapper->OnMenuItem(static_cast<UINT>(wParam & 0xFFF0))) {
                return 0;
            }
            if ((wParam & 0xFFF0) == SC_CLOSE && !ui->owned && ui->formWrapper != nullptr &&
                ui->formWrapper->CloseBox) {
                ui->formWrapper->OnCloseBox();
                return 0;
            }
            break;
        case Win32Form::kTrayMessage:
            if (ui->formWrapper != nullptr) ui->formWrapper->OnTray(wParam, lParam);
            return 0;
        case Win32Form::kNotifyMessage:
            if (ui->formWrapper != nullptr) ui->formWrapper->OnNotify();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a screen of another DPI: the suggested rectangle
            // keeps the client area's twips; the controls follow.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ui->LayOut(HIWORD(wParam));
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            // The main window's, also when another program only sends it:
            // the message loop ends, and the window is destroyed after it
            // (Win32Toolkit::Run).
            if (ui->owned) return 0;
            ui->dispatch.Close();
            if (ui->looping) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            ui->form = nullptr;
            SetWindowLongPtrW(hwnd, 0, 0);
            break;
        default:
            if (msg == Win32Form::TaskbarCreated() && ui->formWrapper != nullptr) {
                ui->formWrapper->OnShellRestarted();
            }
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // No exception may cross into the window manager. Failed steps are
    // reported by the handlings themselves; anything else reaching here is
    // a fault of the program, shown and survived.
    try {
        // The main window keeps its Win32Ui in its extra bytes, not in
        // GWLP_USERDATA, which holds a NativeControl for every child.
        if (msg == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        return HandleMessage(reinterpret_cast<Win32Ui*>(GetWindowLongPtrW(hwnd, 0)), hwnd, msg,
                             wParam, lParam);
    } catch (const StepError& failure) {
        MessageBoxW(hwnd, failure.Prompt().c_str(), L"Vindrel", MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(hwnd, L"程序内部错误", L"Vindrel", MB_OK | MB_ICONERROR);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HFONT CreateUiFont(int dpi, int points, int weight) {
    // 宋体 in the GB2312 character set; where it is missing the font mapper
    // picks a font of that character set.
    return CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}

Win32Toolkit::Win32Toolkit(HINSTANCE instance, int iconId, int cursorId) {
    ui_.instance = instance;
    const HDC screen = GetDC(nullptr);
    ui_.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ui_.CreateFonts();
    ui_.green = GdiObject<HBRUSH>(CreateSolidBrush(ui_.BackColour(Colour::Green)));
    ui_.paleYellow = GdiObject<HBRUSH>(CreateSolidBrush(ui_.BackColour(Colour::PaleYellow)));
    if (iconId != 0) {
        icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE | LR_SHARED));
    }
    if (cursorId != 0) {
        ui_.labelCursor = static_cast<HCURSOR>(LoadImageW(
            instance, MAKEINTRESOURCEW(cursorId), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    }
    frameClass_ = Win32Frame::RegisterClass(instance);
    if (frameClass_ == nullptr) FailCreate(L"RegisterClassExW", "Frame");
    finderClass_ = Win32Finder::RegisterClasses(instance);
    if (finderClass_ == nullptr) FailCreate(L"RegisterClassExW", "Finder");
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
}

std::unique_ptr<Form> Win32Toolkit::CreateForm(const LayoutRow& row) {
    if (row.sizable) return CreateOwnedForm(row);
    // A fixed single border with a minimise box.
    return CreateTopLevel(
        ui_, row, kFormClass,
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, nullptr);
}

std::unique_ptr<Form> Win32Toolkit::CreateOwnedForm(const LayoutRow& row) {
    Win32Ui& ui = windows_.emplace_back(dispatch_);
    ui.instance = ui_.instance;
    ui.dpi = ui_.dpi;
    ui.owned = true;
    ui.design = row.rect;
    ui.labelCursor = ui_.labelCursor;
    ui.green = GdiObject<HBRUSH>(CreateSolidBrush(ui.BackColour(Colour::Green)));
    ui.paleYellow = GdiObject<HBRUSH>(CreateSolidBrush(ui.BackColour(Colour::PaleYellow)));
    ui.CreateFonts();
    return CreateTopLevel(ui, row, kOwnedFormClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          ui_.form);
}

std::unique_ptr<Form> Win32Toolkit::CreateTopLevel(Win32Ui& ui, const LayoutRow& row,
                                                   const wchar_t* windowClass, DWORD style,
                                                   HWND owner) {
    if (!RegisterWindowClass(ui.instance,
                             {.name = windowClass,
                              .procedure = FormProc,
                              .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                              .extraBytes = sizeof(Win32Ui*),
                              .icon = icon_})) {
        FailCreate(L"RegisterClassExW", row.name);
    }
    // The client area is the layout's, in pixels at the window's DPI.
    constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
    const auto outerSize = [&] {
        RECT frame{0, 0, ui.Px(row.rect.width), ui.Px(row.rect.height)};
        AdjustWindowRectEx(&frame, style, FALSE, kExStyle);
        return SIZE{frame.right - frame.left, frame.bottom - frame.top};
    };
    const SIZE size = outerSize();
    POINT at{CW_USEDEFAULT, CW_USEDEFAULT};
    if (owner != nullptr) {
        // Below and right of its owner's corner, wholly on that monitor's
        // work area where it fits.
        RECT corner{};
        GetWindowRect(owner, &corner);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
        at.x = std::max(monitor.rcWork.left,
                        std::min(corner.left + ui.Px(600), monitor.rcWork.right - size.cx));
        at.y = std::max(monitor.rcWork.top,
                        std::min(corner.top + ui.Px(600), monitor.rcWork.bottom - size.cy));
    }
    const std::wstring caption(row.caption);
    const HWND hwnd = CreateWindowExW(kExStyle, windowClass, caption.c_str(), style, at.x, at.y,
                                      size.cx, size.cy, owner, nullptr, ui.instance, &ui);
    if (hwnd == nullptr) FailCreate(L"CreateWindowExW", row.name);
    ui.form = hwnd;
    ui.containers[row.name] = hwnd;
    // The window's own DPI, where the system tells it (a screen of another
    // DPI than the primary one).
    if (const int windowDpi = static_cast<int>(WindowDpi(hwnd, static_cast<UINT>(ui.dpi)));
        windowDpi != ui.dpi) {
        ui.dpi = windowDpi;
        ui.CreateFonts();
        const SIZE sized = outerSize();
        SetWindowPos(hwnd, nullptr, 0, 0, sized.cx, sized.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(ui.defaultFont.Get()), FALSE);
    return std::make_unique<Win32Form>(ui, hwnd);
}

Win32Ui& Win32Toolkit::UiOf(const LayoutRow& row) {
    for (Win32Ui& ui : windows_) {
        if (ui.containers.count(row.container) != 0) return ui;
    }
    return ui_;
}

HWND Win32Toolkit::CreateChild(const LayoutRow& row, const wchar_t* windowClass, DWORD style,
                               DWORD exStyle) {
    Win32Ui& ui = UiOf(row);
    const auto container = ui.containers.find(row.container);
    if (container == ui.containers.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        FailCreate(L"CreateWindowExW", row.name);
    }
    const std::wstring caption(row.caption);
    const HWND hwnd = CreateWindowExW(
        exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
        ui.Px(row.rect.left), ui.Px(row.rect.top), ui.Px(row.rect.width), ui.Px(row.rect.height),
        container->second, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row))),
        ui.instance, nullptr);
    if (hwnd == nullptr) FailCreate(L"CreateWindowExW", row.name);
    if (row.kind == ControlKind::Button && row.value != 0) ui.defaultButton = ControlId(row);
    const HFONT font = row.headerFont ? ui.headerFont.Get() : ui.defaultFont.Get();
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if ((style & WS_TABSTOP) != 0 && ui.firstInTabOrder == nullptr) ui.firstInTabOrder = hwnd;
    ui.children.emplace_back(hwnd, &row);
    return hwnd;
}

void Win32Ui::CreateFonts() {
    defaultFont = GdiObject<HFONT>(CreateUiFont(dpi, 9, FW_NORMAL));
    headerFont = GdiObject<HFONT>(CreateUiFont(dpi, 12, FW_BOLD));
}

void Win32Ui::LayOut(int newDpi) {
    if (newDpi == dpi) return;
    // The old fonts stay alive until no control uses them.
    const GdiObject<HFONT> oldDefault = std::move(defaultFont);
    const GdiObject<HFONT> oldHeader = std::move(headerFont);
    dpi = newDpi;
    CreateFonts();
    for (const auto& [hwnd, row] : children) {
        const HFONT font = row->headerFont ? headerFont.Get() : defaultFont.Get();
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (auto* control = NativeControl::From(hwnd)) control->OnDpiChanged();
    }
    Place();
}

void Win32Ui::Place() {
    if (form == nullptr) return;
    RECT client{};
    GetClientRect(form, &client);
    const int wider = owned ? std::max(0, static_cast<int>(client.right) - Px(design.width)) : 0;
    const int taller = owned ? std::max(0, static_cast<int>(client.bottom) - Px(design.height)) : 0;
    for (const auto& [hwnd, row] : children) {
        int left = Px(row->rect.left), top = Px(row->rect.top);
        int width = Px(row->rect.width), height = Px(row->rect.height);
        if ((row->anchor & kStretchWidth) != 0) width += wider;
        if ((row->anchor & kStretchHeight) != 0) height += taller;
        if ((row->anchor & kFollowRight) != 0) left += wider;
        if ((row->anchor & kFollowBottom) != 0) top += taller;
        MoveWindow(hwnd, left, top, width, height, FALSE);
    }
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

std::unique_ptr<Label> Win32Toolkit::CreateLabel(const LayoutRow& row) {
    return std::make_unique<Win32Label>(UiOf(row), row,
                                        CreateChild(row, L"STATIC", SS_LEFT | SS_NOTIFY));
}

std::unique_ptr<ListBox> Win32Toolkit::CreateListBox(const LayoutRow& row) {
    const HWND hwnd =
        CreateChild(row, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                    WS_EX_CLIENTEDGE);
    return std::make_unique<Win32ListBox>(UiOf(row), row, hwnd);
}

std::unique_ptr<TextBox> Win32Toolkit::CreateTextBox(const LayoutRow& row) {
    const HWND hwnd =
        CreateChild(row, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    return std::make_unique<Win32TextBox>(UiOf(row), row, hwnd);
}

std::unique_ptr<Button> Win32Toolkit::CreateButton(const LayoutRow& row) {
    return std::make_unique<Win32Button>(UiOf(row), row,
                                         CreateChild(row, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP));
}

std::unique_ptr<Frame> Win32Toolkit::CreateFrame(const LayoutRow& row) {
    const HWND hwnd =
        CreateChild(row, frameClass_, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT);
    Win32Ui& ui = UiOf(row);
    ui.containers[row.name] = hwnd;
    return std::make_unique<Win32Frame>(ui, row, hwnd);
}

std::unique_ptr<ScrollBar> Win32Toolkit::CreateScrollBar(const LayoutRow& row) {
    return std::make_unique<Win32ScrollBar>(UiOf(row), row,
                                            CreateChild(row, L"SCROLLBAR", SBS_HORZ | WS_TABSTOP));
}

std::unique_ptr<ComboBox> Win32Toolkit::CreateComboBox(const LayoutRow& row) {
    // The height is the list's when dropped; the box itself is one row.
    return std::make_unique<Win32ComboBox>(
        UiOf(row), row, CreateChild(row, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP));
}

std::unique_ptr<HotKeyBox> Win32Toolkit::CreateHotKeyBox(const LayoutRow& row) {
    const HWND hwnd = CreateChild(row, HOTKEY_CLASSW, WS_TABSTOP);
    // A key alone, or with Shift alone, would be taken from every program:
    // it gets Ctrl+Alt.
    SendMessageW(hwnd, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                 MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    return std::make_unique<Win32HotKeyBox>(UiOf(row), row, hwnd);
}

std::unique_ptr<CheckBox> Win32Toolkit::CreateCheckBox(const LayoutRow& row) {
    auto box = std::make_unique<Win32CheckBox>(
        UiOf(row), row, CreateChild(row, L"BUTTON", BS_CHECKBOX | WS_TABSTOP));
    SendMessageW(box->Window(), BM_SETCHECK, row.value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

std::unique_ptr<OptionButton> Win32Toolkit::CreateOptionButton(const LayoutRow& row) {
    auto option = std::make_unique<Win32OptionButton>(
        UiOf(row), row, CreateChild(row, L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP));
    SendMessageW(option->Window(), BM_SETCHECK, row.value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    return option;
}

std::unique_ptr<Timer> Win32Toolkit::CreateTimer(const LayoutRow& row) {
    Win32Ui& ui = UiOf(row);
    const UINT_PTR id = static_cast<UINT_PTR>(ui.timers.size() + 1);
    auto timer = std::make_unique<Win32Timer>(ui, id, row.value);
    ui.timers[id] = timer.get();
    return timer;
}

std::unique_ptr<ListView> Win32Toolkit::CreateListView(const LayoutRow& row) {
    const HWND hwnd = CreateChild(
        row, WC_LISTVIEWW,
        LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL,
        WS_EX_CLIENTEDGE);
    return std::make_unique<Win32ListView>(UiOf(row), row, hwnd);
}

std::unique_ptr<Finder> Win32Toolkit::CreateFinder(const LayoutRow& row) {
    return std::make_unique<Win32Finder>(UiOf(row), row, CreateChild(row, finderClass_, 0));
}

class Win32Toolkit::OthersDisabled {
public:
    // A message box disables its owner; the program's other windows are
    // disabled here for as long as it is open, and enabled again after.
    OthersDisabled(Win32Toolkit& toolkit, HWND owner) {
        const auto disable = [&](HWND hwnd) {
            if (hwnd != nullptr && hwnd != owner && IsWindowEnabled(hwnd)) {
                EnableWindow(hwnd, FALSE);
                disabled_.push_back(hwnd);
            }
        };
        for (const Win32Ui& ui : toolkit.windows_)
            disable(ui.form);
    }
    ~OthersDisabled() {
        for (const HWND hwnd : disabled_) {
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
        }
    }
    OthersDisabled(const OthersDisabled&) = delete;
    OthersDisabled& operator=(const OthersDisabled&) = delete;

private:
    std::vector<HWND> disabled_;
};

HWND Win32Toolkit::BoxOwner() const {
    const HWND active = GetActiveWindow();
    for (const Win32Ui& ui : windows_) {
        if (ui.owned && ui.form != nullptr && ui.form == active) return active;
    }
    return ui_.form;
}

void Win32Toolkit::MsgBox(const std::wstring& prompt, const std::optional<std::wstring>& title) {
    const HWND owner = BoxOwner();
    const OthersDisabled disabled(*this, owner);
    const Dispatch::Asking asking(dispatch_);
    const std::wstring caption = title.value_or(std::wstring(kDefaultMessageTitle));
    MessageBoxW(owner, prompt.c_str(), caption.c_str(), MB_OK);
}

Interaction::Answer Win32Toolkit::Ask(const std::wstring& prompt, Choices choices,
                                      const std::optional<std::wstring>& title) {
    const HWND owner = BoxOwner();
    const OthersDisabled disabled(*this, owner);
    const Dispatch::Asking asking(dispatch_);
    const std::wstring caption = title.value_or(std::wstring(kDefaultMessageTitle));
    const bool cancellable = choices == Choices::YesNoCancel;
    switch (
        MessageBoxW(owner, prompt.c_str(), caption.c_str(),
                    (cancellable ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONWARNING | MB_DEFBUTTON1)) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        case 0:
            // The box could not be shown.
            return cancellable ? Answer::Yes : Answer::No;
        default:
            return Answer::Cancel;
    }
}

void Win32Toolkit::Shell(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw StepError(L"无法启动程序",
                        L"“" + commandLine + L"”启动失败，错误 " + HexCode(GetLastError()));
    }
    const UniqueProcessHandle processHandle(process.hProcess);
    const UniqueProcessHandle threadHandle(process.hThread);
}

bool Win32Toolkit::DialogKey(MSG& msg) {
    // Each window takes only its own messages and its children's.
    for (const Win32Ui& ui : windows_) {
        if (Navigate(ui, msg) || (ui.form != nullptr && IsDialogMessageW(ui.form, &msg))) {
            return true;
        }
    }
    return false;
}

int Win32Toolkit::Run(int showCommand, const std::function<void()>& shown) {
    // Labels lie beneath the other controls, as if drawn on the window
    // itself; among themselves the later in tab order lies on top.
    for (auto child = ui_.children.rbegin(); child != ui_.children.rend(); ++child) {
        if (child->second->kind != ControlKind::Label) continue;
        SetWindowPos(child->first, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ShowWindow(ui_.form, showCommand);
    UpdateWindow(ui_.form);
    if (ui_.firstInTabOrder != nullptr) SetFocus(ui_.firstInTabOrder);
    if (shown) shown();
    MSG msg{};
    BOOL got;
    ui_.looping = true;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        if (DialogKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ui_.looping = false;
    // However the loop ended (the window closed, a WM_DESTROY sent by
    // another program, a WM_QUIT posted to this thread), the window goes
    // now, while the form, its handlings and every control still exist.
    if (ui_.form != nullptr) DestroyWindow(ui_.form);
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

}  // namespace vindrel::win32
