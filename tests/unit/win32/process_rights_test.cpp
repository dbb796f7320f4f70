// The rights read from real process tokens, and the start as administrator
// over stand-ins for the shell and COM.
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/process_rights_win32.h"

namespace vindrel::testing {
namespace {

using win32::SystemProc;

TEST(Win32ProcessRights, ReadsTheLevelsAndTheElevationOfRealTokens) {
    win32::Win32ProcessRights rights;
    const auto own = rights.IntegrityLevel(static_cast<Pid>(GetCurrentProcessId()));
    ASSERT_TRUE(own.has_value());
    // Between low (0x1000) and system (0x4000).
    EXPECT_GE(*own, 0x1000u);
    EXPECT_LE(*own, 0x4000u);
    EXPECT_EQ(rights.Elevated(), *own >= kAdministratorLevel);
    // Process ids are multiples of four: this one names no process.
    EXPECT_EQ(rights.IntegrityLevel(0x7FFFFFF3), std::nullopt);
}

// What the stand-ins saw, and how the shell answers.
struct Shell {
    bool inApartment = false;
    bool ranInApartment = false;
    std::wstring verb, parameters;
    HWND owner = nullptr;
    BOOL result = TRUE;
    DWORD error = 0;
} shell;

HRESULT WINAPI StandInCoInitializeEx(void*, DWORD) {
    shell.inApartment = true;
    return S_OK;
}
void WINAPI StandInCoUninitialize() {
    shell.inApartment = false;
}
BOOL WINAPI StandInShellExecuteEx(SHELLEXECUTEINFOW* info) {
    shell.ranInApartment = shell.inApartment;
    shell.verb = info->lpVerb;
    shell.parameters = info->lpParameters;
    shell.owner = info->hwnd;
    SetLastError(shell.error);
    return shell.result;
}

template <class Function>
SystemProc Found(Function function) {
    return {reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function)), 0};
}

TEST(Win32ProcessRights, StartElevatedRunsTheShellInAnApartmentAndKeepsEveryFailure) {
    // shell32 cannot be loaded: its error, at every call, never 0 (which
    // would count as started).
    int loads = 0;
    win32::Win32ProcessRights missing([&](const wchar_t*, const char*) {
        ++loads;
        return SystemProc{nullptr, ERROR_MOD_NOT_FOUND};
    });
    for (int i = 0; i < 2; ++i) {
        SetLastError(0);
        EXPECT_EQ(missing.StartElevated(L"1", 0), static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));
    }
    EXPECT_EQ(loads, 1);

    shell = {};
    win32::Win32ProcessRights rights([](const wchar_t*, const char* name) {
        const std::string function(name);
        if (function == "ShellExecuteExW") return Found(&StandInShellExecuteEx);
        if (function == "CoInitializeEx") return Found(&StandInCoInitializeEx);
        if (function == "CoUninitialize") return Found(&StandInCoUninitialize);
        return SystemProc{nullptr, ERROR_PROC_NOT_FOUND};
    });
    EXPECT_EQ(rights.StartElevated(L"65612", 0x1234), 0u);
    EXPECT_EQ(shell.verb, L"runas");
    EXPECT_EQ(shell.parameters, L"65612");
    EXPECT_EQ(shell.owner, reinterpret_cast<HWND>(0x1234));
    EXPECT_TRUE(shell.ranInApartment);
    EXPECT_FALSE(shell.inApartment);  // left after the call
    // The user declines; a failure that sets no error is still a failure.
    shell.result = FALSE;
    shell.error = ERROR_CANCELLED;
    EXPECT_EQ(rights.StartElevated(L"", 0), static_cast<std::uint32_t>(ERROR_CANCELLED));
    shell.error = 0;
    EXPECT_NE(rights.StartElevated(L"", 0), 0u);
    EXPECT_FALSE(shell.inApartment);
}

}  // namespace
}  // namespace vindrel::testing
