// Integrity levels and elevation from the processes' access tokens, and the
// elevated start through the shell's "runas" verb.
#pragma once

#include <optional>

#include "platform/process_rights.h"
#include "platform/win32/system_function.h"

namespace vindrel::win32 {

class Win32ProcessRights : public ProcessRights {
public:
    // The shell's and COM's functions come from `loader` when first needed.
    explicit Win32ProcessRights(SystemLoader loader = FindSystemFunction)
        : loader_(std::move(loader)) {}

    std::optional<std::uint32_t> IntegrityLevel(Pid pid) override;
    bool Elevated() override;
    // Runs ShellExecuteExW in a single-threaded apartment of its own, as
    // its documentation asks.
    std::uint32_t StartElevated(const std::wstring& argument, Hwnd owner) override;

private:
    // Looked up once: the function, or the loader's error, for every call.
    const SystemProc& Function(std::optional<SystemProc>& found, const wchar_t* dll,
                               const char* name);

    SystemLoader loader_;
    std::optional<SystemProc> shellExecute_, coInitialize_, coUninitialize_;
};

}  // namespace vindrel::win32
