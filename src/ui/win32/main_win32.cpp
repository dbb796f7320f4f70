// The program's entry: the real window system and toolkit, the main window,
// its start-up steps, then the message loop.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/conversions.h"
#include "platform/deadline_window_system.h"
#include "platform/step_error.h"
#include "platform/win32/command_channel_win32.h"
#include "platform/win32/completion_win32.h"
#include "platform/win32/process_rights_win32.h"
#include "platform/win32/record_store_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "platform/win32/window_system_win32.h"
#include "platform/wmi_listing.h"
#include "resource_ids.h"
#include "ui/command_mode.h"
#include "ui/form1.h"

namespace {

// The arguments after the program's own name, as the C runtime split the
// command line before wWinMain (without loading shell32 for it).
std::vector<std::wstring> Arguments() {
    if (__wargv == nullptr || __argc < 1) return {};
    return std::vector<std::wstring>(__wargv + 1, __wargv + __argc);
}

// A command of the command line, run without a window: the exit code.
int CommandMode(const std::vector<std::wstring>& arguments) {
    using namespace vindrel;
    auto& platform = *new win32::Win32WindowSystem;  // as below: never destroyed
    DeadlineWindowSystem windowSystem(platform, kTargetDeadline,
                                      std::make_shared<win32::AnsweringCompletions>());
    win32::Win32ProcessRights rights;
    win32::Win32RecordFolder folder;
    win32::Win32Lifetimes lifetimes;
    win32::Win32CommandChannel channel;
    return RunCommandMode(arguments, {windowSystem, rights, folder, lifetimes, channel});
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace vindrel;
    // The window's own arguments (a handle, the restart's) open the window;
    // none at all too; anything else is a command.
    const std::vector<std::wstring> arguments = Arguments();
    const std::optional<RestartArguments> started = ReadRestartArguments(arguments);
    if (!arguments.empty() && !started) {
        try {
            return CommandMode(arguments);
        } catch (const StepError& failure) {
            MessageBoxW(nullptr, failure.Prompt().c_str(), L"Vindrel", MB_OK | MB_ICONERROR);
            return kExitNotAll;
        }
    }
    try {
        if (arguments.empty()) {
            // A copy with a boss key, perhaps out of sight, is the one
            // the user looks for.
            win32::Win32WindowSystem system;
            win32::Win32CommandChannel channel;
            if (ShownRunningCopy(system, channel)) return 0;
        }
        // Told of a log-off before other programs, so that the windows the
        // boss key hid are shown while their programs can still ask to save.
        SetProcessShutdownParameters(0x3FF, 0);
        win32::Win32Toolkit toolkit(instance, IDI_VINDREL, IDC_LABEL9_POINTER);
        // Never destroyed: workers left behind by a hung target (or a caption
        // put back as the program ends) may still call it until the process
        // ends.
        auto& platform = *new win32::Win32WindowSystem;
        // A target that stops answering blocks some calls until it dies:
        // those calls get a deadline, and the wait for them keeps
        // answering what is sent to our windows.
        DeadlineWindowSystem windowSystem(platform, kTargetDeadline,
                                          std::make_shared<win32::AnsweringCompletions>());
        // WMI may be slow or stuck on Windows: it lists on a worker of its
        // own, which connects once the window shows, and the wait for it
        // answers what is sent to our windows too.
        WmiListing wmi(platform, kListingDeadline, std::make_shared<win32::AnsweringCompletions>());
        win32::Win32ProcessRights rights;
        // The change record's file, and the processes it names.
        win32::Win32RecordFolder folder;
        win32::Win32Lifetimes lifetimes;
        Form1 form(toolkit, toolkit, windowSystem, wmi, rights, folder, lifetimes);
        form.Form_Load(started.value_or(RestartArguments{}));
        // Run destroys the window when its loop ends, however it ended,
        // while the form and every control still exist.
        return toolkit.Run(showCommand, [&wmi] { wmi.Warm(); });
    } catch (const StepError& failure) {
        MessageBoxW(nullptr, failure.Prompt().c_str(), L"Vindrel", MB_OK | MB_ICONERROR);
        return 1;
    }
}
