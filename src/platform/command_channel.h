// How a command of the command line reaches a copy of the program already
// running, and how its output reaches the user. The command's process finds
// the copies running in this session, hands the command to one and waits
// for its answer; the copy takes it at its turn among its handlings and
// sends back the lines and the exit code.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace vindrel {

// A command handed to this copy by another process of the program.
class HandedCommand {
public:
    virtual ~HandedCommand() = default;
    virtual const std::vector<std::wstring>& Arguments() const = 0;
    // Tells the command's process that the command runs now; false when
    // that process gave up waiting or ended: the command must not run.
    virtual bool Take() = 0;
    // Sends back what became of it.
    virtual void Finish(int exitCode, const std::vector<std::wstring>& lines) = 0;
};

// What became of a command handed to a running copy.
struct HandOver {
    enum class Kind {
        Done,      // the copy ran it: exitCode and lines are its own
        NotTaken,  // the copy did not take it in time, or could not be reached
        Ended,     // the copy ended before it answered
        Hung,      // the copy took it, then stopped answering
    } kind = Kind::Done;
    int exitCode = 0;
    std::vector<std::wstring> lines;
};

// The command's own process.
class CommandChannel {
public:
    virtual ~CommandChannel() = default;
    // Whether standard output is a file or a pipe: never a console this
    // process does not own.
    virtual bool OutputRedirected() = 0;
    // Writes the text to standard output, in the OEM code page (what cmd
    // and PowerShell read) or in UTF-8.
    virtual void Write(const std::wstring& text, bool utf8) = 0;
    // A message box, for what cannot be written anywhere else.
    virtual void Show(const std::wstring& text) = 0;
    // The copies of the program in this session that take commands.
    virtual std::vector<Pid> Copies() = 0;
    // Hands the arguments to that copy and waits: `takeWithin` for it to
    // take the command, then until it answers or ends. With `foreground`
    // the copy may take the foreground first.
    virtual HandOver Hand(Pid copy, const std::vector<std::wstring>& arguments, bool foreground,
                          int takeWithinMs) = 0;
    // Asks that copy to show its main window, allowing it the foreground:
    // whether it will (it does while it has a boss key).
    virtual bool ShowCopy(Pid copy) = 0;
};

}  // namespace vindrel
