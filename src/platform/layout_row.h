// What a control is made from: one row of the main window's layout table.
#pragma once

#include <cstdint>
#include <string_view>

namespace vindrel {

enum class ControlKind {
    Form,
    Label,
    ListBox,
    TextBox,
    Button,
    Frame,
    ScrollBar,
    CheckBox,
    OptionButton,
    Timer,
    Finder,
    ListView,
    ComboBox,
    HotKeyBox,
};

// How a control follows the size of a window that can be resized: its
// edges keep their distance from the window's left and top unless these
// say otherwise.
enum Anchor : std::uint8_t {
    kFixed = 0,
    kStretchWidth = 1,   // the right edge keeps its distance from the window's right
    kStretchHeight = 2,  // the bottom edge keeps its distance from the window's bottom
    kFollowRight = 4,    // moves with the window's right edge, same width
    kFollowBottom = 8,   // moves with the window's bottom edge, same height
};

enum class Colour : std::uint8_t {
    Default,
    Green,                // 0x00C0FFC0
    PaleYellow,           // 0x00C0FFFF
    InactiveCaptionText,  // the system colour
    Red,                  // 0x000000FF
};

// Lengths in twips (1/1440 inch), relative to the container's top left.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct LayoutRow {
    std::string_view name;
    ControlKind kind;
    std::string_view container;  // empty for the main window itself
    std::wstring_view caption;   // caption, initial text, or a finder's tooltip
    TwipRect rect;
    int tab = -1;  // tab order; -1 for what takes no tab (the timer, the form)
    Colour back = Colour::Default;
    Colour fore = Colour::Default;
    bool headerFont = false;
    bool ownPointer = false;  // the label's own mouse-pointer picture
    // Scroll bars: range and value. Check boxes: value. Options: 1 when
    // chosen. Timers: interval in milliseconds (a timer starts disabled).
    // Buttons: 1 for the window's default button (Enter).
    int min = 0;
    int max = 0;
    int value = 0;
    std::uint8_t anchor = kFixed;
    // For a form: a window the main window owns, which the user can resize
    // down to the layout's size, and which Esc closes.
    bool sizable = false;
};

// A control's window identifier: unique because tab orders are.
constexpr int ControlId(const LayoutRow& row) {
    return 1000 + row.tab;
}

// Twips to pixels at a given number of dots per inch, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

}  // namespace vindrel
