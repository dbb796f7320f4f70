#include "platform/win32/controls_win32.h"

#include <windowsx.h>

#include "platform/win32/handle_cast.h"
#include "platform/win32/navigation_win32.h"

namespace vindrel::win32 {

namespace {

constexpr COLORREF kGreen = 0x00C0FFC0;
constexpr COLORREF kPaleYellow = 0x00C0FFFF;
constexpr COLORREF kRed = 0x000000FF;

bool IsDark(COLORREF colour) {
    return GetRValue(colour) * 299 + GetGValue(colour) * 587 + GetBValue(colour) * 114 < 128000;
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

COLORREF Win32Ui::BackColour(Colour colour) const {
    switch (colour) {
        case Colour::Green:
            return kGreen;
        case Colour::PaleYellow:
            return kPaleYellow;
        case Colour::InactiveCaptionText:
            return GetSysColor(COLOR_INACTIVECAPTIONTEXT);
        case Colour::Red:
            return kRed;
        case Colour::Default:
            break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

HBRUSH Win32Ui::Paint(HDC dc, const LayoutRow& row) const {
    if (row.fore == Colour::Red) SetTextColor(dc, kRed);
    switch (row.back) {
        case Colour::Green:
            SetBkColor(dc, kGreen);
            return green.Get();
        case Colour::PaleYellow:
            SetBkColor(dc, kPaleYellow);
            return paleYellow.Get();
        case Colour::InactiveCaptionText: {
            // The system colour meant for text; keep the rows readable
            // where the theme makes it dark.
            const COLORREF back = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
            SetBkColor(dc, back);
            SetTextColor(dc, IsDark(back) ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOWTEXT));
            return GetSysColorBrush(COLOR_INACTIVECAPTIONTEXT);
        }
        case Colour::Red:
        case Colour::Default:
            break;
    }
    if (row.fore != Colour::Default) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return nullptr;
}

NativeControl::NativeControl(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
    : ui_(ui), row_(row), hwnd_(hwnd) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NativeControl::~NativeControl() {
    if (GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
}

NativeControl* NativeControl::From(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    // Only windows of this thread carry our pointer; another thread's or
    // process's user data must never be read as one.
    if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return nullptr;
    return reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Win32Button::SetEnabled(bool enabled) {
    // The focus a disabled button held goes to the next control in tab
    // order, as the dialog keys would move it.
    const bool hadFocus = GetFocus() == hwnd_;
    EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    if (hadFocus && !enabled) FocusNextStop(ui_, hwnd_);
}

std::wstring Win32Button::Caption() const {
    return WindowText(hwnd_);
}

void Win32Button::SetCaption(const std::wstring& caption) {
    SetWindowTextW(hwnd_, caption.c_str());
}

// Label ---------------------------------------------------------------------

std::wstring Win32Label::Caption() const {
    return WindowText(hwnd_);
}

void Win32Label::SetCaption(const std::wstring& caption) {
    SetWindowTextW(hwnd_, caption.c_str());
}

void Win32Label::OnCommand(int code) {
    if (code == STN_CLICKED) Click.Raise();
}

bool Win32Label::OnSetCursor() {
    if (!row_.ownPointer || ui_.labelCursor == nullptr) return false;
    SetCursor(ui_.labelCursor);
    return true;
}

// List box ------------------------------------------------------------------

int Win32ListBox::ListCount() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

std::wstring Win32ListBox::List(int index) const {
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

bool Win32ListBox::Fits(int rows) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const LRESULT rowHeight = SendMessageW(hwnd_, LB_GETITEMHEIGHT, 0, 0);
    return rowHeight > 0 && rows * rowHeight <= client.bottom;
}

// Every row added to a visible list redraws its scroll bar at once, which
// costs milliseconds a row under Wine, and when the list box's own
// WM_SETREDRAW lets it redraw again, it draws its scroll bar at once too
// (4 ms a list here, the whole cost of a refresh's list work). So a list
// whose scroll bar is or will be shown also loses WS_VISIBLE meanwhile, as
// DefWindowProc's WM_SETREDRAW does for any window: no focus moves, and
// nothing is drawn, scroll bar, selection and scrolling included, until the
// message loop paints the list once. (Without a scroll bar that costs more
// than it saves.)
void Win32ListBox::BeginUpdate(int rows) {
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    if (hiddenForUpdate_ || !OwnVisible() || (Fits(ListCount()) && Fits(rows))) return;
    DefWindowProcW(hwnd_, WM_SETREDRAW, FALSE, 0);
    hiddenForUpdate_ = true;
}

void Win32ListBox::EndUpdate() {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    if (hiddenForUpdate_) {
        hiddenForUpdate_ = false;
        DefWindowProcW(hwnd_, WM_SETREDRAW, TRUE, 0);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void Win32ListBox::DoAddItem(const std::wstring& text) {
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32ListBox::DoClear() {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

int Win32ListBox::StoredIndex() const {
    const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void Win32ListBox::StoreIndex(int index) {
    // LB_SETCURSEL sends no notification; the base class raises the click.
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32ListBox::OnCommand(int code) {
    // LBN_SELCHANGE also comes for a click on the row already selected;
    // the base class raises a click only for a new selection.
    if (code == LBN_SELCHANGE) UserSelected();
    if (code == LBN_DBLCLK) DblClick.Raise();
}

// Text box ------------------------------------------------------------------

std::wstring Win32TextBox::StoredText() const {
    return WindowText(hwnd_);
}

void Win32TextBox::StoreText(const std::wstring& text) {
    SetWindowTextW(hwnd_, text.c_str());
}

void Win32TextBox::OnCommand(int code) {
    if (code == EN_CHANGE) UserEdited();
}

// Button --------------------------------------------------------------------

void Win32Button::OnCommand(int code) {
    if (code == BN_CLICKED) Click.Raise();
}

// Check box -----------------------------------------------------------------

int Win32CheckBox::StoredValue() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBox::StoreValue(int value) {
    SendMessageW(hwnd_, BM_SETCHECK, value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32CheckBox::OnCommand(int code) {
    // A plain (not automatic) check box: the toggle is ours, so that code
    // and the user go through the same rule.
    if (code == BN_CLICKED) SetValue(1 - Value());
}

// Option button -------------------------------------------------------------

bool Win32OptionButton::StoredValue() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32OptionButton::StoreChosen() {
    // The options of one frame are the option buttons among its children.
    const HWND parent = GetParent(hwnd_);
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) != BS_RADIOBUTTON) continue;
        SendMessageW(child, BM_SETCHECK, child == hwnd_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Win32OptionButton::OnCommand(int code) {
    if (code == BN_CLICKED) Choose();
}

// Scroll bar ----------------------------------------------------------------

Win32ScrollBar::Win32ScrollBar(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
    : ScrollBar(row.min, row.max, row.value), NativeControl(ui, row, hwnd) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    info.nMin = row.min;
    info.nMax = row.max;
    info.nPos = row.value;
    SetScrollInfo(hwnd_, SB_CTL, &info, FALSE);
}

void Win32ScrollBar::ShowValue(int value) {
    SetScrollPos(hwnd_, SB_CTL, value, TRUE);
}

void Win32ScrollBar::OnScroll(int code, int position) {
    switch (code) {
        case SB_LINELEFT:
        case SB_PAGELEFT:
            UserStep(-1);
            break;
        case SB_LINERIGHT:
        case SB_PAGERIGHT:
            UserStep(+1);
            break;
        case SB_LEFT:
            UserMovedTo(Min());
            break;
        case SB_RIGHT:
            UserMovedTo(Max());
            break;
        case SB_THUMBTRACK:
            SetScrollPos(hwnd_, SB_CTL, position, TRUE);  // the thumb only
            break;
        case SB_THUMBPOSITION:
            UserMovedTo(position);
            break;
        case SB_ENDSCROLL:
            UserEnded();
            break;
        default:
            break;
    }
}

// Frame ---------------------------------------------------------------------

namespace {

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            // The controls inside report to their frame; their handlings
            // live with the main window.
            return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (auto* frame = dynamic_cast<Win32Frame*>(NativeControl::From(hwnd))) {
                frame->Paint();
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowClass.procedure;
    wc.cbWndExtra = windowClass.extraBytes;
    wc.hInstance = instance;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

const wchar_t* Win32Frame::RegisterClass(HINSTANCE instance) {
    static constexpr wchar_t kClass[] = L"VindrelFrame";
    return RegisterWindowClass(instance, {.name = kClass, .procedure = FrameProc}) ? kClass
                                                                                   : nullptr;
}

void Win32Frame::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    // The frame's colours as any control's; a frame without one is the
    // window's own colour.
    HBRUSH brush = ui_.Paint(dc, row_);
    if (brush == nullptr) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        brush = GetSysColorBrush(COLOR_BTNFACE);
    }
    FillRect(dc, &client, brush);

    const HGDIOBJ oldFont = SelectObject(dc, ui_.defaultFont.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT border = client;
    border.top += metrics.tmHeight / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = WindowText(hwnd_);
    if (!caption.empty()) {
        const int pad = ui_.Px(60);
        RECT text{ui_.Px(120), 0, client.right - ui_.Px(120), metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
        InflateRect(&text, pad, 0);
        FillRect(dc, &text, brush);
        InflateRect(&text, -pad, 0);
        DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE);
    }
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &ps);
}

// Timer ---------------------------------------------------------------------

Win32Timer::~Win32Timer() {
    if (enabled_ && ui_.form != nullptr) KillTimer(ui_.form, id_);
    ui_.timers.erase(id_);
}

void Win32Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Win32Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    Apply();
}

void Win32Timer::Apply() {
    // SetTimer with the same id replaces the running timer, restarting its
    // count; an interval of 0 ticks never.
    if (enabled_ && interval_ > 0) {
        SetTimer(ui_.form, id_, static_cast<UINT>(interval_), nullptr);
    } else {
        KillTimer(ui_.form, id_);
    }
}

// Form ----------------------------------------------------------------------

Win32Form::Win32Form(Win32Ui& ui, HWND hwnd) : ui_(ui), hwnd_(hwnd) {
    ui_.formWrapper = this;
}

Win32Form::~Win32Form() {
    WatchShows(false);
    RemoveTrayIcon();
    ui_.formWrapper = nullptr;
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void Win32Form::DoAddMenuItem(std::size_t index, const std::wstring& caption) {
    const HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (index == 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMenuItemCommand + 0x10 * index, caption.c_str());
}

std::uint32_t Win32Form::SetHotKey(const std::optional<HotKey>& key) {
    if (key == key_) return 0;
    // Two ids in turn: the new key is held before the old one goes.
    const int id = keyId_ == 1 ? 2 : 1;
    if (key && !RegisterHotKey(hwnd_, id, key->modifiers | MOD_NOREPEAT, key->key)) {
        return GetLastError();
    }
    if (keyId_ != 0) UnregisterHotKey(hwnd_, keyId_);
    key_ = key;
    keyId_ = key ? id : 0;
    keyUp_ = true;
    return 0;
}

Win32Form* Win32Form::watching = nullptr;

namespace {

// Out of context: called on the thread that set the hook, from its
// message loop.
void CALLBACK OnShowEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                          DWORD) {
    if (event != EVENT_OBJECT_SHOW || object != OBJID_WINDOW || child != CHILDID_SELF ||
        hwnd == nullptr || GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow() ||
        Win32Form::watching == nullptr) {
        return;
    }
    Win32Form* const form = Win32Form::watching;
    form->Dispatcher().Tick([form] { form->WindowShown.Raise(); });
}

}  // namespace

void Win32Form::WatchShows(bool on) {
    if (on == (showHook_ != nullptr)) return;
    if (on) {
        showHook_ = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, OnShowEvent, 0,
                                    0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (showHook_ != nullptr) watching = this;
    } else {
        UnhookWinEvent(showHook_);
        showHook_ = nullptr;
        if (watching == this) watching = nullptr;
    }
}

void Win32Form::AcceptCommands() {
    if (inbox_) return;
    inbox_ = std::make_unique<CommandInbox>(
        [this](std::shared_ptr<HandedCommand> handed) {
            ui_.dispatch.Command([this, handed] {
                if (CommandHanded) CommandHanded(*handed);
            });
        },
        [this] { return ShowAsked && ShowAsked(); },
        [this] { ui_.dispatch.Command([this] { ShowRequested.Raise(); }); });
}

void Win32Form::OnHotKey() {
    if (!key_ || !keyUp_) return;
    // Until the key is seen released, WM_HOTKEY is a repeat of this press.
    keyUp_ = false;
    SetTimer(hwnd_, kKeyUpTimer, 30, nullptr);
    ui_.dispatch.Press([this] { HotKeyPressed.Raise(); });
}

void Win32Form::OnKeyUpWatch() {
    if (key_ && (GetAsyncKeyState(static_cast<int>(key_->key)) & 0x8000) != 0) return;
    KillTimer(hwnd_, kKeyUpTimer);
    keyUp_ = true;
}

void Win32Form::OnClose(bool closeBox) {
    const HWND hwnd = hwnd_;
    const bool owned = ui_.owned;
    UserAskedToClose(
        ui_.dispatch,
        [hwnd, owned] {
            if (owned) {
                ShowWindow(hwnd, SW_HIDE);
            } else {
                DestroyWindow(hwnd);
            }
        },
        closeBox);
}

void Win32Form::OnSystemMenu(HMENU menu) const {
    for (std::size_t index = 0; index < menuItems_.size(); ++index) {
        EnableMenuItem(menu, static_cast<UINT>(kMenuItemCommand + 0x10 * index),
                       MF_BYCOMMAND | (menuItems_[index].Available() ? MF_ENABLED : MF_GRAYED));
    }
}

bool Win32Form::OnMenuItem(UINT command) {
    if (command < kMenuItemCommand || command >= kMenuItemCommand + 0x10 * menuItems_.size()) {
        return false;
    }
    UserChoseMenuItem(ui_.dispatch, (command - kMenuItemCommand) / 0x10);
    return true;
}

void Win32Form::Show() {
    const bool opening = IsWindowVisible(hwnd_) == FALSE;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (opening && ui_.firstInTabOrder != nullptr) SetFocus(ui_.firstInTabOrder);
}

std::wstring Win32Form::Caption() const {
    return WindowText(hwnd_);
}

void Win32Form::SetCaption(const std::wstring& caption) {
    SetWindowTextW(hwnd_, caption.c_str());
}

vindrel::Hwnd Win32Form::hWnd() const {
    return FromHwnd(hwnd_);
}

}  // namespace vindrel::win32
