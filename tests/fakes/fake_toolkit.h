// In-memory controls with the event rules of the control layer, a factory
// that keeps them by name, and a recording message box and shell.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dispatch.h"
#include "platform/toolkit.h"

namespace vindrel::testing {

class FakeToolkit;

// A fake control's visibility: its own flag, and shown when that flag is
// set and its container is shown. What the user does to it reaches the
// handlings through the toolkit's dispatch, as a window message would.
template <class Base>
class FakeVisible : public Base {
public:
    template <class... Args>
    FakeVisible(FakeToolkit& toolkit, const LayoutRow& row, Args&&... args)
        : Base(std::forward<Args>(args)...), toolkit_(toolkit), row_(row) {}
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Shown() const;

protected:
    // Runs a notification the way the main window routes one.
    void Notify(std::function<void()> notification);

    FakeToolkit& toolkit_;
    const LayoutRow& row_;

private:
    bool visible_ = true;
};

class FakeListBox : public FakeVisible<ListBox> {
public:
    FakeListBox(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
    int ListCount() const override { return static_cast<int>(rows_.size()); }
    std::wstring List(int index) const override {
        return index >= 0 && index < ListCount() ? rows_[static_cast<std::size_t>(index)] : L"";
    }
    const std::vector<std::wstring>& Rows() const { return rows_; }
    // A user's click on a row: the selection moves, then the list notifies,
    // also when the row was already selected.
    void UserClick(int row) {
        selected_ = row;
        Notify([this] { UserSelected(); });
    }
    // A double-click: the first press's click, then the double-click.
    void UserDoubleClick(int row) {
        UserClick(row);
        Notify([this] { DblClick.Raise(); });
    }

protected:
    void DoAddItem(const std::wstring& text) override { rows_.push_back(text); }
    void DoClear() override {
        rows_.clear();
        selected_ = -1;
    }
    int StoredIndex() const override { return selected_; }
    void StoreIndex(int index) override { selected_ = index; }

private:
    std::vector<std::wstring> rows_;
    int selected_ = -1;
};

class FakeTextBox : public FakeVisible<TextBox> {
public:
    FakeTextBox(FakeToolkit& t, const LayoutRow& s)
        : FakeVisible(t, s, std::wstring(s.caption)), text_(s.caption) {}
    // The user types: the text changes, then the box notifies.
    void UserType(const std::wstring& text) {
        text_ = text;
        Notify([this] { UserEdited(); });
    }

protected:
    std::wstring StoredText() const override { return text_; }
    // As the edit control answers WM_SETTEXT: the text changes, then the
    // box notifies its change (EN_CHANGE), through the same path as typing.
    void StoreText(const std::wstring& text) override {
        text_ = text;
        Notify([this] { UserEdited(); });
    }

private:
    std::wstring text_;
};

class FakeButton : public FakeVisible<Button> {
public:
    FakeButton(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s), caption_(s.caption) {}
    void UserClick() {
        if (enabled_) Notify([this] { Click.Raise(); });
    }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& caption) override { caption_ = caption; }

private:
    std::wstring caption_;
    bool enabled_ = true;
};

class FakeCheckBox : public FakeVisible<CheckBox> {
public:
    FakeCheckBox(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s), value_(s.value) {}
    void UserClick() {
        Notify([this] { SetValue(1 - Value()); });
    }

protected:
    int StoredValue() const override { return value_; }
    void StoreValue(int value) override { value_ = value; }

private:
    int value_;
};

class FakeOptionButton : public FakeVisible<OptionButton> {
public:
    FakeOptionButton(FakeToolkit& t, const LayoutRow& s)
        : FakeVisible(t, s), chosen_(s.value != 0) {}
    void UserClick() {
        Notify([this] { Choose(); });
    }

protected:
    bool StoredValue() const override { return chosen_; }
    void StoreChosen() override;

private:
    bool chosen_;
};

class FakeScrollBar : public FakeVisible<ScrollBar> {
public:
    FakeScrollBar(FakeToolkit& t, const LayoutRow& s)
        : FakeVisible(t, s, s.min, s.max, s.value), thumb_(s.value) {}
    // An arrow or track click: +1 or -1, then the gesture's end.
    void UserStep(int delta) { UserHold(delta, 1); }
    // An arrow held down (or a key held) for `steps` repeats, then let go.
    void UserHold(int delta, int steps) {
        for (int i = 0; i < steps; ++i)
            Notify([this, delta] { ScrollBar::UserStep(delta); });
        Notify([this] { UserEnded(); });
    }
    // The thumb dragged (no event) and released at a position.
    void UserDrag(int position) { thumb_ = position; }
    // The released position travels with the notification, as in WM_HSCROLL.
    void UserRelease() {
        Notify([this, position = thumb_] { UserMovedTo(position); });
        Notify([this] { UserEnded(); });
    }
    int Thumb() const { return thumb_; }

protected:
    void ShowValue(int value) override { thumb_ = value; }

private:
    int thumb_;
};

class FakeLabel : public FakeVisible<Label> {
public:
    FakeLabel(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s), caption_(s.caption) {}
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& caption) override { caption_ = caption; }
    void UserClick() {
        Notify([this] { Click.Raise(); });
    }

private:
    std::wstring caption_;
};

class FakeFrame : public FakeVisible<Frame> {
public:
    FakeFrame(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
};

class FakeTimer : public Timer {
public:
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override { interval_ = milliseconds; }
    FakeTimer(Dispatch& dispatch, int interval) : dispatch_(dispatch), interval_(interval) {}
    // One tick, as the clock would raise it: only while enabled.
    void Fire() {
        if (enabled_ && interval_ > 0) dispatch_.Tick([this] { Tick.Raise(); });
    }

private:
    Dispatch& dispatch_;
    bool enabled_ = false;
    int interval_;
};

// What the user does to the finder goes through the dispatch: the press
// and the release as commands, a move as a timer tick would (dropped while
// a handling runs; the next one comes).
class FakeFinder : public FakeVisible<Finder> {
public:
    FakeFinder(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
    void Outline(vindrel::Hwnd window) override { outlined = window; }
    void UserPress(int x, int y) {
        Notify([this, x, y] { UserPressed({x, y}); });
    }
    void UserMove(int x, int y);
    void UserRelease(int x, int y) {
        Notify([this, x, y] { UserReleased({x, y}); });
    }
    void UserEscape() {
        Notify([this] { UserCancelled(); });
    }

    vindrel::Hwnd outlined = 0;
};

// Rows as the program's CellText gives them; a selection by index that a
// change of the row count clears, as the list view's own does.
class FakeListView : public FakeVisible<ListView> {
public:
    FakeListView(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
    void AddColumn(const std::wstring& caption, int /*width*/) override {
        columns.push_back(caption);
    }
    void SetColumnCaption(int column, const std::wstring& caption) override {
        columns.at(static_cast<std::size_t>(column)) = caption;
    }
    int RowCount() const override { return rows_; }
    void SetRowCount(int rows) override {
        rows_ = rows;
        selected_.clear();
        focused_ = -1;
        top_ = std::clamp(top_, 0, std::max(rows - 1, 0));
    }
    std::vector<int> SelectedRows() const override { return selected_; }
    int FocusedRow() const override { return focused_; }
    void Select(const std::vector<int>& rows, int focused) override {
        selected_ = rows;
        focused_ = focused;
    }
    int TopRow() const override { return top_; }
    void SetTopRow(int row) override { top_ = std::clamp(row, 0, std::max(rows_ - 1, 0)); }

    // A cell, or a whole row joined with " | ", as drawn.
    std::wstring Cell(int row, int column) const { return CellText(row, column); }
    std::wstring Row(int row) const;
    // The user's click on a row: it alone is selected and focused; with
    // Ctrl, added to the selection.
    void UserClick(int row, bool add = false) {
        std::vector<int> rows = add ? selected_ : std::vector<int>{};
        rows.push_back(row);
        Select(rows, row);
        Notify([this] { SelectionChange.Raise(); });
    }
    void UserDoubleClick(int row) {
        UserClick(row);
        Notify([this] { DblClick.Raise(); });
    }
    void UserClickColumn(int column) {
        Notify([this, column] { UserClickedColumn(column); });
    }

    std::vector<std::wstring> columns;

private:
    int rows_ = 0;
    std::vector<int> selected_;
    int focused_ = -1;
    int top_ = 0;
};

class FakeComboBox : public FakeVisible<ComboBox> {
public:
    FakeComboBox(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
    void AddItem(const std::wstring& text) override { rows.push_back(text); }
    void Clear() override {
        rows.clear();
        index_ = -1;
    }
    int ListCount() const override { return static_cast<int>(rows.size()); }
    int ListIndex() const override { return index_; }
    void SetListIndex(int index) override { index_ = index < ListCount() ? index : -1; }
    std::vector<std::wstring> rows;

private:
    int index_ = -1;
};

class FakeHotKeyBox : public FakeVisible<HotKeyBox> {
public:
    FakeHotKeyBox(FakeToolkit& t, const LayoutRow& s) : FakeVisible(t, s) {}
    std::uint16_t Value() const override { return value_; }
    void SetValue(std::uint16_t value) override { value_ = value; }

private:
    std::uint16_t value_ = 0;
};

class FakeForm : public Form {
public:
    FakeForm(FakeToolkit& toolkit, std::wstring caption, vindrel::Hwnd hwnd)
        : toolkit_(toolkit), caption_(std::move(caption)), hwnd_(hwnd) {}
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& caption) override { caption_ = caption; }
    vindrel::Hwnd hWnd() const override {
        ++handleRequests_;
        return hwnd_;
    }
    int HandleRequests() const { return handleRequests_; }
    void Show() override { visible_ = true; }
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }

    // The system menu opened: whether an item can be chosen.
    bool MenuItemShownEnabled(std::size_t index = 0) const {
        return menuItems_.at(index).Available();
    }
    // An item's command arrives (the user chose it, or another program
    // sent it): what the window makes of it whether or not it is enabled.
    void UserChooseMenuItem(std::size_t index = 0);
    // F5 pressed in the window.
    void UserPressF5();
    // The main window, its owner, minimised (the system hides an owned
    // window meanwhile) or shown again (it reappears).
    void OwnerMinimised(bool minimised);
    // The close box: the window is closed when it may go.
    // The close box (or Alt+F4): CloseBox first, at its turn.
    void UserClose();
    // Any other close (the program's own, another program's WM_CLOSE), or
    // the close box's.
    void Close(bool closeBox);
    void Close() override { Close(false); }
    // As the real window: posted, then raised at its turn among the handlings.
    void Notify() override { ++notifications; }
    void DeliverNotifications();
    int notifications = 0;

    std::vector<std::wstring> menuItems;
    bool closed = false;

    // As RegisterHotKey: a key in `taken` fails with kHotKeyTaken and
    // leaves the key held as it was.
    std::uint32_t SetHotKey(const std::optional<HotKey>& key) override {
        if (key && std::find(taken.begin(), taken.end(), *key) != taken.end()) return kHotKeyTaken;
        hotKey = key;
        return 0;
    }
    std::optional<HotKey> hotKey;
    std::vector<HotKey> taken;
    void WatchShows(bool on) override { watchingShows = on; }
    bool watchingShows = false;
    // Another program shows a window: told only while watched.
    void OtherWindowShown();
    // The key held is pressed: nothing without one.
    void UserPressHotKey();
    void UserActivate();
    // The session is ending: asked at once; then called off, when told.
    void SessionEnds(bool calledOff);
    void AcceptCommands() override { acceptsCommands = true; }
    // The notification area: none until `trayArea` (no shell started yet).
    bool trayArea = true;
    std::optional<std::wstring> trayTip;  // the icon's, while it is there
    std::vector<std::pair<std::wstring, std::wstring>> balloons;
    std::vector<TrayItem> trayMenu;  // the last menu shown
    bool ShowTrayIcon(const std::wstring& tip) override {
        if (!trayArea) return false;
        trayTip = tip;
        return true;
    }
    void RemoveTrayIcon() override { trayTip.reset(); }
    void TrayBalloon(const std::wstring& title, const std::wstring& text) override {
        if (trayTip) balloons.emplace_back(title, text);
    }
    std::optional<std::size_t> TrayMenu(const std::vector<TrayItem>& items) override {
        trayMenu = items;
        const std::wstring caption = std::exchange(trayCaption, {});
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].caption == caption && items[i].enabled) return i;
        return std::nullopt;
    }
    std::wstring trayCaption;  // the item the user will choose
    void UserClickTray();
    // Right-clicks the icon and chooses the item with that caption.
    void UserChooseInTray(const std::wstring& caption);
    // The shell starts again, holding no icon.
    void ShellStarts();
    // Another start of the program asks for the main window: the answer.
    bool AnotherStart();
    bool acceptsCommands = false;
    // Another process hands a command, run at its turn among the
    // handlings; `gaveUp`: that process stopped waiting before it ran.
    struct Handed : HandedCommand {
        std::vector<std::wstring> arguments;
        bool gaveUp = false;
        std::optional<std::pair<int, std::vector<std::wstring>>> answer;
        const std::vector<std::wstring>& Arguments() const override { return arguments; }
        bool Take() override { return !gaveUp; }
        void Finish(int exitCode, const std::vector<std::wstring>& lines) override {
            answer.emplace(exitCode, lines);
        }
    };
    void HandCommand(Handed& handed);

protected:
    void DoAddMenuItem(std::size_t /*index*/, const std::wstring& caption) override {
        menuItems.push_back(caption);
    }

private:
    bool visible_ = true;
    FakeToolkit& toolkit_;
    std::wstring caption_;
    vindrel::Hwnd hwnd_;
    mutable int handleRequests_ = 0;
};

struct ShownMessage {
    std::wstring prompt;
    std::optional<std::wstring> title;
    std::optional<Interaction::Choices> choices;  // set for a question
};

class FakeToolkit : public ControlFactory, public Interaction {
public:
    static constexpr vindrel::Hwnd kFormHwnd = 0x10010;

    std::unique_ptr<Form> CreateForm(const LayoutRow& row) override;
    std::unique_ptr<Label> CreateLabel(const LayoutRow& row) override;
    std::unique_ptr<ListBox> CreateListBox(const LayoutRow& row) override;
    std::unique_ptr<TextBox> CreateTextBox(const LayoutRow& row) override;
    std::unique_ptr<Button> CreateButton(const LayoutRow& row) override;
    std::unique_ptr<Frame> CreateFrame(const LayoutRow& row) override;
    std::unique_ptr<ScrollBar> CreateScrollBar(const LayoutRow& row) override;
    std::unique_ptr<CheckBox> CreateCheckBox(const LayoutRow& row) override;
    std::unique_ptr<OptionButton> CreateOptionButton(const LayoutRow& row) override;
    std::unique_ptr<Timer> CreateTimer(const LayoutRow& row) override;
    std::unique_ptr<Finder> CreateFinder(const LayoutRow& row) override;
    std::unique_ptr<ListView> CreateListView(const LayoutRow& row) override;
    std::unique_ptr<ComboBox> CreateComboBox(const LayoutRow& row) override;
    std::unique_ptr<HotKeyBox> CreateHotKeyBox(const LayoutRow& row) override;

    void MsgBox(const std::wstring& prompt, const std::optional<std::wstring>& title) override {
        const Dispatch::Asking asking(dispatch);
        messages.push_back({prompt, title, std::nullopt});
        if (onMessage) onMessage(messages.back());
    }
    // Shown as a message; answered from `answers` in turn, when none is
    // left as a box closed without an answer.
    Answer Ask(const std::wstring& prompt, Choices choices,
               const std::optional<std::wstring>& title) override {
        const Dispatch::Asking asking(dispatch);
        messages.push_back({prompt, title, choices});
        if (onMessage) onMessage(messages.back());
        if (answers.empty()) return choices == Choices::YesNo ? Answer::No : Answer::Cancel;
        const Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void Shell(const std::wstring& commandLine) override { shellCommands.push_back(commandLine); }

    // The control created for a layout row, by name and fake type.
    template <class T>
    T& Get(std::string_view name) const {
        const auto found = controls_.find(name);
        T* control = found == controls_.end() ? nullptr : dynamic_cast<T*>(found->second);
        if (control == nullptr) throw std::logic_error("no fake control of that name and kind");
        return *control;
    }
    // The main window (the first form created), or another form by name.
    FakeForm& Window() const { return *form_; }
    FakeForm& Window(std::string_view name) const { return *forms_.at(std::string(name)); }
    // Names in the order the controls were created.
    const std::vector<std::string_view>& CreationOrder() const { return order_; }
    bool Shown(std::string_view name) const;

    std::vector<ShownMessage> messages;
    // Called while a message box is shown.
    std::function<void(const ShownMessage&)> onMessage;
    std::vector<Answer> answers;
    std::vector<std::wstring> shellCommands;
    // The route of the user's input and of other programs' messages.
    Dispatch dispatch;

private:
    template <class T>
    std::unique_ptr<T> Keep(const LayoutRow& row, std::unique_ptr<T> control);

    std::map<std::string_view, Component*, std::less<>> controls_;
    std::map<std::string_view, const LayoutRow*, std::less<>> layoutRows_;
    std::vector<std::string_view> order_;
    FakeForm* form_ = nullptr;
    std::map<std::string, FakeForm*> forms_;
    friend class FakeOptionButton;
};

inline void FakeFinder::UserMove(int x, int y) {
    toolkit_.dispatch.Tick([this, x, y] { UserMoved({x, y}); });
}

inline void FakeForm::UserPressHotKey() {
    if (hotKey) toolkit_.dispatch.Press([this] { HotKeyPressed.Raise(); });
}

inline void FakeForm::SessionEnds(bool calledOff) {
    if (SessionEnding) SessionEnding();
    if (calledOff) toolkit_.dispatch.Command([this] { SessionResumed.Raise(); });
}

inline void FakeForm::UserClickTray() {
    toolkit_.dispatch.Command([this] { TrayClicked.Raise(); });
}

inline void FakeForm::ShellStarts() {
    trayTip.reset();
    toolkit_.dispatch.Command([this] { ShellRestarted.Raise(); });
}

inline bool FakeForm::AnotherStart() {
    const bool yes = ShowAsked && ShowAsked();
    if (yes) toolkit_.dispatch.Command([this] { ShowRequested.Raise(); });
    return yes;
}

inline void FakeForm::UserChooseInTray(const std::wstring& caption) {
    trayCaption = caption;
    toolkit_.dispatch.Command([this] { TrayMenuAsked.Raise(); });
}

inline void FakeForm::HandCommand(Handed& handed) {
    if (acceptsCommands) {
        toolkit_.dispatch.Command([this, &handed] {
            if (CommandHanded) CommandHanded(handed);
        });
    }
}

inline void FakeForm::OtherWindowShown() {
    if (watchingShows) toolkit_.dispatch.Tick([this] { WindowShown.Raise(); });
}

inline void FakeForm::UserActivate() {
    toolkit_.dispatch.Command([this] { Activated.Raise(); });
}

inline void FakeForm::OwnerMinimised(bool minimised) {
    visible_ = !minimised;
    if (!minimised) toolkit_.dispatch.Command([this] { Reappeared.Raise(); });
}

inline void FakeForm::UserChooseMenuItem(std::size_t index) {
    UserChoseMenuItem(toolkit_.dispatch, index);
}

inline void FakeForm::UserPressF5() {
    toolkit_.dispatch.Command([this] { RefreshKey.Raise(); });
}

inline void FakeForm::DeliverNotifications() {
    for (; notifications > 0; --notifications)
        toolkit_.dispatch.Command([this] { Notified.Raise(); });
}

inline void FakeForm::UserClose() {
    Close(true);
}

inline void FakeForm::Close(bool closeBox) {
    UserAskedToClose(
        toolkit_.dispatch,
        [this] {
            closed = true;
            visible_ = false;  // a window the main window owns is hidden
        },
        closeBox);
}

template <class Base>
bool FakeVisible<Base>::Shown() const {
    return visible_ && toolkit_.Shown(row_.container);
}

template <class Base>
void FakeVisible<Base>::Notify(std::function<void()> notification) {
    toolkit_.dispatch.Command(std::move(notification));
}

}  // namespace vindrel::testing
