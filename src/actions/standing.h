// Where a window's program stands to this one. Windows lets a program read
// the windows of processes at a higher integrity level than its own, but
// not change them (hide, show, minimise, restore, rename, make see-through,
// ask to close): those calls fail or are dropped.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/process_rights.h"
#include "platform/window_system.h"

namespace vindrel {

struct Standing {
    enum class Kind {
        NotAbove,             // at this program's level or below: Windows lets it change the window
        Above,                // above it, at most at the level of an administrator
        BeyondAdministrator,  // above that (a system process): out of reach
        Unknown,              // a level that cannot be read: taken as above, never as fine
    };
    Kind kind = Kind::NotAbove;
    // The integrity levels read, of the window's process and of this one.
    std::optional<std::uint32_t> theirs, ours;
    // Whether this program runs as administrator; read only for a window
    // not at its level or below.
    bool elevated = false;

    bool Above() const { return kind != Kind::NotAbove; }
};

class Standings {
public:
    Standings(WindowSystem& ws, ProcessRights& rights) : ws_(ws), rights_(rights) {}

    // NotAbove for no window and for the program's own. Touches no window
    // and does not wait on the other program.
    Standing Of(Hwnd window);

private:
    WindowSystem& ws_;
    ProcessRights& rights_;
};

}  // namespace vindrel
