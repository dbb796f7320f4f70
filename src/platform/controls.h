// The control services: list box, text box, button, check box, option
// button, scroll bar, timer, label, frame and the main window, with the
// event rules the logic relies on. The rules live here, once; a Win32 or
// in-memory implementation supplies only the storage and reports what the
// user did through the protected User* calls.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_channel.h"
#include "platform/dispatch.h"
#include "platform/hot_key.h"
#include "platform/types.h"

namespace vindrel {

// One event of one control. Raising it runs the connected handling at once,
// nested inside whatever raised it.
class Event {
public:
    void Connect(std::function<void()> handler) { handler_ = std::move(handler); }
    void Raise() const {
        if (handler_) handler_();
    }

private:
    std::function<void()> handler_;
};

// Anything the layout creates; owned through this base.
class Component {
public:
    virtual ~Component() = default;
};

class Control : public Component {
public:
    // The control's own visible flag (a control inside a hidden frame keeps
    // its flag but is not shown).
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// Single selection, rows in insertion order. Selecting a row that was not
// selected raises Click, by code or by the user; selecting the selected row
// again, deselecting from code, appending and clearing raise nothing.
class ListBox : public Control {
public:
    void AddItem(const std::wstring& text) { DoAddItem(text); }
    void Clear();
    virtual int ListCount() const = 0;
    // The text of a row; empty for an index that names no row.
    virtual std::wstring List(int index) const = 0;
    // -1 when no row is selected.
    int ListIndex() const { return StoredIndex(); }
    // -1 deselects; an index that names no row is ignored.
    void SetListIndex(int index);
    void SetSelected(int index, bool selected);

    // Many rows are about to change, and the list will hold `rows` of them:
    // a native list may stop redrawing until EndUpdate. Selection and events
    // are not affected.
    virtual void BeginUpdate(int rows) { (void)rows; }
    virtual void EndUpdate() {}

    Event Click;
    // A double-click on a row, after the Click its first press raised.
    Event DblClick;

protected:
    virtual void DoAddItem(const std::wstring& text) = 0;
    virtual void DoClear() = 0;
    virtual int StoredIndex() const = 0;
    // Changes the selection without any notification.
    virtual void StoreIndex(int index) = 0;
    // Called by an implementation after the user changed the selection (for
    // Win32, on LBN_SELCHANGE, which also comes for a click on the selected row).
    void UserSelected();

private:
    int known_ = -1;  // the selection last reported to the handlings
};

// Holds the updates of several lists, each to hold `rows` rows, for the
// life of the scope.
class ListUpdates {
public:
    ListUpdates(std::initializer_list<ListBox*> lists, int rows) : lists_(lists) {
        for (ListBox* list : lists_)
            list->BeginUpdate(rows);
    }
    ~ListUpdates() {
        for (ListBox* list : lists_)
            list->EndUpdate();
    }
    ListUpdates(const ListUpdates&) = delete;
    ListUpdates& operator=(const ListUpdates&) = delete;

private:
    std::vector<ListBox*> lists_;
};

// Raises Change whenever its text changes, typed or set by code.
class TextBox : public Control {
public:
    explicit TextBox(std::wstring initial) : known_(std::move(initial)) {}
    std::wstring Text() const { return StoredText(); }
    void SetText(const std::wstring& text);

    Event Change;

protected:
    virtual std::wstring StoredText() const = 0;
    virtual void StoreText(const std::wstring& text) = 0;
    void UserEdited();

private:
    std::wstring known_;
};

// A disabled button takes no click and no focus.
class Button : public Control {
public:
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;

    Event Click;
};

// Value 0 (clear) or 1 (ticked); Click after each toggle, by the user or
// by code. A user's click toggles it through SetValue.
class CheckBox : public Control {
public:
    int Value() const { return StoredValue(); }
    void SetValue(int value);

    Event Click;

protected:
    virtual int StoredValue() const = 0;
    virtual void StoreValue(int value) = 0;
};

// Raises Click when it becomes the chosen option of its frame; choosing the
// chosen option again raises nothing. A user's click chooses it through Choose.
class OptionButton : public Control {
public:
    bool Value() const { return StoredValue(); }
    void Choose();

    Event Click;

protected:
    virtual bool StoredValue() const = 0;
    // Chooses this option and unchooses the other options of its frame.
    virtual void StoreChosen() = 0;
};

// A horizontal scroll bar. An arrow or track click moves the value by 1;
// Change follows every move of the value, and the end of a thumb drag, not
// the drag itself. A gesture of the user's (a press held on an arrow or
// the track, a key held, a thumb drag) runs from its first step to its
// end, which raises EndScroll; Change events between come from inside
// the scroll bar's own tracking.
class ScrollBar : public Control {
public:
    ScrollBar(int min, int max, int value) : min_(min), max_(max), value_(value) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // Clamped to the range; raises Change when the value moved.
    void SetValue(int value);
    // From a step of the user's until the end of that gesture.
    bool InGesture() const { return gesture_; }

    Event Change;
    Event EndScroll;

protected:
    // Moves the thumb to show a value.
    virtual void ShowValue(int value) = 0;
    void UserStep(int delta);
    // A thumb released at a position, or Home or End.
    void UserMovedTo(int position);
    // The gesture ended (SB_ENDSCROLL): the mouse button or the key released.
    void UserEnded();

private:
    int min_, max_, value_;
    bool gesture_ = false;
};

// Ticks every Interval milliseconds while enabled. Changing the interval of
// a running timer restarts its count.
class Timer : public Component {
public:
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;

    Event Tick;
};

class Label : public Control {
public:
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;

    Event Click;
};

// A captioned container: hiding it hides what is inside it.
class Frame : public Control {};

// The window finder: pressing the mouse on it starts a drag, which holds
// the mouse and the keyboard until the button is released, Esc is pressed
// or the capture is lost. DragStart, DragMove (each move of the pointer)
// and DragEnd are raised in turn; a drag ends once, and only after it
// started.
class Finder : public Control {
public:
    // A point of the screen in physical pixels.
    struct Point {
        int x = 0;
        int y = 0;
    };
    // Where the pointer was at the latest press, move or release.
    Point Pointer() const { return pointer_; }
    // Whether the drag being ended was given up (Esc, capture lost).
    bool Cancelled() const { return cancelled_; }
    // Outlines a window on the screen; 0 takes the outline away.
    virtual void Outline(Hwnd window) = 0;

    Event DragStart;
    Event DragMove;
    Event DragEnd;

protected:
    void UserPressed(Point at);
    void UserMoved(Point at);
    void UserReleased(Point at);
    void UserCancelled();

private:
    Point pointer_;
    bool dragging_ = false;
    bool cancelled_ = false;
};

// A list in report form over rows the program holds: it keeps no text of
// its own and asks for a cell's text when it draws it. Several rows can be
// selected; one has the focus. Changing the rows from code raises nothing.
class ListView : public Control {
public:
    // Asked while the list draws; must only read.
    std::function<std::wstring(int row, int column)> CellText;
    // Adds a column after the others, its width in twips.
    virtual void AddColumn(const std::wstring& caption, int width) = 0;
    virtual void SetColumnCaption(int column, const std::wstring& caption) = 0;
    virtual int RowCount() const = 0;
    // The list now has that many rows, redrawn from CellText without
    // flicker; which are selected is then unknown until Select says.
    virtual void SetRowCount(int rows) = 0;
    virtual std::vector<int> SelectedRows() const = 0;
    // -1 when no row has the focus.
    virtual int FocusedRow() const = 0;
    // Selects those rows (and no other) and gives one the focus (-1: none).
    virtual void Select(const std::vector<int>& rows, int focused) = 0;
    // The row shown at the top; scrolling puts another there.
    virtual int TopRow() const = 0;
    virtual void SetTopRow(int row) = 0;

    // A click on a column's header: ClickedColumn says which.
    Event ColumnClick;
    int ClickedColumn() const { return clickedColumn_; }
    // A double-click on a row (which then has the focus).
    Event DblClick;
    // The user changed which rows are selected (Select and SetRowCount do
    // not raise it).
    Event SelectionChange;

protected:
    void UserClickedColumn(int column) {
        clickedColumn_ = column;
        ColumnClick.Raise();
    }

private:
    int clickedColumn_ = -1;
};

// A drop-down list to choose one of its rows from; nothing typed.
class ComboBox : public Control {
public:
    virtual void AddItem(const std::wstring& text) = 0;
    virtual void Clear() = 0;
    virtual int ListCount() const = 0;
    // -1 when no row is chosen.
    virtual int ListIndex() const = 0;
    virtual void SetListIndex(int index) = 0;
};

// A box that records a key as it is pressed, with Shift, Ctrl and Alt: its
// value as the hotkey control gives it (the virtual key in the low byte,
// the modifiers in the high byte), 0 for none.
class HotKeyBox : public Control {
public:
    virtual std::uint16_t Value() const = 0;
    virtual void SetValue(std::uint16_t value) = 0;
};

// An item the program adds to a window's system menu, after the standard ones.
struct MenuItem {
    // Raised when it is chosen.
    Event Click;
    // When set, the item is greyed whenever the menu opens while it says no.
    std::function<bool()> Enabled;
    bool Available() const { return !Enabled || Enabled(); }
};

// A top-level window of the program: the main window, or one it owns.
class Form : public Component {
public:
    virtual std::wstring Caption() const = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    // The window's own handle.
    virtual Hwnd hWnd() const = 0;

    // Adds an item to the system menu after those added before.
    MenuItem& AddMenuItem(const std::wstring& caption);

    // A window the main window owns is shown when asked, and hidden when
    // it is closed (QueryUnload still says whether it may go): it is
    // created once. Show also brings it to the front and activates it.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    // F5 pressed while the window is active.
    Event RefreshKey;
    // A window the main window owns was shown again by the system, as the
    // main window came back from being minimised (the system hides owned
    // windows meanwhile, and Visible says no).
    Event Reappeared;

    // Asked, at its turn among the handlings, about a close the user can
    // answer (the close box, Alt+F4, WM_CLOSE): false keeps the window. A
    // close that arrives while an earlier one waits or is being asked
    // about is dropped. Unset: the window closes.
    std::function<bool()> QueryUnload;
    // Asks the window to close as its close box does: through QueryUnload,
    // at its turn among the handlings.
    virtual void Close() = 0;
    // The user's own close (the close box, Alt+F4) of the main window, at
    // its turn: true keeps the window, as handled; false, or unset, closes
    // it as any close does. Another program's WM_CLOSE never comes here.
    std::function<bool()> CloseBox;

    // The program's global key, held by this window: the new key is taken
    // (without repeats) before the old one is let go, so that a key that
    // cannot be had leaves the old one working; nullopt lets it go. 0 when
    // it took, else the system's error (kHotKeyTaken: another program, or
    // another copy of this one, holds it).
    virtual std::uint32_t SetHotKey(const std::optional<HotKey>& key) = 0;
    // The key was pressed: once per press, however long it is held. It
    // runs at its turn among the handlings, or at once inside one that
    // waits for the user's answer in one of the program's message boxes.
    Event HotKeyPressed;
    // The user made the window the active one.
    Event Activated;
    // While watched, a top-level window of any program that shows raises
    // WindowShown, as a timer tick would (dropped while a handling runs).
    // Where the system tells of no such thing (Wine), nothing is raised.
    virtual void WatchShows(bool on) = 0;
    Event WindowShown;
    // The session is about to end (log-off, shutdown): called at once, also
    // inside a handling or a message box, since the system waits only a
    // few seconds for the answer; it must ask nothing. The answer is yes.
    std::function<void()> SessionEnding;
    // The end of the session was called off; at its turn among the handlings.
    Event SessionResumed;

    // The program's icon in the notification area, held by this window:
    // added, or its tip set; false while the system has no notification
    // area to hold it (no shell yet), to be tried again later.
    virtual bool ShowTrayIcon(const std::wstring& tip) = 0;
    virtual void RemoveTrayIcon() = 0;
    // A balloon on the icon, without sound.
    virtual void TrayBalloon(const std::wstring& title, const std::wstring& text) = 0;
    // The icon's menu where the pointer is (the window brought to the
    // front first, or the menu would never close): the index of the item
    // chosen, or none.
    struct TrayItem {
        std::wstring caption;
        bool enabled = true;
    };
    virtual std::optional<std::size_t> TrayMenu(const std::vector<TrayItem>& items) = 0;
    // The icon clicked, or chosen with the keyboard; at its turn.
    Event TrayClicked;
    // The icon's menu asked for (a right-click, the menu key); at its turn.
    Event TrayMenuAsked;
    // The shell started again, without the icons it held; at its turn.
    Event ShellRestarted;
    // Another start of the program asks this copy to show its main window:
    // answered at once; on yes, ShowRequested follows at its turn.
    std::function<bool()> ShowAsked;
    Event ShowRequested;

    // From now on, other processes of the program (commands of the command
    // line) may hand this copy commands: each is given to CommandHanded at
    // its turn among the handlings. Only processes at this copy's rights
    // can reach it.
    virtual void AcceptCommands() = 0;
    std::function<void(HandedCommand&)> CommandHanded;

    // From any thread: Notified is raised on the window's thread, at its
    // turn among the handlings (news from a worker).
    virtual void Notify() = 0;
    Event Notified;

protected:
    // For an implementation: a close request arrived (`closeBox`: the
    // user's own, which CloseBox may handle); `close` destroys the window
    // when QueryUnload lets it.
    void UserAskedToClose(Dispatch& dispatch, std::function<void()> close, bool closeBox = false);
    // The user chose an item (which the menu offers only when enabled).
    void UserChoseMenuItem(Dispatch& dispatch, std::size_t index);
    virtual void DoAddMenuItem(std::size_t index, const std::wstring& caption) = 0;
    std::deque<MenuItem> menuItems_;  // stable addresses

private:
    bool closing_ = false;  // a close waits for its turn or is being asked about
};

}  // namespace vindrel
