// Runs a command of the command line: chooses its windows as the window
// list would, makes each change through the change path (into the record,
// as the buttons do), and says what became of each window, one line each,
// with the exit code. It opens no box and offers no restart.
#pragma once

#include <string>
#include <vector>

#include "actions/boss_key.h"
#include "actions/command_line.h"
#include "actions/opacity.h"
#include "actions/window_changes.h"
#include "actions/window_rescue.h"
#include "table/window_rows.h"

namespace vindrel {

struct CommandResult {
    int exitCode = kExitDone;
    std::vector<std::wstring> lines;
};

class CommandRun {
public:
    // `boss`: the running copy's boss key; none in a command's own process.
    CommandRun(WindowSystem& ws, ChangePath& path, ChangeRecord& record, BossKey* boss)
        : ws_(ws), path_(path), record_(record), boss_(boss) {}

    CommandResult Run(const Command& command);

private:
    // The windows the command acts on; empty with the exit code and lines
    // set when there are none, or several it may not choose among.
    std::vector<WindowFacts> Choose(const Command& command, CommandResult& result);
    Outcome Change(const Command& command, const WindowFacts& window);
    CommandResult List(const Command& command);
    CommandResult PutBack(const Command& command);
    CommandResult Rescue(const std::vector<WindowFacts>& windows);
    CommandResult Boss(const Command& command);

    WindowSystem& ws_;
    ChangePath& path_;
    ChangeRecord& record_;
    BossKey* boss_;
    WindowChanges changes_{ws_, path_};
    Opacity opacity_{ws_, path_};
    WindowRescue rescue_{ws_, path_, record_};
};

// A line of the output for one window: what became of it, its handle, its
// process id, its program and its title, separated by tabs.
std::wstring ResultLine(const std::wstring& what, Hwnd window, Pid pid, const std::wstring& program,
                        const std::wstring& title);

}  // namespace vindrel
