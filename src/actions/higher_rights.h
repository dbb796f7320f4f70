// Windows that belong to programs with more rights than this one. Windows
// lets a program read such a window but not change it (hide, show,
// minimise, restore, rename, make see-through, ask to close): those calls
// fail or are dropped. A command that did not take effect on such a window
// says why, once, and offers to start this program as administrator with
// the same handle.
#pragma once

#include <functional>
#include <string>

#include "platform/controls.h"
#include "platform/process_rights.h"
#include "platform/toolkit.h"
#include "platform/window_system.h"

namespace vindrel {

// The title of the commands' result messages.
inline constexpr wchar_t kResultTitle[] = L"Tamsk提示";

// Where a window's process stands to this program.
enum class Standing {
    NotAbove,             // at its level or below: Windows lets it change the window
    Above,                // above it, at most at the level of an administrator
    BeyondAdministrator,  // above that (a system process): out of reach
    Unknown,              // its level cannot be read: taken as above, never as fine
};

class HigherRights {
public:
    HigherRights(WindowSystem& ws, ProcessRights& rights, Interaction& interaction, Form& form)
        : ws_(ws), rights_(rights), interaction_(interaction), form_(form) {}

    // NotAbove for no window and for the program's own. Touches no window
    // and does not wait on the other program.
    Standing Of(Hwnd window);

    // After a change to the window: when its process stands above this
    // program (or may) and `took` says the change did not take effect,
    // shows one message, `head` first, that says why. Where running as
    // administrator may help and this program does not, the message offers
    // to start it so, with the window's handle; once that one has started,
    // this one closes as the close box would close it. `took` is asked
    // only for a window above.
    // False, with nothing shown, when there was nothing to explain (the
    // window gone meanwhile included).
    bool Explain(Hwnd window, Standing standing, const std::wstring& head,
                 const std::function<bool()>& took);

private:
    // Starts this program as administrator with the argument, then closes
    // this one; a declined prompt changes nothing.
    void RestartElevated(const std::wstring& argument);

    WindowSystem& ws_;
    ProcessRights& rights_;
    Interaction& interaction_;
    Form& form_;
};

}  // namespace vindrel
