// Creating the controls from their layout rows, and the program's modal
// message box and shell launch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/layout_row.h"

namespace vindrel {

// The title a message box shows when it is given none.
inline constexpr std::wstring_view kDefaultMessageTitle = L"Vindrel";

// Creates each control inside the container its row names, which must have
// been created before it; controls are created in tab order.
class ControlFactory {
public:
    virtual ~ControlFactory() = default;
    virtual std::unique_ptr<Form> CreateForm(const LayoutRow& row) = 0;
    virtual std::unique_ptr<Label> CreateLabel(const LayoutRow& row) = 0;
    virtual std::unique_ptr<ListBox> CreateListBox(const LayoutRow& row) = 0;
    virtual std::unique_ptr<TextBox> CreateTextBox(const LayoutRow& row) = 0;
    virtual std::unique_ptr<Button> CreateButton(const LayoutRow& row) = 0;
    virtual std::unique_ptr<Frame> CreateFrame(const LayoutRow& row) = 0;
    virtual std::unique_ptr<ScrollBar> CreateScrollBar(const LayoutRow& row) = 0;
    virtual std::unique_ptr<CheckBox> CreateCheckBox(const LayoutRow& row) = 0;
    virtual std::unique_ptr<OptionButton> CreateOptionButton(const LayoutRow& row) = 0;
    virtual std::unique_ptr<Timer> CreateTimer(const LayoutRow& row) = 0;
    virtual std::unique_ptr<Finder> CreateFinder(const LayoutRow& row) = 0;
    virtual std::unique_ptr<ListView> CreateListView(const LayoutRow& row) = 0;
    virtual std::unique_ptr<ComboBox> CreateComboBox(const LayoutRow& row) = 0;
    virtual std::unique_ptr<HotKeyBox> CreateHotKeyBox(const LayoutRow& row) = 0;
};

class Interaction {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Choices { YesNoCancel, YesNo };

    virtual ~Interaction() = default;
    // Modal, a single OK button, no icon; returns when it is closed. While
    // a box is open, every window of the program is disabled.
    virtual void MsgBox(const std::wstring& prompt,
                        const std::optional<std::wstring>& title = std::nullopt) = 0;
    // Modal, 是/否/取消 (or 是/否) with a warning icon, 是 the default;
    // Cancel also when the box is closed without an answer. When it cannot
    // be shown: Yes to 是/否/取消 (the closing question, whose 是 loses
    // nothing), No to 是/否 (nothing is done unasked).
    virtual Answer Ask(const std::wstring& prompt, Choices choices = Choices::YesNoCancel,
                       const std::optional<std::wstring>& title = std::nullopt) = 0;
    // Runs a command line, its window shown minimised with the focus.
    virtual void Shell(const std::wstring& commandLine) = 0;
};

}  // namespace vindrel
