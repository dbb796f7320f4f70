// What the Win32 controls share: the window they wrap, the notifications
// the main window routes to them, and the program-wide drawing resources.
#pragma once

#include <windows.h>

#include <map>
#include <string_view>
#include <vector>

#include "platform/dispatch.h"
#include "platform/layout_row.h"

namespace vindrel::win32 {

// Owns a GDI object (font, brush) and deletes it once.
template <class T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) DeleteObject(object_);
    }
    GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    T Get() const { return object_; }

private:
    T object_ = nullptr;
};

// A window class of the program's, with the arrow pointer.
struct WindowClass {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HBRUSH background = nullptr;
    int extraBytes = 0;
    HICON icon = nullptr;
};

// The one way the program registers its window classes; false when the
// class can be neither registered nor found registered already.
bool RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass);

class Win32Timer;
class Win32Form;

// Resources of one top-level window of the program (the main window, or a
// window it owns), shared by the controls inside it. Every window's
// handlings go through the one dispatch.
struct Win32Ui {
    explicit Win32Ui(Dispatch& route) : dispatch(route) {}
    Win32Ui(const Win32Ui&) = delete;
    Win32Ui& operator=(const Win32Ui&) = delete;

    HINSTANCE instance = nullptr;
    int dpi = 96;
    HWND form = nullptr;               // until it is destroyed
    Win32Form* formWrapper = nullptr;  // its wrapper, while it exists
    // While the message loop runs: the window's end ends it.
    bool looping = false;
    GdiObject<HFONT> defaultFont;
    GdiObject<HFONT> headerFont;
    GdiObject<HBRUSH> green;
    GdiObject<HBRUSH> paleYellow;
    HCURSOR labelCursor = nullptr;
    std::map<std::string_view, HWND, std::less<>> containers;
    std::map<UINT_PTR, Win32Timer*> timers;
    HWND firstInTabOrder = nullptr;
    // The route of the user's input and of other programs' messages to the
    // handlings: none runs inside another.
    Dispatch& dispatch;
    // Every child window with its layout row, to lay them out again when
    // the window moves to a screen of another DPI or is resized.
    std::vector<std::pair<HWND, const LayoutRow*>> children;
    // A window the main window owns: resizable down to `design`, hidden
    // when closed, closed by Esc.
    bool owned = false;
    TwipRect design{};
    int defaultButton = 0;     // the control id Enter clicks; 0 for none
    HWND lastFocus = nullptr;  // the control that had the focus when it was deactivated

    int Px(int twips) const { return TwipsToPixels(twips, dpi); }
    // The fonts at the current DPI.
    void CreateFonts();
    // Sets every child's font at a new DPI, then places them.
    void LayOut(int newDpi);
    // Places and sizes every child for the window's client size: what the
    // window has beyond its layout's size goes to the anchored controls.
    void Place();
    // Colours the drawing of a control whose row names a back or fore
    // colour; nullptr to let the window manager draw it as usual.
    HBRUSH Paint(HDC dc, const LayoutRow& row) const;
    COLORREF BackColour(Colour colour) const;
};

// A child window of the main window (or of a frame in it) that receives the
// notifications the main window routes to it by the child's handle.
class NativeControl {
public:
    // Detaches itself from its window, which may outlive it.
    virtual ~NativeControl();
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    HWND Window() const { return hwnd_; }
    // The wrapper of a child window; nullptr for windows we did not wrap.
    static NativeControl* From(HWND hwnd);

    virtual void OnCommand(int /*code*/) {}
    // A scroll bar's WM_HSCROLL: its code and 16-bit thumb position (the
    // ranges of the layout fit 16 bits).
    virtual void OnScroll(int /*code*/, int /*position*/) {}
    // nullptr for the default colours.
    virtual HBRUSH OnColour(HDC /*dc*/) { return nullptr; }
    virtual bool OnSetCursor() { return false; }
    // While true, every key goes to the control: no dialog navigation.
    virtual bool OwnsKeys() const { return false; }
    // A WM_NOTIFY from the control; false leaves it to DefWindowProc.
    virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // The window's DPI changed (after its font).
    virtual void OnDpiChanged() {}

protected:
    NativeControl(Win32Ui& ui, const LayoutRow& row, HWND hwnd);
    bool OwnVisible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void ShowOwn(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

    Win32Ui& ui_;
    const LayoutRow& row_;
    HWND hwnd_;
};

}  // namespace vindrel::win32
