// What Windows lets this program do to other programs' windows depends on
// the integrity level of each process: a program may change the windows of
// processes at its own level or below, not of those above it (programs run
// as administrator, when this one is not). These are the process services
// that tell, and that start this program again as administrator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"

namespace vindrel {

// The integrity level of a program run as administrator (high).
inline constexpr std::uint32_t kAdministratorLevel = 0x3000;

class ProcessRights {
public:
    virtual ~ProcessRights() = default;
    // The integrity level of a process: the last sub-authority of its
    // token's mandatory label (0x2000 medium, 0x3000 high, 0x4000 system).
    // Empty when its token cannot be read (an elevated process of another
    // account, a system or protected process). Touches no window and does
    // not wait on the process.
    virtual std::optional<std::uint32_t> IntegrityLevel(Pid pid) = 0;
    // Whether this program runs elevated (as administrator).
    virtual bool Elevated() = 0;
    // Starts this program again, elevated, with those command-line
    // parameters, through the system's consent prompt owned by the window
    // given. 0 once it has started; otherwise the system's error,
    // api::kErrorCancelled when the user declined.
    virtual std::uint32_t StartElevated(const std::wstring& parameters, Hwnd owner) = 0;
};

}  // namespace vindrel
