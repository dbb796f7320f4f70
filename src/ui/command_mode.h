// The program started with a command of the command line: no window opens.
// The command goes to a copy of the program running in this session at the
// same rights, which runs it into its own record; with none running, this
// process runs it and leaves what it changed on record as the user's 否
// leaves it, for the next start to take in without asking.
#pragma once

#include <string>
#include <vector>

#include "platform/command_channel.h"
#include "platform/process_rights.h"
#include "platform/record_store.h"
#include "platform/window_system.h"

namespace vindrel {

struct CommandParts {
    WindowSystem& ws;
    ProcessRights& rights;
    RecordFolder& folder;
    Lifetimes& lifetimes;
    CommandChannel& channel;
};

// How long a running copy has to take a command.
inline constexpr int kTakeWithinMs = 5000;

// Runs the command the arguments make; the process's exit code.
int RunCommandMode(const std::vector<std::wstring>& arguments, const CommandParts& parts);

// A start without arguments while a copy runs with a boss key (at any
// rights): that copy shows its main window, wherever it was, and this start
// has nothing more to do. Whether a copy did.
bool ShownRunningCopy(WindowSystem& ws, CommandChannel& channel);

}  // namespace vindrel
