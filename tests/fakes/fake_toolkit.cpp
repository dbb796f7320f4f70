#include "fakes/fake_toolkit.h"

namespace vindrel::testing {

bool FakeToolkit::Shown(std::string_view name) const {
    if (name == "Form1") return true;
    const auto spec = specs_.find(name);
    if (spec == specs_.end()) throw std::logic_error("no fake control of that name");
    const auto* control = dynamic_cast<const Control*>(controls_.at(name));
    return control != nullptr && control->Visible() && Shown(spec->second->container);
}

void FakeOptionButton::StoreChosen() {
    // Options exclude one another within their container.
    for (const auto& [name, spec] : toolkit_.specs_) {
        if (spec->kind != ControlKind::OptionButton || spec->container != spec_.container) continue;
        toolkit_.Get<FakeOptionButton>(name).chosen_ = false;
    }
    chosen_ = true;
}

template <class T>
std::unique_ptr<T> FakeToolkit::Keep(const ControlSpec& spec, std::unique_ptr<T> control) {
    if (spec.container != "Form1" && specs_.count(spec.container) == 0) {
        throw std::logic_error("a control created before its container");
    }
    controls_[spec.name] = control.get();
    specs_[spec.name] = &spec;
    order_.push_back(spec.name);
    return control;
}

std::unique_ptr<Form> FakeToolkit::CreateForm(const ControlSpec& spec) {
    auto form = std::make_unique<FakeForm>(std::wstring(spec.caption), kFormHwnd);
    form_ = form.get();
    return form;
}

std::unique_ptr<Label> FakeToolkit::CreateLabel(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeLabel>(*this, spec));
}
std::unique_ptr<ListBox> FakeToolkit::CreateListBox(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeListBox>(*this, spec));
}
std::unique_ptr<TextBox> FakeToolkit::CreateTextBox(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeTextBox>(*this, spec));
}
std::unique_ptr<Button> FakeToolkit::CreateButton(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeButton>(*this, spec));
}
std::unique_ptr<Frame> FakeToolkit::CreateFrame(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeFrame>(*this, spec));
}
std::unique_ptr<ScrollBar> FakeToolkit::CreateScrollBar(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeScrollBar>(*this, spec));
}
std::unique_ptr<CheckBox> FakeToolkit::CreateCheckBox(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeCheckBox>(*this, spec));
}
std::unique_ptr<OptionButton> FakeToolkit::CreateOptionButton(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeOptionButton>(*this, spec));
}
std::unique_ptr<Timer> FakeToolkit::CreateTimer(const ControlSpec& spec) {
    return Keep(spec, std::make_unique<FakeTimer>(spec.value));
}

}  // namespace vindrel::testing
