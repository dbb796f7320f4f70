// Integrity levels and elevation from the processes' access tokens, and the
// elevated start through the shell's "runas" verb.
#pragma once

#include "platform/process_rights.h"

namespace vindrel::win32 {

class Win32ProcessRights : public ProcessRights {
public:
    std::optional<std::uint32_t> IntegrityLevel(Pid pid) override;
    bool Elevated() override;
    std::uint32_t StartElevated(const std::wstring& argument, Hwnd owner) override;
};

}  // namespace vindrel::win32
