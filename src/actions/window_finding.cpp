#include "actions/window_finding.h"

#include "platform/conversions.h"

namespace vindrel {

Hwnd WindowFinding::WindowUnderPointer() {
    const Finder::Point at = finder_.Pointer();
    const Hwnd under = ws_.WindowFromPoint(at.x, at.y);
    if (under == 0) return 0;
    const Hwnd root = ws_.GetAncestor(under, api::kGaRoot);
    // The program's own windows are never taken: the finder, the outline
    // and the main window itself lie under the pointer on the way.
    if (root == 0 || IsOwnWindow(ws_, root)) return 0;
    return root;
}

void WindowFinding::Point(Hwnd window) {
    if (window == found_) return;
    found_ = window;
    finder_.Outline(window);
    Text2_.SetText(window != 0 ? DecimalText(window) : before_);
}

void WindowFinding::Started() {
    before_ = Text2_.Text();
    found_ = 0;
    Moved();
}

void WindowFinding::Moved() {
    Point(WindowUnderPointer());
}

void WindowFinding::Ended() {
    // The outline goes first, without being moved to where the release was.
    finder_.Outline(0);
    const Hwnd found = finder_.Cancelled() ? 0 : WindowUnderPointer();
    found_ = 0;
    if (found == 0) {
        Text2_.SetText(before_);
        return;
    }
    TakeWindow(found, Text2_, List2_);
}

void TakeWindow(Hwnd window, TextBox& Text2, ListBox& List2) {
    const std::wstring handle = DecimalText(window);
    Text2.SetText(handle);
    for (int row = 0; row < List2.ListCount(); ++row) {
        if (List2.List(row) == handle) {
            List2.SetListIndex(row);
            return;
        }
    }
}

}  // namespace vindrel
