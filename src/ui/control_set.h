// Owns a window and every control of its layout, created in tab order so
// that each container exists before what it holds.
#pragma once

#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>

#include "platform/toolkit.h"

namespace vindrel {

class ControlSet {
public:
    ControlSet(ControlFactory& factory, const LayoutRow& form, std::span<const LayoutRow> controls);

    Form& Window() const { return *form_; }
    // Destroys the window, while every control still exists to hear its
    // last notifications (focus leaving a text box); its owner calls this
    // before it goes, and nothing may use Window() afterwards.
    void DestroyWindow() { form_.reset(); }

    // The control of that name and kind; a name the layout lacks, or a
    // kind that does not match, is a programming error (std::logic_error).
    template <class T>
    T& Get(std::string_view name) const {
        const auto found = components_.find(name);
        T* control = found == components_.end() ? nullptr : dynamic_cast<T*>(found->second.get());
        if (control == nullptr) throw std::logic_error("layout has no such control");
        return *control;
    }

private:
    std::unique_ptr<Form> form_;
    std::map<std::string_view, std::unique_ptr<Component>> components_;
};

}  // namespace vindrel
