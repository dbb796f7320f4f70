#include "fakes/fake_toolkit.h"

namespace vindrel::testing {

bool FakeToolkit::Shown(std::string_view name) const {
    if (const auto form = forms_.find(std::string(name)); form != forms_.end()) {
        return form->second->Visible();
    }
    if (name == "Form1") return true;
    const auto row = layoutRows_.find(name);
    if (row == layoutRows_.end()) throw std::logic_error("no fake control of that name");
    const auto* control = dynamic_cast<const Control*>(controls_.at(name));
    return control != nullptr && control->Visible() && Shown(row->second->container);
}

void FakeOptionButton::StoreChosen() {
    // Options exclude one another within their container.
    for (const auto& [name, row] : toolkit_.layoutRows_) {
        if (row->kind != ControlKind::OptionButton || row->container != row_.container) continue;
        toolkit_.Get<FakeOptionButton>(name).chosen_ = false;
    }
    chosen_ = true;
}

template <class T>
std::unique_ptr<T> FakeToolkit::Keep(const LayoutRow& row, std::unique_ptr<T> control) {
    if (row.container != "Form1" && forms_.count(std::string(row.container)) == 0 &&
        layoutRows_.count(row.container) == 0) {
        throw std::logic_error("a control created before its container");
    }
    controls_[row.name] = control.get();
    layoutRows_[row.name] = &row;
    order_.push_back(row.name);
    return control;
}

std::unique_ptr<Form> FakeToolkit::CreateForm(const LayoutRow& row) {
    // Each window the main window owns starts hidden.
    auto form = std::make_unique<FakeForm>(*this, std::wstring(row.caption),
                                           kFormHwnd + static_cast<vindrel::Hwnd>(forms_.size()));
    if (form_ == nullptr) {
        form_ = form.get();
    } else {
        form->Hide();
    }
    forms_[std::string(row.name)] = form.get();
    return form;
}

std::unique_ptr<Finder> FakeToolkit::CreateFinder(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeFinder>(*this, row));
}

std::unique_ptr<Label> FakeToolkit::CreateLabel(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeLabel>(*this, row));
}
std::unique_ptr<ListBox> FakeToolkit::CreateListBox(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeListBox>(*this, row));
}
std::unique_ptr<TextBox> FakeToolkit::CreateTextBox(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeTextBox>(*this, row));
}
std::unique_ptr<Button> FakeToolkit::CreateButton(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeButton>(*this, row));
}
std::unique_ptr<Frame> FakeToolkit::CreateFrame(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeFrame>(*this, row));
}
std::unique_ptr<ScrollBar> FakeToolkit::CreateScrollBar(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeScrollBar>(*this, row));
}
std::unique_ptr<CheckBox> FakeToolkit::CreateCheckBox(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeCheckBox>(*this, row));
}
std::unique_ptr<OptionButton> FakeToolkit::CreateOptionButton(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeOptionButton>(*this, row));
}
std::unique_ptr<ListView> FakeToolkit::CreateListView(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeListView>(*this, row));
}
std::unique_ptr<ComboBox> FakeToolkit::CreateComboBox(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeComboBox>(*this, row));
}
std::unique_ptr<HotKeyBox> FakeToolkit::CreateHotKeyBox(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeHotKeyBox>(*this, row));
}
std::wstring FakeListView::Row(int row) const {
    std::wstring joined;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        joined += (column == 0 ? L"" : L" | ") + Cell(row, static_cast<int>(column));
    }
    return joined;
}
std::unique_ptr<Timer> FakeToolkit::CreateTimer(const LayoutRow& row) {
    return Keep(row, std::make_unique<FakeTimer>(dispatch, row.value));
}

}  // namespace vindrel::testing
