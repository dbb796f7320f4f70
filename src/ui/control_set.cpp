#include "ui/control_set.h"

#include <algorithm>
#include <vector>

namespace vindrel {

namespace {

std::unique_ptr<Component> Create(ControlFactory& factory, const LayoutRow& row) {
    switch (row.kind) {
        case ControlKind::Label:
            return factory.CreateLabel(row);
        case ControlKind::ListBox:
            return factory.CreateListBox(row);
        case ControlKind::TextBox:
            return factory.CreateTextBox(row);
        case ControlKind::Button:
            return factory.CreateButton(row);
        case ControlKind::Frame:
            return factory.CreateFrame(row);
        case ControlKind::ScrollBar:
            return factory.CreateScrollBar(row);
        case ControlKind::CheckBox:
            return factory.CreateCheckBox(row);
        case ControlKind::OptionButton:
            return factory.CreateOptionButton(row);
        case ControlKind::Timer:
            return factory.CreateTimer(row);
        case ControlKind::Finder:
            return factory.CreateFinder(row);
        case ControlKind::ListView:
            return factory.CreateListView(row);
        case ControlKind::ComboBox:
            return factory.CreateComboBox(row);
        case ControlKind::HotKeyBox:
            return factory.CreateHotKeyBox(row);
        case ControlKind::Form:
            break;
    }
    throw std::logic_error("a layout row of an unknown kind");
}

}  // namespace

ControlSet::ControlSet(ControlFactory& factory, const LayoutRow& form,
                       std::span<const LayoutRow> controls)
    : form_(factory.CreateForm(form)) {
    // Tab order is creation order; a frame comes before its contents
    // because every control inside a frame follows it in tab order.
    std::vector<const LayoutRow*> order;
    for (const LayoutRow& row : controls)
        order.push_back(&row);
    std::stable_sort(order.begin(), order.end(), [](const LayoutRow* a, const LayoutRow* b) {
        const unsigned ta = static_cast<unsigned>(a->tab);  // -1 (no tab) sorts last
        const unsigned tb = static_cast<unsigned>(b->tab);
        return ta < tb;
    });
    for (const LayoutRow* row : order)
        components_.emplace(row->name, Create(factory, *row));
}

}  // namespace vindrel
