// Picking a window by pointing at it. While the finder is dragged, the
// top-level window under the pointer is outlined and its handle shown in
// the target handle box; over no window, or one of the program's own, the
// box shows what it held before. Releasing over another program's window
// keeps its handle and selects its row of the table, as a click on that
// row would; Esc, or a release anywhere else, puts the box back.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

// Puts the window's handle into Text2 as typing it would and, where the
// table holds a row with exactly that handle, selects it as a click would.
void TakeWindow(Hwnd window, TextBox& Text2, ListBox& List2);

class WindowFinding {
public:
    WindowFinding(WindowSystem& ws, Finder& finder, TextBox& Text2, ListBox& List2)
        : ws_(ws), finder_(finder), Text2_(Text2), List2_(List2) {}

    void Started();
    void Moved();
    void Ended();

private:
    // The top-level window under the pointer; 0 for none or our own.
    Hwnd WindowUnderPointer();
    // Outlines the window and shows its handle (or the old text for none).
    void Point(Hwnd window);

    WindowSystem& ws_;
    Finder& finder_;
    TextBox& Text2_;
    ListBox& List2_;
    std::wstring before_;
    Hwnd found_ = 0;
};

}  // namespace vindrel
