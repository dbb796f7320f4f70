// The controls over real Win32 windows. The event rules come from the
// portable base classes; these classes store state in the native control
// and turn its notifications into the base classes' User* calls.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>

#include "platform/controls.h"
#include "platform/win32/command_channel_win32.h"
#include "platform/win32/native_control.h"

namespace vindrel::win32 {

class Win32Label : public Label, public NativeControl {
public:
    Win32Label(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    void OnCommand(int code) override;
    HBRUSH OnColour(HDC dc) override { return ui_.Paint(dc, row_); }
    bool OnSetCursor() override;
};

class Win32ListBox : public ListBox, public NativeControl {
public:
    Win32ListBox(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return hiddenForUpdate_ || OwnVisible(); }
    void SetVisible(bool visible) override {
        hiddenForUpdate_ = false;  // shown or hidden for good, whatever an update held
        ShowOwn(visible);
    }
    int ListCount() const override;
    std::wstring List(int index) const override;
    void BeginUpdate(int rows) override;
    void EndUpdate() override;
    void OnCommand(int code) override;
    HBRUSH OnColour(HDC dc) override { return ui_.Paint(dc, row_); }

protected:
    void DoAddItem(const std::wstring& text) override;
    void DoClear() override;
    int StoredIndex() const override;
    void StoreIndex(int index) override;

private:
    // Whether that many rows fit the list's height, with no scroll bar.
    bool Fits(int rows) const;

    bool hiddenForUpdate_ = false;  // WS_VISIBLE cleared until EndUpdate
};

class Win32TextBox : public TextBox, public NativeControl {
public:
    Win32TextBox(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
        : TextBox(std::wstring(row.caption)), NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void OnCommand(int code) override;
    HBRUSH OnColour(HDC dc) override { return ui_.Paint(dc, row_); }

protected:
    std::wstring StoredText() const override;
    void StoreText(const std::wstring& text) override;
};

class Win32Button : public Button, public NativeControl {
public:
    Win32Button(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    bool Enabled() const override { return IsWindowEnabled(hwnd_) != FALSE; }
    void SetEnabled(bool enabled) override;
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    void OnCommand(int code) override;
};

class Win32ComboBox : public ComboBox, public NativeControl {
public:
    Win32ComboBox(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void AddItem(const std::wstring& text) override {
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Clear() override { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }
    int ListCount() const override {
        return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
    }
    int ListIndex() const override {
        return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
    }
    void SetListIndex(int index) override {
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
};

class Win32HotKeyBox : public HotKeyBox, public NativeControl {
public:
    Win32HotKeyBox(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    std::uint16_t Value() const override {
        return static_cast<std::uint16_t>(SendMessageW(hwnd_, HKM_GETHOTKEY, 0, 0));
    }
    void SetValue(std::uint16_t value) override { SendMessageW(hwnd_, HKM_SETHOTKEY, value, 0); }
    // Every key goes to the box: Tab and Enter are keys it records too.
    bool OwnsKeys() const override { return GetFocus() == hwnd_; }
};

class Win32CheckBox : public CheckBox, public NativeControl {
public:
    Win32CheckBox(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void OnCommand(int code) override;
    HBRUSH OnColour(HDC dc) override { return ui_.Paint(dc, row_); }

protected:
    int StoredValue() const override;
    void StoreValue(int value) override;
};

class Win32OptionButton : public OptionButton, public NativeControl {
public:
    Win32OptionButton(Win32Ui& ui, const LayoutRow& row, HWND hwnd)
        : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void OnCommand(int code) override;
    HBRUSH OnColour(HDC dc) override { return ui_.Paint(dc, row_); }

protected:
    bool StoredValue() const override;
    void StoreChosen() override;
};

class Win32ScrollBar : public ScrollBar, public NativeControl {
public:
    Win32ScrollBar(Win32Ui& ui, const LayoutRow& row, HWND hwnd);
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void OnScroll(int code, int position) override;

protected:
    void ShowValue(int value) override;
};

class Win32Frame : public Frame, public NativeControl {
public:
    Win32Frame(Win32Ui& ui, const LayoutRow& row, HWND hwnd) : NativeControl(ui, row, hwnd) {}
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void Paint();
    // The window class of frames: a container that draws its caption and
    // border and passes its children's notifications on to the main window.
    static const wchar_t* RegisterClass(HINSTANCE instance);
};

class Win32Timer : public Timer {
public:
    Win32Timer(Win32Ui& ui, UINT_PTR id, int interval) : ui_(ui), id_(id), interval_(interval) {}
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;
    void OnTimer() { Tick.Raise(); }

private:
    void Apply();

    Win32Ui& ui_;
    UINT_PTR id_;
    int interval_;
    bool enabled_ = false;
};

// The finder: a small square with a crosshair, drawn here. A press takes
// the mouse capture and the keyboard focus, shows the crosshair pointer and
// draws the square empty until the drag ends. The outline is four thin
// topmost bars owned by the main window (so no list of the top-level
// windows counts them), made for a drag and destroyed when it ends.
class Win32Finder : public Finder, public NativeControl {
public:
    Win32Finder(Win32Ui& ui, const LayoutRow& row, HWND hwnd);
    ~Win32Finder() override;
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void Outline(vindrel::Hwnd window) override;
    // A drag holds the keyboard: Tab cannot move the focus from it, and
    // Esc reaches it.
    bool OwnsKeys() const override { return capturing_; }
    // The window classes of the finder and of its outline's bars; nullptr
    // when they cannot be registered.
    static const wchar_t* RegisterClasses(HINSTANCE instance);
    // What its window procedure does not leave to DefWindowProc.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    void Paint();
    // The capture ends: by a release at a point, or given up.
    void Finish(bool cancelled);
    void RemoveOutline();
    // Runs a step of the drag through the dispatch, on the wrapper as it
    // is when the step runs.
    void Route(bool command, void (*step)(Win32Finder&, Point), Point at);

    HWND tooltip_ = nullptr;
    HWND focusBefore_ = nullptr;
    std::array<HWND, 4> bars_{};
    bool capturing_ = false;
};

// A report-mode list view over the program's rows (LVS_OWNERDATA): it
// holds no text, and asks CellText for each cell it draws, at once, while
// drawing; clicks on a header or a row go through the dispatch.
class Win32ListView : public ListView, public NativeControl {
public:
    Win32ListView(Win32Ui& ui, const LayoutRow& row, HWND hwnd);
    bool Visible() const override { return OwnVisible(); }
    void SetVisible(bool visible) override { ShowOwn(visible); }
    void AddColumn(const std::wstring& caption, int width) override;
    void SetColumnCaption(int column, const std::wstring& caption) override;
    int RowCount() const override;
    void SetRowCount(int rows) override;
    std::vector<int> SelectedRows() const override;
    int FocusedRow() const override;
    void Select(const std::vector<int>& rows, int focused) override;
    int TopRow() const override;
    void SetTopRow(int row) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    void OnDpiChanged() override;

private:
    std::vector<int> widths_;  // each column's width in twips
    // Set while the program itself changes the rows or the selection.
    bool quiet_ = false;
    // A SelectionChange is on its way: the changes of one click come as one.
    bool changeQueued_ = false;
};

class Win32Form : public Form {
public:
    // The commands of the program's items in the system menu, one every
    // 0x10 from this: below 0xF000 and with their low four bits clear, as
    // WM_SYSCOMMAND requires.
    static constexpr UINT kMenuItemCommand = 0x0010;
    // Posted by Notify.
    static constexpr UINT kNotifyMessage = WM_APP + 1;
    // The notification-area icon's callbacks.
    static constexpr UINT kTrayMessage = WM_APP + 2;
    // Broadcast by the shell when it starts (again).
    static UINT TaskbarCreated();
    // Watches for the global key's release (WM_TIMER's id, apart from the
    // timers' own).
    static constexpr UINT_PTR kKeyUpTimer = 0xB055;

    Win32Form(Win32Ui& ui, HWND hwnd);
    ~Win32Form() override;
    // The form whose WatchShows is on: one at a time.
    static Win32Form* watching;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    vindrel::Hwnd hWnd() const override;
    void Show() override;
    void Hide() override { ShowWindow(hwnd_, SW_HIDE); }
    bool Visible() const override { return IsWindowVisible(hwnd_) != FALSE; }
    void Close() override { OnClose(); }
    void Notify() override { PostMessageW(hwnd_, kNotifyMessage, 0, 0); }

    // WM_CLOSE (a window the main window owns is hidden), the system menu
    // opening (WM_INITMENUPOPUP), an item chosen (its command), F5.
    void OnClose(bool closeBox = false);
    void OnSystemMenu(HMENU menu) const;
    // False for a command that is not one of the program's items.
    bool OnMenuItem(UINT command);
    void OnRefreshKey() {
        ui_.dispatch.Command([this] { RefreshKey.Raise(); });
    }
    void OnNotify() {
        ui_.dispatch.Command([this] { Notified.Raise(); });
    }
    void OnReappeared() {
        ui_.dispatch.Command([this] { Reappeared.Raise(); });
    }
    void OnSessionResumed() {
        ui_.dispatch.Command([this] { SessionResumed.Raise(); });
    }
    void OnActivated() {
        ui_.dispatch.Command([this] { Activated.Raise(); });
    }
    std::uint32_t SetHotKey(const std::optional<HotKey>& key) override;
    // WM_HOTKEY: a press, unless the key has not been seen released since
    // the last one (Wine repeats a held key despite MOD_NOREPEAT).
    void OnHotKey();
    void OnKeyUpWatch();
    void WatchShows(bool on) override;
    void AcceptCommands() override;
    bool ShowTrayIcon(const std::wstring& tip) override;
    void RemoveTrayIcon() override;
    void TrayBalloon(const std::wstring& title, const std::wstring& text) override;
    std::optional<std::size_t> TrayMenu(const std::vector<TrayItem>& items) override;
    void OnTray(WPARAM wParam, LPARAM lParam);
    void OnCloseBox() { OnClose(true); }
    void OnShellRestarted();
    Dispatch& Dispatcher() { return ui_.dispatch; }

protected:
    void DoAddMenuItem(std::size_t index, const std::wstring& caption) override;

private:
    Win32Ui& ui_;
    HWND hwnd_;
    std::optional<HotKey> key_;
    int keyId_ = 0;      // RegisterHotKey's id of the key held; 0 for none
    bool keyUp_ = true;  // released since the last press
    HWINEVENTHOOK showHook_ = nullptr;
    std::unique_ptr<CommandInbox> inbox_;
    bool trayAdded_ = false;      // the shell holds the icon
    bool trayUsed_ = false;       // an icon was ever asked for
    bool trayMenuAsked_ = false;  // a menu asked for and not yet closed
    POINT trayAnchor_{};          // where the icon's menu was asked for
};

// The text of any window, read through its length first.
std::wstring WindowText(HWND hwnd);

}  // namespace vindrel::win32
