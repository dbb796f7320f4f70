#include "ui/control_set.h"

#include <algorithm>
#include <vector>

#include "ui/layout.h"

namespace vindrel {

namespace {

std::unique_ptr<Component> Create(ControlFactory& factory, const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::Label:
            return factory.CreateLabel(spec);
        case ControlKind::ListBox:
            return factory.CreateListBox(spec);
        case ControlKind::TextBox:
            return factory.CreateTextBox(spec);
        case ControlKind::Button:
            return factory.CreateButton(spec);
        case ControlKind::Frame:
            return factory.CreateFrame(spec);
        case ControlKind::ScrollBar:
            return factory.CreateScrollBar(spec);
        case ControlKind::CheckBox:
            return factory.CreateCheckBox(spec);
        case ControlKind::OptionButton:
            return factory.CreateOptionButton(spec);
        case ControlKind::Timer:
            return factory.CreateTimer(spec);
        case ControlKind::Form:
            break;
    }
    throw std::logic_error("a layout row of an unknown kind");
}

}  // namespace

ControlSet::ControlSet(ControlFactory& factory) : form_(factory.CreateForm(layout::kForm1)) {
    // Tab order is creation order; a frame comes before its contents
    // because every control inside a frame follows it in tab order.
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& spec : layout::kControls)
        order.push_back(&spec);
    std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
        const unsigned ta = static_cast<unsigned>(a->tab);  // -1 (no tab) sorts last
        const unsigned tb = static_cast<unsigned>(b->tab);
        return ta < tb;
    });
    for (const ControlSpec* spec : order)
        components_.emplace(spec->name, Create(factory, *spec));
}

}  // namespace vindrel
