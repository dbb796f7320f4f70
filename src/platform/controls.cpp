#include "platform/controls.h"

#include <algorithm>

namespace vindrel {

void ListBox::Clear() {
    known_ = -1;
    DoClear();
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount() || index == StoredIndex()) return;
    known_ = index;
    StoreIndex(index);
    if (index != -1) Click.Raise();
}

void ListBox::SetSelected(int index, bool selected) {
    if (selected) {
        SetListIndex(index);
    } else if (index == StoredIndex()) {
        SetListIndex(-1);
    }
}

void ListBox::UserSelected() {
    const int index = StoredIndex();
    if (index == known_) return;
    known_ = index;
    if (index != -1) Click.Raise();
}

void TextBox::SetText(const std::wstring& text) {
    if (text == StoredText()) return;
    // Recorded first: a native control may report its own change from
    // inside StoreText, and that report must not raise Change a second time.
    known_ = text;
    StoreText(text);
    Change.Raise();
}

void TextBox::UserEdited() {
    std::wstring text = StoredText();
    if (text == known_) return;
    known_ = std::move(text);
    Change.Raise();
}

void CheckBox::SetValue(int value) {
    if (value == StoredValue()) return;
    StoreValue(value);
    Click.Raise();
}

void OptionButton::Choose() {
    if (StoredValue()) return;
    StoreChosen();
    Click.Raise();
}

void ScrollBar::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    ShowValue(value);
    if (value == value_) return;
    value_ = value;
    Change.Raise();
}

void ScrollBar::UserStep(int delta) {
    gesture_ = true;
    SetValue(value_ + delta);
}

void ScrollBar::UserMovedTo(int position) {
    gesture_ = true;
    SetValue(position);
}

void ScrollBar::UserEnded() {
    gesture_ = false;
    EndScroll.Raise();
}

void Finder::UserPressed(Point at) {
    if (dragging_) return;
    pointer_ = at;
    dragging_ = true;
    cancelled_ = false;
    DragStart.Raise();
}

void Finder::UserMoved(Point at) {
    if (!dragging_) return;
    pointer_ = at;
    DragMove.Raise();
}

void Finder::UserReleased(Point at) {
    if (!dragging_) return;
    pointer_ = at;
    dragging_ = false;
    DragEnd.Raise();
}

void Finder::UserCancelled() {
    if (!dragging_) return;
    dragging_ = false;
    cancelled_ = true;
    DragEnd.Raise();
}

void Form::UserAskedToClose(Dispatch& dispatch, std::function<void()> close, bool closeBox) {
    if (closing_) return;
    closing_ = true;
    dispatch.Command([this, close = std::move(close), closeBox] {
        struct Done {
            bool& closing;
            ~Done() { closing = false; }
        } done{closing_};
        if (closeBox && CloseBox && CloseBox()) return;
        if (!QueryUnload || QueryUnload()) close();
    });
}

MenuItem& Form::AddMenuItem(const std::wstring& caption) {
    menuItems_.emplace_back();
    DoAddMenuItem(menuItems_.size() - 1, caption);
    return menuItems_.back();
}

void Form::UserChoseMenuItem(Dispatch& dispatch, std::size_t index) {
    dispatch.Command([this, index] {
        if (index < menuItems_.size() && menuItems_[index].Available()) {
            menuItems_[index].Click.Raise();
        }
    });
}

}  // namespace vindrel
